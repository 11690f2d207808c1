#include "core/consultas_qvd.h"

#include "core/consultas_iface.h"
#include "platform/vb/files.h"
#include "platform/vb/runtime.h"

#include <array>

namespace core {

namespace {

struct ConsultaPorDefecto {
    const char* titulo;
    const char* tabla;
    const char* columnas;
};

constexpr std::array<ConsultaPorDefecto, 11> kConsultas{{
    {"ARTICULOS", "V_MA_ARTICULOS", "|DESCRIPCION|IDARTICULO|"},
    {"CLIENTES", "VT_CLIENTES", "|RAZON_SOCIAL|CODIGO|CONTACTO|"},
    {"PROVEEDORES", "VT_PROVEEDORES", "|RAZON_SOCIAL|CODIGO|"},
    {"CONTACTOS", "MA_CONTACTOS", "|Nombre_y_Apellido|Domicilio|Localidad|Telefono|"},
    {"VENDEDORES", "V_TA_VENDEDORES", "|NOMBRE|IDVENDEDOR|"},
    {"TECNICOS", "V_TA_TECNICOS", "|NOMBRE|IDTECNICO|"},
    {"MANTENIMIENTOS", "V_MA_MANTENIMIENTOS", "|DESCRIPCION|CODIGO|"},
    {"CUENTAS", "MA_CUENTAS", "|DESCRIPCION|CODIGO|"},
    {"TAREAS", "V_TA_Tareas  ", "|Descripcion|IdTarea| "},
    {"UnidadNegocio", "V_TA_UnidadNegocio", "|Descripcion|Codigo|"},
    {"DEPOSITO", "V_TA_DEPOSITO", "|Descripcion|IdDeposito|"},
}};

}  // namespace

QByteArray RegistroConsultas(const QString& Titulo, const QString& Tabla, const QString& Columnas,
                             const QString& Filtro) {
    QByteArray r = vb::FixedText(Titulo, 100);
    r += vb::FixedText(Tabla, 100);
    r += vb::FixedText(Columnas, 500);
    r += vb::FixedText(Filtro, 500);
    r += "\r\n";
    return r;
}

void CreaArchivoConsultas() {
    vb::RandomFile archivo(gConsultas().gRutaMascaraConsultas, kLargoRegistroConsultas);
    for (const ConsultaPorDefecto& c : kConsultas) {
        const QByteArray registro = RegistroConsultas(vb::Trim(QString::fromLatin1(c.titulo)), QString::fromLatin1(c.tabla),
                                                      vb::Trim(QString::fromLatin1(c.columnas)), QString());
        archivo.put(archivo.lof() / kLargoRegistroConsultas + 1, registro);
    }
    archivo.close();
}

}  // namespace core
