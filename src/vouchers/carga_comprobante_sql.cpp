#include "vouchers/carga_comprobante_sql.h"

#include "core/formatos.h"
#include "data/sql_literal.h"
#include "platform/vb/error.h"
#include "platform/vb/runtime.h"

#include <optional>

namespace vouchers {

namespace {

const QString kConNolock = QStringLiteral("  with(nolock)  ");
const QString kPorId = QStringLiteral(" ORDER BY ID ");

}  // namespace

namespace {

// The whole number the text holds (blanks around it, a sign in front, within 32 bits).
std::optional<int> Entero(const QString& texto) {
    bool entero = false;
    const int n = vb::Trim(texto).toInt(&entero);
    return entero ? std::optional(n) : std::nullopt;
}

}  // namespace

QString ComplementoSQL(const QString& IdComplemento) { return QString::number(Entero(IdComplemento).value_or(0)); }

QString ComplementoClave(const QString& IdComplemento) {
    if (vb::Trim(IdComplemento).isEmpty()) return QStringLiteral("0");
    const std::optional<int> n = Entero(IdComplemento);
    if (!n) vb::Raise(vb::kErrTypeMismatch);
    return QString::number(*n);
}

QString CondicionComprobante(const QString& TC, const QString& SucNroLetra, const QString& IdComplemento,
                             bool Compras, const QString& Proveedor) {
    const QString tipo = core::RellenaCodigo(TC, 4);
    QString w = QStringLiteral(" WHERE TC = '") + data::LiteralSQL(tipo) + QStringLiteral("' AND IDCOMPROBANTE = '") +
                data::LiteralSQL(vb::Trim(SucNroLetra)) + QStringLiteral("'");
    if (Compras) return w + QStringLiteral(" AND CUENTA = '") + data::LiteralSQL(Proveedor) + QStringLiteral("'");
    return w + QStringLiteral(" AND IdComplemento = ") + ComplementoClave(IdComplemento);
}

SentenciasComprobante SentenciasCarga(const QString& TC, const QString& SucNroLetra, const QString& IdComplemento,
                                      bool Compras, const QString& Proveedor, const QString& WhrTareas) {
    const QString prefijo = Compras ? QStringLiteral("C_") : QStringLiteral("V_");
    const QString clave = CondicionComprobante(TC, SucNroLetra, IdComplemento, Compras, Proveedor);
    const auto desde = [&](const char* tabla) {
        return QStringLiteral("SELECT * FROM ") + prefijo + QLatin1String(tabla) + kConNolock;
    };
    const bool pedido = TC.compare(QLatin1String("NP"), Qt::CaseInsensitive) == 0;
    SentenciasComprobante s;
    s.cabecera = desde("MV_CPTE") + clave + kPorId;
    s.tareas = desde("MV_CPTETAREAS") + clave + WhrTareas + kPorId;
    s.articulos = desde("MV_CPTEINSUMOS") + clave + (pedido ? QStringLiteral(" ORDER BY PALLETS ") : kPorId);
    s.otrosConceptos = desde("MV_CPTE_Observ") + clave + QStringLiteral(" AND TIPO_OBS ='OC' ") + kPorId;
    return s;
}

QString SentenciaAplicado(const QString& SucNroLetra, const QString& IdArticulo) {
    return QStringLiteral("SELECT CantidadAplicada FROM VT_V_MV_INSUMOS_APLICACION WHERE (TCO_ORIGEN = 'RM' or "
                          "TCO_ORIGEN = 'NP') AND ") +
           CondicionNumeroArticulo(QStringLiteral("IDCOMPROBANTEORIGEN"), SucNroLetra, IdArticulo);
}

QString CondicionNumeroArticulo(const QString& ColumnaNumero, const QString& SucNroLetra, const QString& IdArticulo) {
    return ColumnaNumero + QStringLiteral(" = '") + data::LiteralSQL(vb::Trim(SucNroLetra)) +
           QStringLiteral("' AND IDARTICULO = '") + data::LiteralSQL(core::RellenaCodigo(IdArticulo, 25)) + u'\'';
}

SentenciasReparto SentenciasRepartoPend(const QString& TC, const QString& SucNroLetra, const QString& IdArticulo) {
    const QString donde = QStringLiteral("WHERE (TC = '") + data::LiteralSQL(TC) + QStringLiteral("') AND ") +
                          CondicionNumeroArticulo(QStringLiteral("IDCOMPROBANTE"), SucNroLetra, IdArticulo);
    // Every line of the article on the voucher counts, as every delivery does.
    return {QStringLiteral("SELECT SUM(Cantidad) AS CANTIDAD FROM VT_V_MV_CPTEINSUMOS_CONS2  with(nolock)  ") + donde,
            QStringLiteral("SELECT SUM(CANTIDAD) AS CANTIDAD FROM VT_V_MV_Stock_Cons ") + donde};
}

namespace {

// The vouchers issued from TC SucNroLetra ("... WHERE TCORIGEN = ... AND COMPROBANTEORIGEN = ...").
QString EmitidosDesde(const QString& TC, const QString& SucNroLetra) {
    return QStringLiteral("SELECT * FROM V_MV_CPTE  with(nolock)  WHERE TCORIGEN = '") +
           data::LiteralSQL(core::RellenaCodigo(TC, 4)) + QStringLiteral("' AND COMPROBANTEORIGEN = '") +
           data::LiteralSQL(vb::Trim(SucNroLetra)) + u'\'';
}

}  // namespace

QString SentenciaRelacionados(const QString& TC, const QString& SucNroLetra, const QString& Complemento,
                              bool TenerEnCuentaAnulados) {
    QString sql = EmitidosDesde(TC, SucNroLetra) + QStringLiteral(" AND COMPLEMENTOORIGEN = '") +
                  data::LiteralSQL(Complemento) + QStringLiteral("' ");
    if (!TenerEnCuentaAnulados) sql += QStringLiteral(" AND ANULADA = 0");
    return sql;
}

QString SentenciaImporteAsociados(const QString& TC, const QString& SucNroLetra) {
    return EmitidosDesde(TC, SucNroLetra) + QStringLiteral(" AND ANULADA = 0");
}

QString SentenciaLineasImpresas(const QString& TC, const QString& Letra) {
    return QStringLiteral("SELECT CANTLINEAS FROM TA_CONFIG_IMP_CPTE WHERE TC='") + data::LiteralSQL(TC) +
           QStringLiteral("' AND LETRA='") + data::LiteralSQL(Letra) + QStringLiteral("' ORDER BY ID");
}

QString SentenciaCargosAplicados(const QString& Cuenta) {
    return QStringLiteral("SELECT SUM (SALDO) AS IMPORTE FROM V_MV_CargosAplicados WHERE CUENTA = '") +
           data::LiteralSQL(vb::Trim(Cuenta)) + u'\'';
}

}  // namespace vouchers
