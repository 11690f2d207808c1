#include "core/consultas_iface.h"

namespace core {

namespace {
std::function<std::unique_ptr<ConsultasIface>()> gFactory;
std::unique_ptr<ConsultasIface> gInstance;
}  // namespace

void ConsultasIface::ConsultaSearch(const QString&, QStringList* CmpsDevueltos, const QString&, QString&,
                                    const QString&, const QString&, bool) {
    // No lookup dialog is wired into this program: nothing is chosen.
    ValorDevuelto = vb::Variant(QString());
    CampoDevuelto.clear();
    if (CmpsDevueltos) CmpsDevueltos->clear();
}

ConsultasIface& gConsultas() {
    if (!gInstance) gInstance = gFactory ? gFactory() : std::make_unique<ConsultasIface>();
    return *gInstance;
}

void SetConsultasFactory(std::function<std::unique_ptr<ConsultasIface>()> factory) {
    gFactory = std::move(factory);
    gInstance.reset();
}

void ResetConsultas() { gInstance.reset(); }

}  // namespace core
