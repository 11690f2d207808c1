#pragma once
// The voucher search's statement: which vouchers the dialog FrmConsComprobantes lists for a
// voucher type code (TC) or a mode string, narrowed by the caller's condition.
//
//   vouchers::ModoConsulta modo = vouchers::ResuelveModo(QStringLiteral("rm/pendientes"));   // RM, pending
//   QString filtro = QStringLiteral("CUENTA = 'C0001'");
//   QString sql = vouchers::SentenciaConsulta(modo, filtro, [](const QString& clave) {
//       const vb::ReadResult<bool> si = core::ConfiguracionSI(clave);
//       return si.read() && si.value();   // the caller lists nothing when not read
//   });
//
// The caller's condition (Filtro) is SQL over the source's columns and goes into the statement
// as given; only the type code is placed inside a literal.
#include <QString>
#include <functional>

namespace vouchers {

// The type groups the search tells apart (codes compared ignoring case): purchase vouchers ("FCC",
// "NCC", "NCCP", "NDC", "RMC"), the suppliers' journal vouchers ("NCPE", "NDPR") and the sales
// vouchers with a complement ("OT", "FC", "RM", "ND", "NC", "NCFP", "OP", "NP", "FP", "GF").
bool EsCompra(const QString& TC);
bool EsAsientoProveedor(const QString& TC);
bool EsVentaConComplemento(const QString& TC);

// What a TC given to the search resolves to.
struct ModoConsulta {
    QString TC;               // the type code the search works with
    bool pendientes = false;  // only the vouchers still pending
    bool casillas = false;    // a check box on every row: several vouchers may be chosen (purchase orders)
};

// The mode strings ("RM/PENDIENTES", "NP/PENDIENTES", "OT/PENDIENTES", "RM/PENDIENTES_COMPRAS",
// "PR/PENDIENTES", "FC/ANTICIPOS", "FP/PENDIENTES", "OC"; case ignored) and their codes; any other
// text is a type code, kept as given.
ModoConsulta ResuelveModo(const QString& TC);

// The condition without a leading WHERE keyword (any case, a whole word); anything after it, a
// value or a column that holds the letters included, as given.
QString QuitaWhereInicial(const QString& filtro);

// Whether an on/off setting is on; read only by the statements that depend on one.
using AjusteActivo = std::function<bool(const QString& clave)>;

// The statement of the search. A condition counts when it holds more than blanks, and is joined
// with " AND " only then. For "OC" and "FP" the condition first loses a leading WHERE, in Filtro
// itself. Delivery notes pending ("RM" and pending) read UsaRemitoContado and
// EntregaParcialRemito through `ajuste`.
QString SentenciaConsulta(const ModoConsulta& modo, QString& Filtro, const AjusteActivo& ajuste);

}  // namespace vouchers
