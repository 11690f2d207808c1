#pragma once
// DialogoComun: the common file-open dialog. Set the title and the filter, call AbreDialogo, then
// read ArchivoElegido, or DialogoCancelado when the operator closed it without a choice.
//
// The filter is written as the program writes it: description "|" pattern pairs, "|" between pairs
// ("Base de Datos de Microsoft Access |*.MDB").
#include <QString>
#include <deque>
#include <optional>

class QWidget;

namespace utillib {

class DialogoComun {
public:
    QString TituloDialogo;
    QString FiltroDialogo;

    // Shows a modal file-open dialog. A choice prepared with PreparaEleccion is taken instead,
    // without a window.
    void AbreDialogo(QWidget* padre = nullptr);
    QString ArchivoElegido() const { return archivo_; }  // full path of the chosen file
    bool DialogoCancelado() const { return cancelado_; }

    // Tests: the next AbreDialogo chooses this file (nothing: the dialog is cancelled).
    void PreparaEleccion(std::optional<QString> archivo) { previstas_.push_back(std::move(archivo)); }
    int eleccionesPendientes() const { return static_cast<int>(previstas_.size()); }

    // The filter in the form of the Qt dialogs ("Base de Datos de Microsoft Access (*.MDB *.mdb)").
    static QString FiltroQt(const QString& filtro);

private:
    QString archivo_;
    bool cancelado_ = false;
    std::deque<std::optional<QString>> previstas_;
};

}  // namespace utillib
