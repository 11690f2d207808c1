// DB_Dll: construction, the members created on first use and the program-wide instances.
#include "data/db_dll.h"

#include "platform/utillib/dialogo_comun.h"
#include "platform/utillib/util_texto.h"

namespace data {

DB_Dll::DB_Dll() = default;
DB_Dll::~DB_Dll() = default;

utillib::DialogoComun& DB_Dll::CmdDlg() {
    if (!cmdDlg_) cmdDlg_ = std::make_unique<utillib::DialogoComun>();
    return *cmdDlg_;
}

ado::ConnectionPtr& DB_Dll::gCnn() {
    if (!cnn_) cnn_ = ado::Connection::Create();
    return cnn_;
}

utillib::UtilTexto& DB_Dll::Util() {
    if (!util_) util_ = std::make_unique<utillib::UtilTexto>();
    return *util_;
}

namespace {
std::unique_ptr<DB_Dll>& Principal() {
    static std::unique_ptr<DB_Dll> instancia;
    return instancia;
}
std::unique_ptr<DB_Dll>& Remota() {
    static std::unique_ptr<DB_Dll> instancia;
    return instancia;
}
}  // namespace

DB_Dll& gDBPrincipal() {
    if (!Principal()) Principal() = std::make_unique<DB_Dll>();
    return *Principal();
}

DB_Dll& gDBRemota() {
    if (!Remota()) Remota() = std::make_unique<DB_Dll>();
    return *Remota();
}

void ResetGlobalInstances() {
    Principal().reset();
    Remota().reset();
}

}  // namespace data
