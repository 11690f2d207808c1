// GeneraAsientoStock until the journal entry from stock is built: an engine made without journal
// entries from stock books nothing; one made with them refuses to post, so that no voucher is
// posted without its entry.
#include "platform/vb/error.h"
#include "posting/cls_cmn_cptes.h"

namespace posting {

void ClsCmnCptes::IniciaAsientoStock() {}

QString ClsCmnCptes::GeneraAsientoStock(ui::FlexGrid&, QString&, QString&, QString&, QString&, QString&,
                                        const QString&, bool&, int16_t, int32_t, int16_t*, bool*) {
    if (!asientosXStock_) return QString();
    vb::Raise(vb::kErrInvalidProcedureCall,
              QStringLiteral("Los asientos de stock (AsientosXStock) todavía no se generan: el comprobante no se graba"),
              QStringLiteral("GeneraAsientoStock"));
}

}  // namespace posting
