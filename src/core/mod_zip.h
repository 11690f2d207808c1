#pragma once
// ModZIP: reading a flag text as a Boolean, and the date-time display pattern of the voucher code.
#include <QString>

namespace core {

// A stored or configured flag: "FALSE", "FALSO", "0", "NO" and "N" (any case, not trimmed) are
// False; every other text, the empty one included, is True.
bool ConvierteBooleano(const QString& text);

// The pattern the voucher code stamps the present date and time with: "dd/mm/yy hh:mm".
QString ObtieneFormatoFechaHora();

}  // namespace core
