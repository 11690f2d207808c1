#pragma once
// Pictures of the program's windows, for the README and for a look after a change: the main window,
// its receive grid, a send's progress window, the percentage bar, the list and tree lookup dialogs,
// the position and lot dialog, the lot and series dialog, the wait window of a receive and the
// voucher search. Taken on a demo start (`korvane --demo <folder> --capturas <folder2>`), whose send
// and receive work on a copy of the demo databases; every box is answered by a script, and one it
// does not expect makes the run fail.
#include <QString>

namespace main_window {
class FrmKorvane01;
}

namespace arranque {

// Writes the pictures into `carpeta` with the window loaded; 0 when every one was taken.
int Capturas(main_window::FrmKorvane01& ventana, const QString& carpeta);

}  // namespace arranque
