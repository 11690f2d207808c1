#include "vouchers/consulta_comprobantes_sql.h"

#include "core/formatos.h"
#include "data/sql_literal.h"
#include "platform/vb/runtime.h"
#include "posting/textos_posteo.h"

#include <QRegularExpression>
#include <array>

namespace vouchers {

namespace {

using posting::Es;

template <size_t N>
bool EsUno(const QString& TC, const std::array<const char*, N>& codigos) {
    for (const char* c : codigos)
        if (Es(TC, c)) return true;
    return false;
}

// The condition joined after the statement's own ones; nothing when there is none.
QString Y(const QString& F) { return vb::Trim(F).isEmpty() ? QString() : QStringLiteral(" AND ") + F; }

const QString kS2 = QStringLiteral(
    " SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, Importe FROM V_MV_CPTE WHERE TC = '");
const QString kOrdenNumero = QStringLiteral(" ORDER BY IDCOMPROBANTE DESC");

}  // namespace

bool EsCompra(const QString& TC) { return EsUno(TC, std::array{"FCC", "NCC", "NCCP", "NDC", "RMC"}); }
bool EsAsientoProveedor(const QString& TC) { return EsUno(TC, std::array{"NCPE", "NDPR"}); }
bool EsVentaConComplemento(const QString& TC) {
    return EsUno(TC, std::array{"OT", "FC", "RM", "ND", "NC", "NCFP", "OP", "NP", "FP", "GF"});
}

ModoConsulta ResuelveModo(const QString& TC) {
    static const struct {
        const char* modo;
        const char* codigo;
        bool pendientes;
    } kModos[] = {
        {"RM/PENDIENTES", "RM", true},  {"NP/PENDIENTES", "NP", true},         {"OT/PENDIENTES", "OT", true},
        {"RM/PENDIENTES_COMPRAS", "RMC", true}, {"PR/PENDIENTES", "PR", true}, {"FC/ANTICIPOS", "FC", false},
        {"FP/PENDIENTES", "FP", false},
    };
    ModoConsulta m{TC, false, false};
    // Each test sees what the previous one left.
    for (const auto& k : kModos) {
        if (!Es(m.TC, k.modo)) continue;
        m.TC = QString::fromLatin1(k.codigo);
        m.pendientes = k.pendientes;
    }
    if (Es(m.TC, "OC")) {
        m.TC = QStringLiteral("OC");
        m.casillas = true;
    }
    return m;
}

QString QuitaWhereInicial(const QString& filtro) {
    static const QRegularExpression where(QStringLiteral("^\\s*where\\b\\s*"), QRegularExpression::CaseInsensitiveOption);
    return QString(filtro).remove(where);
}

QString SentenciaConsulta(const ModoConsulta& modo, QString& Filtro, const AjusteActivo& ajuste) {
    const QString& TC = modo.TC;
    const bool p = modo.pendientes;
    const QString T = data::LiteralSQL(core::RellenaCodigo(TC, 4));
    const QString& F = Filtro;
    const bool hayF = !vb::Trim(F).isEmpty();

    if (Es(TC, "RMC") && p)
        return QStringLiteral(" SELECT CUENTA , ANULADA, Nombre, TC,IDCOMPROBANTE, ID,FECHA, Importe FROM "
                              "C_RemitosPendientes WHERE TC = '") +
               T + u'\'' + Y(F) + kOrdenNumero;
    if (Es(TC, "RM") && p) {
        const QString S1 = QStringLiteral(" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, "
                                          "Importe FROM V_RemitosPendientes WHERE TC = '");
        const bool remitoContado = ajuste(QStringLiteral("UsaRemitoContado"));
        const bool entregaParcial = ajuste(QStringLiteral("EntregaParcialRemito"));
        if (hayF && remitoContado) return S1 + T + QStringLiteral("' AND ") + F + kOrdenNumero;
        if (hayF) return kS2 + T + QStringLiteral("' AND ") + F + QStringLiteral("  AND FINALIZADA = 0") + kOrdenNumero;
        if (remitoContado && !entregaParcial) return S1 + T + u'\'' + kOrdenNumero;
        return kS2 + T + QStringLiteral("' AND FINALIZADA = 0") + kOrdenNumero;
    }
    if (Es(TC, "T3"))
        return QStringLiteral("SELECT * FROM V_MV_CPTETERCEROS  with(nolock)  ORDER BY ID,IDCOMPROBANTE, IDCOMPLEMENTO");
    if (EsAsientoProveedor(TC)) {
        const QString head = QStringLiteral("SELECT * FROM MV_ASIENTOS  with(nolock)  WHERE TC = '") + T;
        if (hayF) return head + QStringLiteral("' AND ") + F + QStringLiteral(" ORDER BY SUCURSAL, NUMERO, LETRA DESC ");
        return head + QStringLiteral("' AND SECUENCIA = 1 ORDER BY SUCURSAL, NUMERO, LETRA DESC");
    }
    if (EsCompra(TC)) {
        const QString head = QStringLiteral("SELECT * FROM C_MV_CPTE  with(nolock)  WHERE TC = '") + T;
        if (hayF) return head + QStringLiteral("' AND ") + F + kOrdenNumero + u' ';
        return head + u'\'' + kOrdenNumero;
    }
    if (Es(TC, "OT") && p)
        return QStringLiteral(" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, IDCOMPlemento,ID,FECHA, "
                              "Importe FROM V_OT_Pendientes WHERE TC = '") +
               T + u'\'' + Y(F) + kOrdenNumero;
    if (Es(TC, "OT")) {
        const QString S3 = QStringLiteral(" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, IDCOMPlemento , "
                                          "ID,FECHA, Importe FROM V_OT_Pendientes WHERE TC = '");
        if (hayF) return S3 + T + QStringLiteral("' AND ") + F + kOrdenNumero;
        return S3 + T + QStringLiteral("' ") + kOrdenNumero;
    }
    if (Es(TC, "NP") && p) {
        const QString fin = QStringLiteral(" AND FINALIZADA = 0 and anulada = 0") + kOrdenNumero;
        if (hayF)
            return QStringLiteral(" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, Importe, "
                                  "FechaPreparacion FROM V_MV_CPTE WHERE TC = '") +
                   T + QStringLiteral("' AND ") + F + fin;
        return QStringLiteral(" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, "
                              "Importe,FechaPreparacion FROM V_MV_CPTE WHERE TC = '") +
               T + u'\'' + fin;
    }
    if (Es(TC, "PR") && p) {
        const QString campos = QStringLiteral(" SELECT CUENTA , ANULADA, Nombre, APROBADO, TC,IDCOMPROBANTE, ID,FECHA, "
                                              "Importe, comentarios FROM ");
        if (hayF)
            return campos + QStringLiteral("V_MV_CPTE WHERE TC = '") + T + QStringLiteral("' AND APROBADO = 1 AND ") + F +
                   QStringLiteral(" AND FINALIZADA = 0") + kOrdenNumero;
        return campos + QStringLiteral("V_PR_PENDIENTES WHERE TC = '") + T + QStringLiteral("' AND APROBADO = 1") +
               kOrdenNumero;
    }
    if (Es(TC, "OC")) {
        Filtro = QuitaWhereInicial(Filtro);
        return QStringLiteral(" SELECT FECHA, CUENTA , NOMBRE, ANULADA, APROBADO, TC,IDCOMPROBANTE, ID,Importe, "
                              "comentarios, Garantia FROM C_MV_CPTE  with(nolock) WHERE TC = '") +
               T + QStringLiteral("' AND (APROBADO = 1) AND (FINALIZADO = 0) AND (ANULADA = 0)") + Y(Filtro) +
               kOrdenNumero;
    }
    if (Es(TC, "FP")) {
        Filtro = QuitaWhereInicial(Filtro);
        return kS2 + T + QStringLiteral("' ") + Y(Filtro) + QStringLiteral("  AND FINALIZADA = 0") + kOrdenNumero;
    }
    const QString head = QStringLiteral("SELECT * FROM V_MV_CPTE  with(nolock)  WHERE TC = '") + T;
    if (hayF) return head + QStringLiteral("' AND ") + F + QStringLiteral(" ORDER BY  IDCOMPROBANTE DESC, IDCOMPLEMENTO ASC  ");
    return head + QStringLiteral("' ORDER BY IDCOMPROBANTE DESC, IDCOMPLEMENTO ASC");
}

}  // namespace vouchers
