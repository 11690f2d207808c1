// The program: its start (arranque/arranque.h), then the main window until Salir.
#include "arranque/arranque.h"
#include "main_window/frm_korvane01.h"
#include "platform/ui/guarded_application.h"
#include "platform/ui/prompter.h"

int main(int argc, char** argv) {
    ui::GuardedApplication app(argc, argv);
    std::optional<arranque::Inicio> inicio = arranque::LeeLinea(QCoreApplication::arguments().mid(1));
    if (!inicio) return 2;
    ui::QtPrompter cajas;
    arranque::Instala(cajas);
    if (!arranque::PreparaDemo(*inicio)) return 1;
    std::unique_ptr<main_window::FrmKorvane01> ventana = arranque::AbreVentana(*inicio);
    if (!ventana) return 1;   // no head-office connection: the program ends here
    const int rc = arranque::Ejecuta(*inicio, *ventana);
    ventana.reset();
    ui::SetPrompter(nullptr);
    return rc;
}
