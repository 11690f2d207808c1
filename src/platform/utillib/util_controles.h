#pragma once
// UtilControles: helpers for the entry fields of the program's windows.
//
// A window's control array (the windows' "txtfields(0)", "txtfields(1)") is a list of controls
// that carry the dynamic property "Index" (their number in the array); a control bound to a
// column carries the dynamic property "DataField". Key codes are the program's: 13 Enter,
// 27 Escape, 38 Up, 40 Down, ...; KeyCodeFromQt turns a Qt key into one.
#include <QList>
#include <QString>

class QObject;
class QWidget;

namespace utillib {

class UtilControles {
public:
    // Gives the window's entry fields the look of a field without the focus (white background).
    // Their contents are not touched.
    void InicializaControles(QWidget* formulario) const;

    // The index of the array's control whose "DataField" equals `nombre` (case ignored): its
    // "Index" property, or its position in the list when it has none. -1 when there is none.
    // `indice`, when given, receives the result too.
    int IndiceControl(const QString& nombre, const QList<const QObject*>& arreglo, int* indice = nullptr) const;
    template <class Arreglo>
    int IndiceControl(const QString& nombre, const Arreglo& arreglo, int* indice = nullptr) const {
        QList<const QObject*> controles;
        for (const auto* control : arreglo) controles.push_back(control);
        return IndiceControl(nombre, controles, indice);
    }

    // Enter, Escape, Up and Down confirm a field.
    bool EsTeclaConfirmacion(int keyCode) const;
    // Moves the focus from the focused field: Up to the previous field, Enter and Down to the next.
    void AvanzaCampo(int keyCode) const;
    // Filters a key typed into a text box. The apostrophe is refused (the key becomes 0): the
    // fields' values go into SQL texts.
    void FiltraTecla(QObject* textBox, int& keyAscii) const;

    // The program's key code of a Qt key (Qt::Key_Return gives 13); 0 for keys without one.
    static int KeyCodeFromQt(int qtKey);
};

}  // namespace utillib
