// The program: starts the main window with the parameter text of the command line.
#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMessageBox::information(nullptr, QStringLiteral("Korvane"), QStringLiteral("En construcción"));
    return 0;
}
