#include "lots/lotes_sql.h"

#include "core/formatos.h"
#include "core/mod_global.h"
#include "data/sql_literal.h"
#include "platform/utillib/util_texto.h"

namespace lots {

namespace {

using core::RellenaCodigo;
using data::LiteralSQL;

// The text brought to the column's width as it is, blanks around it kept.
QString Ancho(const QString& texto, int ancho) { return core::gUtilTexto().Rellena(texto, ancho); }

// The join and filters the two layout queries share, after their column list.
QString DesdeLayout(const QString& Deposito, const QString& Articulo) {
    return QStringLiteral(
               " FROM AC_SALDOSLAYOUT, ma_posiciones WHERE  ac_saldoslayout.iddeposito=ma_posiciones.iddeposito and "
               "ac_saldoslayout.idposicion=ma_posiciones.idposicion and  ac_saldoslayout.IDDEPOSITO='") +
           LiteralSQL(Ancho(Deposito, 4)) + QStringLiteral("' and ac_saldoslayout.idarticulo='") + LiteralSQL(Ancho(Articulo, 25)) +
           QStringLiteral("' and ac_saldoslayout.saldo > 0 order by ac_saldoslayout.nrolote,ma_posiciones.ordeningreso,"
                          "ac_saldoslayout.idposicion  ");
}

bool Filtra(const QString& valor) { return !EsIgnorar(valor) && !valor.trimmed().isEmpty(); }

}  // namespace

bool EsIgnorar(const QString& valor) {
    return valor.trimmed().compare(QStringLiteral("Ignorar"), Qt::CaseInsensitive) == 0;
}

QString SqlSaldosPorLote(const QString& Deposito, const QString& Articulo) {
    return QStringLiteral("SELECT AC_SALDOSLAYOUT.idposicion,AC_SALDOSLAYOUT.nrolote,AC_SALDOSLAYOUT.idunidadbase, "
                          "isnull(AC_SALDOSLAYOUT.saldo,0) as disponible") +
           DesdeLayout(Deposito, Articulo);
}

QString SqlSaldosPorPosicion(const QString& Deposito, const QString& Articulo) {
    return QStringLiteral("SELECT AC_SALDOSLAYOUT.idposicion,AC_SALDOSLAYOUT.idunidadbase, "
                          "isnull(AC_SALDOSLAYOUT.saldo,0) as disponible") +
           DesdeLayout(Deposito, Articulo);
}

QString SqlSaldoDeposito(const QString& Deposito, const QString& Articulo) {
    return QStringLiteral("SELECT (ISNULL(SALDO,0)) AS SALDO, IDUNIDADBASE FROM AC_SALDOSLAYOUT WHERE IDDEPOSITO='") +
           LiteralSQL(Ancho(Deposito, 4)) + QStringLiteral("' AND IDARTICULO='") + LiteralSQL(Ancho(Articulo, 25)) +
           QStringLiteral("' and idposicion is null");
}

QString SqlStockLotesySeries(const QString& Articulo, const QString& Deposito) {
    return QStringLiteral("SELECT * FROM STK_SERIES_Y_LOTES WHERE IdArticulo = '") + LiteralSQL(Ancho(Articulo, 25)) +
           QStringLiteral("' AND CANTIDAD > 0  AND IDDEPOSITO = '") + LiteralSQL(Deposito) +
           QStringLiteral("' ORDER BY NROLOTE, NROSERIE ");
}

QString SqlMarcasArticulo(const QString& IdArticulo) {
    return QStringLiteral("SELECT USASERIE, USALOTE FROM V_MA_ARTICULOS WHERE IDARTICULO = '") +
           LiteralSQL(RellenaCodigo(IdArticulo, 25)) + QStringLiteral("' ");
}

QString SqlStockSeriesLotes(const QString& IdArticulo, const QString& IdDeposito, const QString& NroLote,
                            const QString& NroSerie, const QString& IdPosicion, bool UsaSerie, bool UsaLote) {
    QString sql = QStringLiteral(" SELECT SUM(CANTIDAD) AS SaldoStock FROM STK_SERIES_Y_LOTES ") +
                  QStringLiteral(" WHERE IDARTICULO = '") + LiteralSQL(RellenaCodigo(IdArticulo, 25)) + QStringLiteral("'");
    if (Filtra(IdDeposito)) sql += QStringLiteral(" AND IdDeposito = '") + LiteralSQL(Ancho(IdDeposito, 4)) + QStringLiteral("' ");
    if (Filtra(NroLote)) sql += QStringLiteral(" AND NroLote = '") + LiteralSQL(RellenaCodigo(NroLote, 25)) + QStringLiteral("' ");
    if (Filtra(NroSerie)) sql += QStringLiteral(" AND NroSerie = '") + LiteralSQL(RellenaCodigo(NroSerie, 25)) + QStringLiteral("' ");
    if (Filtra(IdPosicion))
        sql += QStringLiteral(" AND IdPosicion = '") + LiteralSQL(RellenaCodigo(IdPosicion, 15)) + QStringLiteral("' ");
    if (UsaSerie && !UsaLote) sql += QStringLiteral(" AND NroLote is NULL ");
    if (UsaLote && !UsaSerie) sql += QStringLiteral(" AND NroSerie is NULL ");
    return sql;
}

}  // namespace lots
