#pragma once
// DB_Dll: the program's data-access object. One instance holds one connection (gCnn) with the
// data it was opened from, and runs every query and statement of the program on it.
//
// The program holds two instances, created on first use: gDBPrincipal (the head-office
// database) and gDBRemota (the stores' interface database).
#include "data/connection_calls.h"
#include "platform/ado/ado.h"
#include "platform/ado/transaction.h"
#include "platform/vb/error.h"
#include "platform/vb/read_result.h"
#include "platform/vb/variant.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace utillib {
class UtilTexto;
class DialogoComun;
}

namespace data {

class DB_Dll {
public:
    DB_Dll();
    ~DB_Dll();
    DB_Dll(const DB_Dll&) = delete;
    DB_Dll& operator=(const DB_Dll&) = delete;

    // ---- public members, in the order of the object's interface ----
    utillib::DialogoComun& CmdDlg();           // created on first use
    bool gOpenFlag = false;
    vb::Variant gIgnoraPassWord;               // read as a Boolean; Null counts False
    ado::ConnectionPtr& gCnn();                // created on first use
    ado::RecordsetPtr glrcs;
    vb::Variant gCursorLocation;
    QString gProveedor;
    QString gDsn;
    QString gServidor;
    QString gDBName;
    QString gUsuario;
    bool gEsAdmin = false;
    QString gUserPassWord;
    QString gConnString;
    QString gExtended;
    QString gLogErr;
    vb::Variant ParametrosSQL;
    // Tables the database must hold to be used: checked as part of opening the connection, a
    // database without one of them is refused as a connection that cannot be opened. Empty: none.
    QStringList gTablasRequeridas;
    // What the last failed open said (its description), kept for the caller that shows no box.
    QString gErrorApertura;

    // ---- single-value lookups ----
    vb::Variant BuscaMaximo(const QString& QueTabla, const QString& QueCampo, int Tipo = 0,
                            const std::optional<QString>& Condicion = std::nullopt);
    vb::Variant BuscaMinimo(const QString& QueTabla, const QString& QueCampo, int Tipo = 0,
                            const std::optional<QString>& Condicion = std::nullopt);
    vb::Variant BuscaUltimoCodigo(const QString& QueTabla, const QString& QueCampo, int Tipo = 0,
                                  const QString& Condicion = QString());
    bool ExisteEnTablaST(const QString& Tabla, const vb::Variant& ValorBuscado, const QString& Campo,
                         ado::RecordsetPtr* Lrcs = nullptr, int Tipodato = 8, const QString& Condicion = QString(),
                         bool SoloLectura = true);
    bool ExisteEnTabla(const QString& Tabla, const vb::Variant& ValorBuscado, const QString& Campo,
                       ado::RecordsetPtr* Lrcs = nullptr, int Tipodato = 8, const QString& Condicion = QString(),
                       bool SoloLectura = true);
    // Not read when the query or the reading of its row failed (asked, or silent with IgnoraError).
    vb::ReadResult<vb::Variant> DatosTabla(const QString& Tabla, const vb::Variant& ValorBuscado,
                                           const QString& CampoDevuelto, const QString& Campo, int Tipodato = 8,
                                           const QString& Condicion = QString(), bool UsaTrim = false,
                                           bool IgnoraError = false);

    // ---- connections ----
    void OpenServerADODB(bool PideParametrosSQL = false, long lCursor = ado::adUseClient,
                         const QString& ConnString = QString(), bool ValidaAdmin = false, bool MuestraError = false);
    void OpenLocalADODB(const QString& ConnString = QString(), const QString& CadenaID = QString(),
                        const QString& CadenaPWD = QString());
    QString pJETOLEDB40() const { return QStringLiteral("Microsoft.Jet.OLEDB.4.0"); }
    QString pJETOLEDB35() const { return QStringLiteral("Microsoft.Jet.OLEDB.3.51"); }
    QString pSQLOLEDB() const { return QStringLiteral("SQLOLEDB"); }

    // ---- SQL literals, type classes and object names ----
    vb::Variant SQLValue(const vb::Variant& Valor, const QString& Tipo);
    bool adodate(const vb::Variant& Qtype) const;
    QString ADOComilla(const vb::Variant& Qtype) const;
    bool ADOText(const vb::Variant& Qtype) const;
    bool ADONumeric(const vb::Variant& Qtype) const;
    bool ADOCurrency(const vb::Variant& Qtype) const;
    bool ADOBoolean(const vb::Variant& Qtype) const;
    QString stSTF(QString& rsName, bool rnPart);
    QString AddBrackets(const QString& rObjName) const;
    QString StripConnect(const QString& rsTblName) const;
    QString StripBrackets(const QString& rsObjName) const;
    QString StripOwner(QString& rsTblName) const;
    QString StripFileName(const QString& rsFileName) const;

    // ---- statements and recordsets ----
    // Runs a statement and never raises: a refused statement leaves its error in gCnn()->errors()
    // for the caller to read (shown first unless quiet or transactional); a truncation warning left
    // by a statement that ran is cleared.
    void EjecutaConsultaSQL(QString& SentenciaSQL, long* RecordsAffected = nullptr, ado::RecordsetPtr* Lrcs = nullptr);
    void EjecutaConsultaSQL(const QString& SentenciaSQL) { QString s = SentenciaSQL; EjecutaConsultaSQL(s); }
    // The same with gCnn()->errors() emptied first: what refused the statement (the first error
    // the connection then holds), or nothing when it ran.
    //   if (const auto error = db.ErrorAlEjecutar(sql)) ui::MsgBox(*error, ui::vbOKOnly);
    std::optional<QString> ErrorAlEjecutar(const QString& SentenciaSQL);
    void AbrirRecordset(QString& SentenciaSQL, ado::RecordsetPtr& Lrcs, ado::ConnectionPtr Conexionactiva = nullptr,
                        int CursorType = ado::adOpenForwardOnly, int LockType = ado::adLockReadOnly,
                        long Options = -1, bool ConvOracle = true);
    void AbrirRecordset(const QString& SentenciaSQL, ado::RecordsetPtr& Lrcs, ado::ConnectionPtr Conexionactiva = nullptr,
                        int CursorType = ado::adOpenForwardOnly, int LockType = ado::adLockReadOnly,
                        long Options = -1, bool ConvOracle = true) {
        QString s = SentenciaSQL;
        AbrirRecordset(s, Lrcs, std::move(Conexionactiva), CursorType, LockType, Options, ConvOracle);
    }
    void CierraRecordset(ado::RecordsetPtr& LrcsTemp);
    QString SS_TSinonimos(const QString& SQL);
    void QConsulta(const QString&, const QString&, const QString&, const QString&, const QString&, const QString&) {}
    void QGridConsulta(const QString&, const QString&, const QString&, const QString&, const QString&) {}

    // ---- Oracle dialect ----
    QString ORACLE_Dicc(const QString& Valor);

    // ---- schema checks ----
    // ValorDefault Empty: not passed (no default clause); otherwise its text goes in as written.
    void AddField(const QString& Tabla, const QString& Campo, const QString& Tipo, bool PermiteNulos = true,
                  const vb::Variant& ValorDefault = vb::Variant());
    bool ExisteTablaDB(const QString& Tabla);
    bool ExisteCampoDB(const QString& Tabla, const QString& Campo);
    bool VerCampoDB(const QString& Tabla, const QString& Campo, bool Agregar = false, const QString& Tipo = QString(),
                    bool PermiteNulos = true, const vb::Variant& ValorDefault = vb::Variant());

    // ---- error treatment ----
    vb::Variant ArchivoErrores() const { return vb::Variant(gLogErr); }
    void setArchivoErrores(const vb::Variant& vNewValue) { gLogErr = vNewValue.text(); }
    // Shows the error box, appends the line to the error log and returns the answer (0 when the
    // error number is 0). Botones absent: 18 (abort/retry/ignore, critical).
    int TratamientoErrores(const vb::Error& CodErr, std::optional<int> Botones = std::nullopt,
                           const std::optional<QString>& Rutina = std::nullopt);

    // The calls made on gCnn to run statements, drive transactions and open recordsets. Null
    // (the default) goes straight to ADO; tests put a recorder in front of the connection.
    void setConnectionCalls(std::shared_ptr<ConnectionCalls> calls) { calls_ = std::move(calls); }

    // A transaction on gCnn whose begin, commit and rollback go through the connection calls:
    // committed by its Commit(), rolled back when left without one (see ado::Transaction).
    ado::Transaction Transaccion();

private:
    ConnectionCalls& Calls();
    // Oracle: runs a statement text that may hold a whole batch, consuming it; adds the rows
    // touched to RecordsAffected.
    void EjecutaScriptOracle(QString& Sentencia, long& RecordsAffected);
    // Empties (and returns) a statement that has no Oracle counterpart.
    QString DescartaSentenciaOracle(QString& Sentencia);
    std::shared_ptr<ConnectionCalls> calls_;

    utillib::UtilTexto& Util();                 // the object's own UtilTexto, created on first use
    std::unique_ptr<utillib::UtilTexto> util_;
    std::unique_ptr<utillib::DialogoComun> cmdDlg_;
    ado::ConnectionPtr cnn_;
};

// The configuration flag SS_CONFIDENCIALIDAD ("SI"): the application core sets it when it loads
// the configuration; the synonym rewrite reads it.
inline bool gConfidencialidad = false;

// The program-wide instances, created on first use.
DB_Dll& gDBPrincipal();
DB_Dll& gDBRemota();
// Tests start each case with fresh instances.
void ResetGlobalInstances();

}  // namespace data
