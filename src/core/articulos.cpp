#include "core/articulos.h"

#include "core/armado_sql.h"
#include "core/formatos.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "data/sql_literal.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/error.h"
#include "platform/vb/runtime.h"

namespace core {

namespace {

// The code as a 25-character literal body: padded to the column's width, quotes doubled.
QString Codigo25(const QString& codigo) {
    return data::LiteralSQL(gUtilTexto().Rellena(vb::Variant(codigo), 25));
}

// Decodes a scale label by the layout in use: the article code, and the quantity or amount the
// layout carries.
void DecodificaEtiqueta(QString& codigo, double* cantidad, vb::Currency* importe) {
    const QString etiqueta = codigo;
    const QString mascara = gMascaraPesable.toUpper();
    const auto numero = [&](int desde) { return gUtilTexto().ANumero(vb::Variant(vb::Mid(etiqueta, desde, 5))).toDouble() / 100.0; };
    const auto fijaCantidad = [&](double v) { if (cantidad) *cantidad = v; };
    const auto fijaImporte = [&](double v) { if (importe) *importe = vb::Currency::fromDouble(v); };
    if (mascara == QStringLiteral("CCCC0TTTTTT")) {
        codigo = vb::Mid(etiqueta, 2, 4);
        fijaCantidad(1);
    } else if (mascara == QStringLiteral("CCCCCTTTTTT")) {
        codigo = vb::Mid(etiqueta, 2, 5);
        fijaCantidad(1);
    } else if (mascara == QStringLiteral("CCCCC0PPPPP")) {
        codigo = vb::Mid(etiqueta, 2, 4);
    } else if (mascara == QStringLiteral("CCCCC0QQQQQ")) {
        codigo = vb::Mid(etiqueta, 2, 5);
    } else if (mascara == QStringLiteral("CCCCCCPPPPP")) {
        codigo = vb::Mid(etiqueta, 2, 6);
    } else if (mascara == QStringLiteral("CCCCCTTTTT")) {
        codigo = vb::Mid(etiqueta, 3, 5);
        fijaCantidad(1);
        fijaImporte(numero(8));
    } else if (mascara == QStringLiteral("CCCCTTTTT")) {
        codigo = vb::Mid(etiqueta, 4, 4);
        fijaCantidad(1);
        fijaImporte(numero(8));
    } else if (mascara == QStringLiteral("CCCCCCQQQQQ")) {
        codigo = vb::Mid(etiqueta, 2, 6);
        fijaCantidad(numero(8));
    }
}

}  // namespace

bool BuscaArticulo(QString& Codigo, ado::RecordsetPtr* Lrcs, bool SoloLectura, bool BuscaPrimeroCodBarra,
                   QString* Descripcion, const QString& CuentaProveedor, QString* UdBase,
                   const QString& ListaPrecio, double* Cantidad, vb::Currency* Importe) {
    data::DB_Dll& db = data::gDBPrincipal();
    const int cursor = SoloLectura ? ado::adOpenForwardOnly : ado::adOpenDynamic;
    const int bloqueo = SoloLectura ? ado::adLockReadOnly : ado::adLockOptimistic;
    QString udBase;
    ado::RecordsetPtr rs = Lrcs ? *Lrcs : nullptr;

    // One step of the chain: true when its result has a row.
    const auto consulta = [&](const QString& sql) {
        if (rs && rs->State() == ado::adStateOpen) rs->Close();
        rs.reset();
        db.AbrirRecordset(sql, rs, nullptr, cursor, bloqueo, -1, true);
        if (!rs) vb::Raise(vb::kErrObjectNotSet);
        if (rs->Eof()) return false;
        udBase = gUtilTexto().ValorNoNulo(rs->Fields(QStringLiteral("UdBase"))).text();
        return true;
    };
    const auto termina = [&](bool encontrado) {
        if (encontrado) Codigo = rs->Fields(QStringLiteral("IdArticulo")).Value().toString();
        if (UdBase) *UdBase = udBase;
        if (rs && rs->State() == ado::adStateOpen && !rs->Eof() && Descripcion) {
            *Descripcion = rs->Fields(QStringLiteral("Descripcion")).Value().toString();
        }
        if (Lrcs) {
            *Lrcs = rs;
        } else if (rs && rs->State() == ado::adStateOpen) {
            rs->Close();
        }
        return encontrado;
    };

    if (UdBase) UdBase->clear();
    if (vb::Len(Codigo) <= 6) BuscaPrimeroCodBarra = false;

    // Quantity prefix: "3*7790001000012".
    if (vb::Len(Codigo) > 2 && Codigo.contains(u'*')) {
        const int p = vb::InStr(Codigo, QStringLiteral("*"));
        const double cantidad = vb::CDbl(vb::Variant(vb::Left(Codigo, p - 1)));
        if (Cantidad) *Cantidad = cantidad;
        Codigo = vb::Trim(vb::Mid(Codigo, p + 1));
    }

    // Scale label.
    if (vb::Len(Codigo) == 13 && Codigo.startsWith(u'2') && vb::IsNumeric(vb::Variant(Codigo)) &&
        !gMascaraPesable.isEmpty()) {
        DecodificaEtiqueta(Codigo, Cantidad, Importe);
    }

    const QString fin = QStringLiteral("'");
    const QString porCodigo = QStringLiteral("SELECT *,IDUNIDAD AS UDBASE  FROM V_MA_ARTICULOS WHERE IDARTICULO = '");
    const QString porBarra = QStringLiteral("SELECT *,IDUNIDAD AS UDBASE  FROM V_MA_ARTICULOS WHERE codigobarra =  '");
    const QString c25 = Codigo25(Codigo);

    if (consulta((BuscaPrimeroCodBarra
                      ? QStringLiteral("SELECT *,IDUNIDAD AS UDBASE FROM V_MA_ARTICULOS WHERE codigobarra =  '")
                      : porCodigo) + c25 + fin)) {
        return termina(true);
    }
    if (consulta(porBarra + c25 + fin)) return termina(true);
    if (consulta(QStringLiteral("SELECT *,IDUNIDAD AS UDBASE , ISNULL(UD_TTE,IDUNIDAD) AS IDUNIDAD FROM V_MA_ARTICULOS "
                                "WHERE CODIGOBARRADUN = '") + c25 + fin)) {
        return termina(true);
    }
    for (int n = 1; n <= 4; ++n) {
        const QString sql = QStringLiteral("SELECT *,IDUNIDAD AS UDBASE , ISNULL(UMCB%1,IDUNIDAD) AS IDUNIDAD FROM "
                                           "V_MA_ARTICULOS WHERE CODIGOBARRA%1 = '").arg(n);
        if (consulta(sql + c25 + fin)) return termina(true);
    }
    if (consulta(porCodigo + c25 + fin)) return termina(true);

    if (vb::Trim(CuentaProveedor).isEmpty()) return termina(false);

    if (!vb::Trim(ListaPrecio).isEmpty()) {
        const QString lista = data::LiteralSQL(RellenaCodigo(ListaPrecio, 4));
        if (consulta(QStringLiteral("SELECT IDARTICULO,IDARTICULOPROVEEDOR,idunidad as UdBase FROM V_MA_PRECIOS WHERE "
                                    "IDARTICULOPROVEEDOR = '") + c25 + QStringLiteral("' and IDLISTA = '") + lista +
                     QStringLiteral("' AND TIPOLISTA = 'C'"))) {
            Codigo = rs->Fields(QStringLiteral("IdArticulo")).Value().toString();
            const bool hay = consulta(QStringLiteral("SELECT *,IDUNIDAD AS UDBASE  FROM V_MA_ARTICULOS WHERE idarticulo = '") +
                                      Codigo25(Codigo) + fin);
            return termina(hay);
        }
    }
    const bool hay = consulta(QStringLiteral("SELECT *,IDUNIDAD AS UDBASE  FROM V_MA_ARTICULOS WHERE CodigoArtProveedor = '") +
                              c25 + QStringLiteral("' and CuentaProveedor = '") + data::LiteralSQL(vb::Trim(CuentaProveedor)) + fin);
    return termina(hay);
}

}  // namespace core
