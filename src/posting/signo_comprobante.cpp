// ObtieneSignoComprobante: in which direction a voucher type moves stock, and with which sign it
// counts in the VAT book.
#include "core/mod_global.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"
#include "posting/cls_cmn_cptes.h"
#include "posting/textos_posteo.h"
#include "posting/tratamiento.h"

#include <array>

namespace posting {

namespace {

// The signs of the types whose V_TA_CPTE row leaves them unset. Any other type: 0 and +1.
struct SignoTipo {
    const char* tc;
    int16_t stock;   // +1 in, -1 out, 0 none
    int16_t iva;     // in the VAT book; ND goes by DebitoProveedor
};
constexpr std::array<SignoTipo, 18> kTablaSignosComprobante{{
    {"IR", 1, 1},   {"AJP", 1, 1},  {"FCC", 1, 1},  {"NDC", 1, 1}, {"FPC", 1, 1},  {"NC", 1, -1},
    {"RMC", 1, 1},  {"VS", -1, 1},  {"AJN", -1, 1}, {"FC", -1, 1}, {"ND", -1, 1},  {"FP", -1, 1},
    {"NCC", -1, -1}, {"RM", -1, 1}, {"TK", 0, 1},   {"TKFC", 0, 1}, {"NCP", 0, -1}, {"NCCP", 0, -1},
}};

const SignoTipo* EnTabla(const QString& tc) {
    for (const SignoTipo& s : kTablaSignosComprobante)
        if (Es(tc, s.tc)) return &s;
    return nullptr;
}

}  // namespace

vb::ReadResult<int16_t> ClsCmnCptes::ObtieneSignoComprobante(const QString& TC, bool LibroIVA) {
    const QString tc = vb::Trim(TC);
    // Within a posting call the stock sign of its voucher type is asked once: a type missing
    // from V_TA_CPTE is reported once, not at every row.
    if (!LibroIVA && posteo_.enCurso && posteo_.signo && Iguales(posteo_.signo->first, tc))
        return posteo_.signo->second;

    int16_t signo = 0;
    bool sinTipo = false;   // the type has no row: its sign is not known
    vb::OnError on(Tratamiento("ObtieneSignoComprobante%"));
    ado::RecordsetPtr rs;
    on.run([&] {
        Abre(QStringLiteral("SELECT * FROM V_TA_CPTE  with(nolock)  WHERE CODIGO='") +
                 Lit(core::gUtilTexto().Rellena(vb::Variant(tc), 4)) + u'\'',
             rs);
    });
    on.run([&] {
        if (rs->Eof()) {
            ui::MsgBox(QStringLiteral("El Tipo de Comprobante informado no existe en la tabla de comprobantes"),
                       ui::vbCritical, QStringLiteral("Aviso al operador!!!"));
            sinTipo = true;
            return;
        }
        const SignoTipo* tabla = EnTabla(tc);
        if (LibroIVA) {
            const vb::Variant s = rs->Fields(QStringLiteral("Signo")).Value();
            if (Iguales(tc, QStringLiteral("ND")))
                signo = DebitoProveedor ? -1 : 1;
            else if (!s.isNull())
                signo = vb::CInt(s);
            else
                signo = tabla ? tabla->iva : 1;
        } else {
            const QString es = vb::Trim(core::gUtilTexto().ValorNoNulo(rs->Fields(QStringLiteral("ES")).Value()).text());
            if (Iguales(es, QStringLiteral("E")))
                signo = 1;
            else if (Iguales(es, QStringLiteral("S")))
                signo = -1;
            else
                signo = tabla ? tabla->stock : 0;
        }
    });
    Cierra(rs);

    if (on.passedOver() || sinTipo) return vb::kNotRead;
    if (!LibroIVA && posteo_.enCurso) posteo_.signo = std::make_pair(tc, signo);
    return signo;
}

}  // namespace posting
