#include "platform/utillib/util_controles.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWidget>

namespace utillib {

namespace {
constexpr int kEnter = 13, kEscape = 27, kUp = 38, kDown = 40, kApostrophe = 39;

bool PuedeTomarFoco(const QWidget* w, const QWidget* ventana) {
    return w->window() == ventana && w->isEnabled() && w->isVisibleTo(ventana) && (w->focusPolicy() & Qt::TabFocus) &&
           !w->focusProxy();
}
}  // namespace

void UtilControles::InicializaControles(QWidget* formulario) const {
    if (!formulario) return;
    const auto blanco = [](QWidget* w) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, Qt::white);
        w->setPalette(p);
    };
    for (QWidget* w : formulario->findChildren<QWidget*>()) {
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QTextEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
            qobject_cast<QComboBox*>(w))
            blanco(w);
    }
}

int UtilControles::IndiceControl(const QString& nombre, const QList<const QObject*>& arreglo, int* indice) const {
    int resultado = -1;
    for (qsizetype i = 0; i < arreglo.size(); ++i) {
        const QObject* control = arreglo[i];
        if (!control) continue;
        if (QString::compare(control->property("DataField").toString(), nombre, Qt::CaseInsensitive) != 0) continue;
        const QVariant index = control->property("Index");
        resultado = index.isValid() ? index.toInt() : static_cast<int>(i);
        break;
    }
    if (indice) *indice = resultado;
    return resultado;
}

bool UtilControles::EsTeclaConfirmacion(int keyCode) const {
    return keyCode == kEnter || keyCode == kEscape || keyCode == kUp || keyCode == kDown;
}

void UtilControles::AvanzaCampo(int keyCode) const {
    const bool atras = keyCode == kUp;
    if (!atras && keyCode != kEnter && keyCode != kDown) return;
    QWidget* actual = QApplication::focusWidget();
    if (!actual) return;
    const QWidget* ventana = actual->window();
    QWidget* w = actual;
    for (;;) {
        w = atras ? w->previousInFocusChain() : w->nextInFocusChain();
        if (!w || w == actual) return;
        if (PuedeTomarFoco(w, ventana)) break;
    }
    w->setFocus(atras ? Qt::BacktabFocusReason : Qt::TabFocusReason);
}

void UtilControles::FiltraTecla(QObject* /*textBox*/, int& keyAscii) const {
    if (keyAscii == kApostrophe) keyAscii = 0;
}

int UtilControles::KeyCodeFromQt(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kEnter;
        case Qt::Key_Escape:
            return kEscape;
        case Qt::Key_Tab:
            return 9;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return kUp;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return kDown;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
        default:
            break;
    }
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) return qtKey;
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return 112 + (qtKey - Qt::Key_F1);
    return 0;
}

}  // namespace utillib
