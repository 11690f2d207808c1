#pragma once
// ModGlobal: the state of one program run and the program-wide objects.
//
// The objects are created on first use and live until the program ends. The state values are
// written once at start-up (IniciaSistema, then CargaConfiguracion) and read by every subsystem;
// afterwards only gTablaConfiguracion changes.
//
// Every configuration key is read through ObtieneConfiguracion: one query per call, no cache.
#include "data/db_dll.h"
#include "platform/vb/currency.h"
#include "platform/vb/read_result.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace utillib {
class UtilTexto;
class InfoEstacion;
class ConfigEstacion;
class MotorReportes;
class VentanaEspera;
class UtilControles;
}  // namespace utillib

namespace core {

// ---- program-wide objects, created on first use ----
// gDBPrincipal and gDBRemota are data::gDBPrincipal() and data::gDBRemota(); gConsultas is
// core::gConsultas() (consultas_iface.h).
utillib::UtilTexto& gUtilTexto();
utillib::InfoEstacion& gInfoEstacion();
utillib::ConfigEstacion& gConfigEstacion();
utillib::MotorReportes& gMotorReportes();
utillib::VentanaEspera& gVentanaEspera();
utillib::UtilControles& gUtilControles();

// ---- the logged user's values, set by IniciaSistema ----
inline QString gUsuarioLogeado;        // the database user that really connected
inline QString gCaja;                  // cash box, "@Caja"; "1" by default
inline QString gUNegocio;              // business unit of the logged user
inline QString gCadenaDSN;             // "DSN=<db>; UID=<user>; PWD=<password>" for the report printer
inline QString gArchivoAyuda;          // the program's help file
inline long gColorFondo = 0xFFFFFF;    // back colour of the focused entry field (BGR)
inline long gColorLetra = 0;           // text colour (BGR), key CLetra
inline double gFlatToolbars = 0;       // toolbar style of the station, "FlatToolbars"

// The totals keys of voucher entry support: entries of a key and a value, indexed from 0.
struct EntradaListaGlobal {
    QString Clave;
    QString Valor;
};
inline std::vector<EntradaListaGlobal> gListaGlobal;   // empty: never dimensioned

// Layout of the scale labels decoded by BuscaArticulo; empty: labels are not decoded.
inline QString gMascaraPesable;
// Name of the configuration table; ObtieneConfiguracion sets "TA_CONFIGURACION" when blank.
inline QString gTablaConfiguracion;

// ---- values loaded by CargaConfiguracion, in the order the keys are read ----
inline bool gMostrarStockenConsultas = false;        // MostrarStockenConsultas
inline QString gTituloClientes;                      // TituloClientes
inline QString gTituloProveedores;                   // TituloProveedores
inline QString gArchivoDocTareas;                    // program folder & "XKDOCTareas.qvd"
inline bool gExigeClaveConsultaLikeArticulos = false;  // EXIGECLAVECONSULTALIKEARTICULOS
inline bool gUsaConsultaLike = false;                // UsaConsultaLike
inline QString gCantidadDecimales;                   // CantidadDecimales, as read
// SS_CONFIDENCIALIDAD lives in data::gConfidencialidad (the synonym rewrite reads it).
inline bool gUsaMultiplesMonedas = false;            // UsaMultilesMonedas
inline bool gUsaFacturaProforma = false;             // UsaFacturaProforma, then the user's VerProforma
inline bool gUsaCCosto = false;                      // USACCOSTO
inline bool gUsaStockUdKg = false;                   // USA_STK_STOCK_UDKG
inline QString gUnidadM3;                            // UNIDADDEMEDIDA_M3
inline QString gUnidadBL;                            // UNIDADDEMEDIDA_BL
inline QString gUnidadKG;                            // UNIDADDEMEDIDA_KG
inline int16_t gPeriodo = 0;                         // PERIODO
inline bool gValidaCodigoBarra = false;              // VALIDACODIGOBARRA
// CFondo -> gColorFondo, CLetra -> gColorLetra (above)
inline bool gModuloOrdenDeTrabajo = false;           // ModuloOrdenDeTrabajo
inline bool gVModificaCPrecio = false;               // V_ModificaCPrecio
inline bool gCModificaCPrecio = false;               // C_ModificaCPrecio
inline bool gMaderera = false;                       // MADERERA
inline QString gMadTiras;                            // MAD_TIRAS
inline QString gMadP2;                               // MAD_P2
inline QString gMadML;                               // MAD_ML
inline QString gMadM2;                               // MAD_M2
inline QString gMadHojas;                            // MAD_HOJAS
inline QString gMadMLP2;                             // MAD_ML_P2
inline QString gMadM2P2;                             // MAD_M2_P2
inline QString gMadMLM2;                             // MAD_ML_M2
inline QString gCuentaCtroDist;                      // CuentaCtroDist
inline vb::Currency gMaxDto;                         // MaxDto
inline vb::Currency gMaxDtoProforma;                 // MaxDtoProforma
inline bool gPideClaveStockNeg = false;              // PideClave_StockNeg
inline bool gPideClaveMarkUpBase = false;            // PideClave_MarkUpBase
inline bool gPideClaveLimiteCredito = false;         // PideClave_LimiteCredito
inline bool gSSBloqueoActivo = false;                // SS_BloqueoActivo
inline bool gUtilizaFechaDia = false;                // UTILIZARFECHADIA
inline int16_t gCondIvaEmpresa = 0;                  // CONDIVAEMPRESA, else CONDIVA, else 1
inline QString gTopDefault;                          // Top_Default, "1000" when blank

// ---- configuration ----

// The VALOR of one TA_CONFIGURACION key (the key trimmed), null-safe; ValorAux receives its
// valoraux. A missing key gives one blank " " and an empty ValorAux. Errors are asked with the
// routine name "Cfg": Retry runs the failing statement again; Ignore or any other answer to an
// error of the query leaves the setting not read (ValorAux is then no value either).
vb::ReadResult<QString> ObtieneConfiguracion(const QString& Clave, QString& ValorAux);
vb::ReadResult<QString> ObtieneConfiguracion(const QString& Clave);   // ValorAux not wanted
// A yes/no key: whether its VALOR is "SI" (FlagSI); not read when ObtieneConfiguracion was not.
vb::ReadResult<bool> ConfiguracionSI(const QString& Clave);

// Loads the values above and the logged user's ta_usuarios row. A failing statement is
// skipped and loading goes on; a value whose setting was not read keeps its initial value.
// CarpetaPrograma ends in the folder separator.
void CargaConfiguracion(const QString& CarpetaPrograma);

// The rules by which a configuration value is read.
bool FlagSI(const QString& valor);     // "SI", case ignored, not trimmed
bool FlagNoNO(const QString& valor);   // False when blank or "NO" (case ignored), else True
// The same with the key read once for each test, as the loader reads it.
bool FlagNoNO(const QString& valorVacio, const QString& valorNO);

// Tests: every state value back to its initial value (the objects are kept).
void ReiniciaEstado();

}  // namespace core
