#pragma once
// What the application core holds of the lookup builder. The core sets these members at start-up;
// the lookup subsystem's Lib_ClsCons3 derives from this class and does the search itself. The
// program wires the real builder in main(); without it, gConsultas() is this plain holder.
#include "platform/vb/variant.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace core {

class ConsultasIface {
public:
    virtual ~ConsultasIface() = default;

    QStringList CmpsDevueltos;     // further columns the list dialog returns
    QList<vb::Variant> Valores;    // after a list lookup: the list dialog's chosen values
    std::optional<QList<vb::Variant>> Cantidades;   // after a list lookup with quantities
    bool Checks = false;
    vb::Variant ValorDevuelto;     // the chosen value of the last lookup
    QString gConnString;
    QString gRutaMascaraConsultas;
    bool gUsarMascarasConsultas = false;
    bool UsaCantidades = false;
    QString CampoDevuelto;

    // Shows the list (or, with TreeView, the tree) lookup and leaves the choice in ValorDevuelto.
    // CmpsDevueltos (when given) is emptied at the end; CampoBusqueda receives the column used.
    virtual void ConsultaSearch(const QString& SQL, QStringList* CmpsDevueltos, const QString& Clave,
                                QString& CampoBusqueda, const QString& Where = QString(),
                                const QString& SentenciaOpcional = QString(), bool TreeView = false);
};

// The program-wide instance, created on first use through the factory (the lookup subsystem's).
ConsultasIface& gConsultas();
void SetConsultasFactory(std::function<std::unique_ptr<ConsultasIface>()> factory);
void ResetConsultas();   // tests: the next gConsultas() creates a fresh instance

}  // namespace core
