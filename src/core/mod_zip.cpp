#include "core/mod_zip.h"

#include <QStringList>

namespace core {

bool ConvierteBooleano(const QString& text) {
    static const QStringList kFalse = {QStringLiteral("FALSE"), QStringLiteral("FALSO"), QStringLiteral("0"),
                                       QStringLiteral("NO"), QStringLiteral("N")};
    return !kFalse.contains(text.toUpper());
}

QString ObtieneFormatoFechaHora() { return QStringLiteral("dd/mm/yy hh:mm"); }

}  // namespace core
