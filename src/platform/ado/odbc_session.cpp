// The ODBC provider: any connection text that names no local folder.
#include "platform/ado/provider.h"

namespace ado {

std::unique_ptr<Session> OpenOdbc(const ConnectionText&, const QString&, const QString&) {
    ThrowProvider(vb::kHrUnspecified, QStringLiteral("ODBC not available"), QStringLiteral("IM002"), 0);
}

}  // namespace ado
