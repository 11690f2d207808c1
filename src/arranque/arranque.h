#pragma once
// The program's start: what its command line asks, what it installs before its window opens, and
// the main window loaded on the head office or on a demo folder. main() only calls these:
//
//   ui::GuardedApplication app(argc, argv);
//   std::optional<arranque::Inicio> inicio = arranque::LeeLinea(QCoreApplication::arguments().mid(1));
//   if (!inicio) return 2;                       // the usage was printed
//   ui::QtPrompter cajas;
//   arranque::Instala(cajas);
//   if (!arranque::PreparaDemo(*inicio)) return 1;
//   auto ventana = arranque::AbreVentana(*inicio);   // nullptr: no head office, the program ends
//
// Command lines:
//   korvane "<parameter text>"            @Server=...;@DbName=...;@Usuario=...;@Password=...
//                                         (several arguments are joined by one blank)
//   korvane --demo <folder>               the demo databases in <folder>, each created when missing
//   korvane --demo <folder> --capturas <folder2>
//                                         the demo start that writes pictures of the windows into
//                                         <folder2> and ends (capturas.h)
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace main_window {
class FrmKorvane01;
}
namespace ui {
class Prompter;
}

namespace arranque {

struct Inicio {
    QString parametros;   // the parameter text start-up reads
    QString demo;         // the demo folder, absolute; empty: a start on the parameter text
    QString capturas;     // the pictures' folder, absolute; empty: none
    // The picture run's own folder, new inside the pictures' folder (its copy of the demo
    // databases, its saved fields); removed when the run ends.
    QString carpetaCapturas;
    // The interface database the window works on whatever its saved fields hold (a demo start:
    // the demo folder's own file); none: the saved fields serve.
    std::optional<QString> servidorInterfases;
};

// What the command line asks; nothing, with the usage written to the standard error output, when
// it is malformed (--demo without its folder, or followed by anything but --capturas <folder>).
std::optional<Inicio> LeeLinea(const QStringList& argumentos);

// Installs what every event of the program relies on: the last guard's treatment (the error box
// and its XKERR.LOG line for an error that escapes a handler), the event pump that waits run
// between their slices (the window answers while a run waits for another station), the boxes'
// prompter, the lookup builder and the report printer.
void Instala(ui::Prompter& cajas);

// For a demo start: the demo databases in its folder (each made when missing, never one that is
// there replaced; with pictures, a fresh copy in a new folder of the run's own inside the pictures'
// folder) and the parameter text on them. False, with the reason written
// to the standard error output, when they cannot be made. Nothing to do for any other start.
bool PreparaDemo(Inicio& inicio);

// The main window, loaded on the start's parameter text (core::SetLineaComando); nullptr when the
// head office could not be opened (start-up has said why).
std::unique_ptr<main_window::FrmKorvane01> AbreVentana(const Inicio& inicio);

// The program after its window is loaded: shown until Salir, or the pictures taken. The exit code.
int Ejecuta(const Inicio& inicio, main_window::FrmKorvane01& ventana);

}  // namespace arranque
