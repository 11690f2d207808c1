#include "lookup/lib_cls_cons3.h"

#include "core/dialogo_en_uso.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "lookup/lib_frm_cons3.h"
#include "lookup/lib_frm_cons3_tree.h"
#include "lookup/lookup_sql.h"
#include "platform/ui/prompter.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"

#include <QFileInfo>

namespace lookup {

namespace {

bool EsCampoOmitido(const QString& nombre) {
    return nombre.compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0 ||
           nombre.compare(QLatin1String("FECHAHORA_MODIFICACION"), Qt::CaseInsensitive) == 0 ||
           nombre.compare(QLatin1String("FECHAHORA_GRABACION"), Qt::CaseInsensitive) == 0;
}

bool EsCampoDescriptivo(const QString& nombre) {
    return nombre.compare(QLatin1String("DESCRIPCION"), Qt::CaseInsensitive) == 0 ||
           nombre.compare(QLatin1String("NOMBRE"), Qt::CaseInsensitive) == 0 ||
           nombre.compare(QLatin1String("DETALLE"), Qt::CaseInsensitive) == 0;
}

}  // namespace

FabricaDialogos DialogosDelPrograma() {
    FabricaDialogos f;
    f.lista = [] { return std::unique_ptr<ListaConsulta>(std::make_unique<Lib_FrmCons3>()); };
    f.arbol = [] { return std::unique_ptr<ArbolConsulta>(std::make_unique<Lib_FrmCons3Tree>()); };
    return f;
}

Lib_ClsCons3::Lib_ClsCons3() : Lib_ClsCons3(DialogosDelPrograma()) {}

Lib_ClsCons3::Lib_ClsCons3(FabricaDialogos dialogos) : dialogos_(std::move(dialogos)) {}

Lib_ClsCons3::~Lib_ClsCons3() = default;

void Lib_ClsCons3::ConsultaSearch(const QString& SQL, QStringList* CmpsDevueltos, const QString& Clave,
                                  QString& CampoBusqueda, const QString& Where, const QString& SentenciaOpcional,
                                  bool TreeView) {
    // A step that fails is passed over and the next one runs; the database calls report their
    // own errors.
    vb::OnError on = vb::OnError::SkipAll();

    long limite = 1000;   // also when the setting is not read (its reader has asked)
    on.run([&] {
        const vb::ReadResult<QString> top = core::ObtieneConfiguracion(QStringLiteral("TopConsArt"));
        if (top.read()) limite = LimiteFilas(top.value());
    });

    QString sentencia;
    if (SQL.contains(QLatin1String("SELECT"), Qt::CaseInsensitive)) {
        sentencia = SQL;
    } else {
        bool armada = false;
        if (gUsarMascarasConsultas && QFileInfo(gRutaMascaraConsultas).isFile()) {
            std::optional<RegistroConsulta> registro;
            on.run([&] { registro = BuscaDefinicion(gRutaMascaraConsultas, SQL); });
            if (registro) {
                const SentenciaDefinicion s = ArmaSentenciaDefinicion(*registro, limite, CampoBusqueda, Where);
                if (s.faltaConfigurar) {
                    ui::MsgBox(QStringLiteral("Debe configurar la consulta para esta tabla"), ui::vbInformation,
                               QStringLiteral("Aviso al operador"));
                    return;
                }
                CampoBusqueda = s.campoBusqueda;
                sentencia = s.sentencia;
                armada = true;
            }
        }
        // No definition for the table (or no definition file): the statement comes from the
        // table's own columns.
        if (!armada) sentencia = SentenciaGenerica(SQL, CampoBusqueda, SentenciaOpcional, limite);
    }
    ultimaSentencia_ = sentencia;

    if (TreeView) on.run([&] { MuestraArbol(sentencia); });
    else on.run([&] { MuestraLista(sentencia, CmpsDevueltos, Clave, CampoBusqueda); });

    CampoDevuelto.clear();
    if (CmpsDevueltos) CmpsDevueltos->clear();
}

QString Lib_ClsCons3::SentenciaGenerica(const QString& SQL, QString& CampoBusqueda, const QString& SentenciaOpcional,
                                        long limite) {
    if (!SentenciaOpcional.isEmpty()) return SentenciaOpcional;

    vb::OnError on = vb::OnError::SkipAll();
    data::DB_Dll& db = data::gDBPrincipal();
    ado::RecordsetPtr rs;
    QString lista;
    on.run([&] { db.AbrirRecordset(QStringLiteral("select top 1 * from ") + SQL, rs); });
    on.run([&] {
        if (!rs) vb::Raise(vb::kErrObjectNotSet);
        for (int i = 0; i < rs->fieldCount(); ++i) {
            const QString nombre = rs->Fields(i).Name();
            if (EsCampoOmitido(nombre)) continue;
            const bool listaVacia = vb::Trim(lista).isEmpty();
            // Each name goes in front: the list comes out in the reverse of the table's order.
            lista = nombre + QLatin1Char(',') + lista;
            if (EsCampoDescriptivo(nombre) || listaVacia) CampoBusqueda = nombre;
        }
    });
    on.run([&] {
        if (rs) db.CierraRecordset(rs);
    });
    if (vb::Trim(lista).isEmpty()) lista = QStringLiteral(" * ");
    else lista.chop(1);
    const QString sentencia = QStringLiteral("SELECT TOP ") + QString::number(limite) + QLatin1Char(' ') + lista +
                              QStringLiteral(" FROM ") + SQL;
    // Without a search column (a table of skipped columns only, none given) there is nothing to
    // order by: the statement runs unordered and the list sorts the rows itself.
    if (vb::Trim(CampoBusqueda).isEmpty()) return sentencia;
    return sentencia + QStringLiteral(" ORDER BY ") + CampoBusqueda;
}

void Lib_ClsCons3::MuestraLista(const QString& sentencia, QStringList* CmpsDevueltos, const QString& Clave,
                                const QString& CampoBusqueda) {
    core::DialogoEnUso<ListaConsulta> dlg(dialogos_.lista);
    dlg->OrdenarPorLwv = !sentencia.contains(QLatin1String("ORDER BY"), Qt::CaseInsensitive);
    dlg->FiltroInicial = Clave;
    dlg->CampoBusqueda = CampoBusqueda;
    dlg->SQL = sentencia;
    dlg->gConnString = gConnString;
    dlg->CampoDevuelto = CampoDevuelto;
    dlg->CheckBoxes = Checks;
    dlg->UsaCantidades = UsaCantidades;
    Valores.clear();
    Cantidades.reset();
    dlg->CmpsDevueltos = CmpsDevueltos ? *CmpsDevueltos : QStringList();
    dlg->Valores.clear();
    dlg->Cantidades.reset();

    dlg->MostrarModal();

    Checks = false;
    Valores = dlg->Valores;
    Cantidades = dlg->Cantidades;
    ValorDevuelto = dlg->ValorDevuelto;
    dlg->CampoDevuelto.clear();
    dlg->Valores.clear();
    dlg->Cantidades.reset();
}

void Lib_ClsCons3::MuestraArbol(const QString& sentencia) {
    core::DialogoEnUso<ArbolConsulta> dlg(dialogos_.arbol);
    dlg->SQL = sentencia;
    dlg->CampoDevuelto = CampoDevuelto;
    dlg->MostrarModal();
    ValorDevuelto = dlg->ValorDevuelto;
}

void InstallLookupBuilder() {
    core::SetConsultasFactory([] { return std::unique_ptr<core::ConsultasIface>(std::make_unique<Lib_ClsCons3>()); });
}

}  // namespace lookup
