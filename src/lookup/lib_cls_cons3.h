#pragma once
// Lib_ClsCons3: the lookup query builder. It turns a lookup request (a table or view name, or a
// whole statement) into a SELECT statement, shows it in the list or the tree lookup dialog and
// hands the operator's choice back in ValorDevuelto (and, after a list lookup, Valores and
// Cantidades).
//
// The builder reaches its dialogs through ListaConsulta and ArbolConsulta, so that the statement
// work runs without a window; the program's dialogs are Lib_FrmCons3 and Lib_FrmCons3Tree.
#include "core/consultas_iface.h"
#include "platform/vb/variant.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace lookup {

// The list lookup dialog as the builder sees it: the members it sets before the modal show and
// the result members it reads afterwards.
class ListaConsulta {
public:
    virtual ~ListaConsulta() = default;

    QString SQL;
    QString CampoDevuelto;
    QStringList CmpsDevueltos;
    bool CheckBoxes = false;
    QString gConnString;
    vb::Variant ValorDevuelto;
    QString FiltroInicial;
    QString CampoBusqueda;
    bool OrdenarPorLwv = false;
    QList<vb::Variant> Valores;
    std::optional<QList<vb::Variant>> Cantidades;
    bool UsaCantidades = false;

    // Loads and shows the dialog modally; returns when the operator accepts or cancels.
    virtual void MostrarModal() = 0;
    // Form_Unload: what the dialog does when the builder lets it go.
    virtual void Descargar() {}
};

// The tree lookup dialog as the builder sees it.
class ArbolConsulta {
public:
    virtual ~ArbolConsulta() = default;

    QString SQL;
    QString CampoDevuelto;
    QStringList CmpsDevueltos;
    bool CheckBoxes = false;
    vb::Variant ValorDevuelto;
    QList<vb::Variant> Valores;

    virtual void MostrarModal() = 0;
    virtual void Descargar() {}
};

// Where the builder gets a fresh dialog for every lookup.
struct FabricaDialogos {
    std::function<std::unique_ptr<ListaConsulta>()> lista;
    std::function<std::unique_ptr<ArbolConsulta>()> arbol;
};

// The program's dialogs, Lib_FrmCons3 and Lib_FrmCons3Tree.
FabricaDialogos DialogosDelPrograma();

class Lib_ClsCons3 : public core::ConsultasIface {
public:
    Lib_ClsCons3();
    explicit Lib_ClsCons3(FabricaDialogos dialogos);
    ~Lib_ClsCons3() override;

    void ConsultaSearch(const QString& SQL, QStringList* CmpsDevueltos, const QString& Clave, QString& CampoBusqueda,
                        const QString& Where = QString(), const QString& SentenciaOpcional = QString(),
                        bool TreeView = false) override;

    // The statement of the last lookup that got as far as a dialog (empty before).
    const QString& UltimaSentencia() const { return ultimaSentencia_; }

private:
    QString SentenciaGenerica(const QString& SQL, QString& CampoBusqueda, const QString& SentenciaOpcional,
                              long limite);
    void MuestraLista(const QString& sentencia, QStringList* CmpsDevueltos, const QString& Clave,
                      const QString& CampoBusqueda);
    void MuestraArbol(const QString& sentencia);

    FabricaDialogos dialogos_;
    QString ultimaSentencia_;
};

// Makes the program's gConsultas a Lib_ClsCons3 with the program's dialogs. main() calls it once
// before start-up.
void InstallLookupBuilder();

}  // namespace lookup
