#include "lookup/lib_frm_cons3_tree.h"

#include "core/mod_global.h"
#include "data/db_dll.h"
#include "lookup/lookup_sql.h"
#include "platform/ui/prompter.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"

#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lookup {

namespace {

constexpr long kErrElementoNoEncontrado = 35601;
constexpr long kErrClaveRepetida = 35602;

const QString kRaiz = QStringLiteral("A");

void Cascada(QTreeWidgetItem* nodo, Qt::CheckState estado, int nivel) {
    for (int i = 0; i < nodo->childCount(); ++i) {
        QTreeWidgetItem* hijo = nodo->child(i);
        hijo->setCheckState(0, estado);
        if (nivel < kNivelesCascada) Cascada(hijo, estado, nivel + 1);
    }
}

}  // namespace

QString SentenciaFamilias() {
    return QStringLiteral("SELECT     TOP 100 PERCENT IdFamilia, Descripcion, ") +
           QStringLiteral("(SELECT     TOP 1 idfamilia FROM v_ta_familias a  ") +
           QStringLiteral(" Where a.IdFamilia < b.IdFamilia And (Len(LTrim(RTrim(a.IdFamilia))) < Len(LTrim(RTrim(b.IdFamilia)))) ") +
           QStringLiteral(" ORDER BY idfamilia DESC) AS [relative] FROM dbo.V_TA_FAMILIAS b ORDER BY IdFamilia");
}

int PadrePorPrefijo(const QStringList& claves, const QString& nueva) {
    int padre = -1;
    qsizetype largo = -1;
    for (int i = 0; i < claves.size(); ++i) {
        const QString& c = claves[i];
        if (c.size() > nueva.size()) continue;
        if (nueva.left(c.size()).compare(c, Qt::CaseInsensitive) != 0) continue;
        if (c.size() > largo) {
            padre = i;
            largo = c.size();
        }
    }
    return padre;
}

Lib_FrmCons3Tree::Lib_FrmCons3Tree(QWidget* parent) : DialogoConsulta(QStringLiteral("Lib_FrmCons3Tree"), parent) {

    auto* layout = new QVBoxLayout(this);
    picFields = new QWidget(this);
    picFields->setObjectName(QStringLiteral("picFields"));
    auto* tira = new QHBoxLayout(picFields);
    tira->setContentsMargins(0, 0, 0, 0);
    lblFieldName = new QLabel(picFields);
    lblFieldName->setObjectName(QStringLiteral("lblFieldName"));
    lblFieldName->hide();
    CmbSearch = NuevaCajaBusqueda(picFields, 0);
    tira->addWidget(lblFieldName);
    tira->addWidget(CmbSearch, 1);
    layout->addWidget(picFields);

    TreeV = new QTreeWidget(this);
    TreeV->setObjectName(QStringLiteral("TreeV"));
    TreeV->setHeaderHidden(true);
    TreeV->setColumnCount(1);
    TreeV->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeV->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(TreeV, &QTreeWidget::itemDoubleClicked, this, [this] { CmdAceptar_Click(); });
    connect(TreeV, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int columna) {
        if (columna == 0) TreeV_NodeCheck(item);
    });
    layout->addWidget(TreeV, 1);

    Frame1 = new QFrame(this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* botones = new QHBoxLayout(Frame1);
    CreaBotones(Frame1);
    botones->addWidget(CmdAceptar);
    botones->addStretch(1);
    botones->addWidget(CmdCancelar);
    botones->addStretch(1);
    botones->addWidget(CmdNueva);
    layout->addWidget(Frame1);

    CreaMenuEmergente();

    resize(420, 480);
}

Lib_FrmCons3Tree::~Lib_FrmCons3Tree() = default;

QTreeWidgetItem* Lib_FrmCons3Tree::nodo(const QString& c) const { return porClave_.value(c.toUpper(), nullptr); }

QString Lib_FrmCons3Tree::clave(const QTreeWidgetItem* item) const {
    for (const Nodo& n : nodos_)
        if (n.item == item) return n.clave;
    return QString();
}

QStringList Lib_FrmCons3Tree::claves() const {
    QStringList l;
    for (const Nodo& n : nodos_) l << n.clave;
    return l;
}

// ---------------------------------------------------------------- the modal show

void Lib_FrmCons3Tree::MostrarModal() {
    Form_Load();
    CmbSearch->setFocus();
    Mostrar();
}

void Lib_FrmCons3Tree::Descargar() {
    try {
        const QSignalBlocker bloqueo(TreeV);
        TreeV->clear();
        nodos_.clear();
        porClave_.clear();
    } catch (const vb::Error& e) {
        ui::MsgBox(e.description(), ui::vbCritical, QStringLiteral("Aviso al Operador"));
    }
}

// ---------------------------------------------------------------- loading and builds

void Lib_FrmCons3Tree::Form_Load() {
    vb::OnError on([](const vb::Error& e) { return ErrorTratado(e, "FORM_LOAD"); });
    on.run([&] { Valores.clear(); });
    on.run([&] { Inicia(); });
    on.run([&] {
        if (sentenciaInicial_.isEmpty()) sentenciaInicial_ = SQL;
        if (SQL.contains(QLatin1String("v_ta_familias"), Qt::CaseInsensitive)) ArmarTreeVFamilias();
        else ArmarTreeVAutomatico();
    });
}

void Lib_FrmCons3Tree::Inicia() {
    const QSignalBlocker bloqueo(TreeV);
    TreeV->clear();
    nodos_.clear();
    porClave_.clear();
    reportarFilas_ = true;
    TreeV->setRootIsDecorated(true);
    auto* raiz = new QTreeWidgetItem(TreeV, QStringList{QStringLiteral("Consulta...")});
    if (CheckBoxes) raiz->setCheckState(0, Qt::Unchecked);
    nodos_.push_back({kRaiz, raiz});
    porClave_.insert(kRaiz, raiz);
    raiz->setExpanded(true);
}

std::vector<std::vector<vb::Variant>> Lib_FrmCons3Tree::LeeFilas(const char* rutina) {
    std::vector<std::vector<vb::Variant>> filas;
    vb::OnError on([rutina](const vb::Error& e) { return ErrorTratado(e, rutina); });
    data::DB_Dll& db = data::gDBPrincipal();
    ado::RecordsetPtr rs;
    on.run([&] { db.AbrirRecordset(SQL, rs, db.gCnn()); });
    on.run([&] {
        if (!rs) vb::Raise(vb::kErrObjectNotSet);
        if (rs->BOF() && rs->Eof()) return;   // no rows: the tree keeps only its root
        filas = rs->GetRows();
    });
    on.run([&] {
        if (rs) db.CierraRecordset(rs);
    });
    return filas;
}

void Lib_FrmCons3Tree::ReportaFila(const vb::Error& e, const char* rutina) {
    if (!reportarFilas_) return;
    const int respuesta = ErrorTratado(e, rutina);
    // Retry cannot mend a row; Abort stops the questions, and the rest of the rows still go in.
    if (respuesta != vb::kRetry && respuesta != vb::kIgnore) reportarFilas_ = false;
}

bool Lib_FrmCons3Tree::AgregaNodo(const QString& padre, const QString& c, const QString& texto, const char* rutina) {
    QTreeWidgetItem* itemPadre = porClave_.value(padre.toUpper(), nullptr);
    if (porClave_.contains(c.toUpper())) {
        ReportaFila(vb::Error(kErrClaveRepetida, QStringLiteral("La clave no es única en la colección: ") + vb::Mid(c, 2)),
                    rutina);
        return false;
    }
    if (!itemPadre) {
        ReportaFila(vb::Error(kErrElementoNoEncontrado, QStringLiteral("Elemento no encontrado: ") + vb::Mid(padre, 2) +
                                                            QStringLiteral(" (padre de ") + vb::Mid(c, 2) +
                                                            QStringLiteral(")")),
                    rutina);
        return false;
    }
    const QSignalBlocker bloqueo(TreeV);
    auto* item = new QTreeWidgetItem(itemPadre, QStringList{texto});
    if (CheckBoxes) item->setCheckState(0, Qt::Unchecked);
    nodos_.push_back({c, item});
    porClave_.insert(c.toUpper(), item);
    return true;
}

void Lib_FrmCons3Tree::ArmarTreeVFamilias() {
    SQL = SentenciaFamilias();
    CuelgaFamilias(LeeFilas("ArmarTreeVFamilias"));
}

void Lib_FrmCons3Tree::CuelgaFamilias(const std::vector<std::vector<vb::Variant>>& filas) {
    const char* rutina = "ArmarTreeVFamilias";
    for (const auto& fila : filas) {
        try {
            if (fila.size() < 3) vb::Raise(vb::kErrAdoItemNotFound);
            const QString codigo = vb::Trim(fila[0].text());
            const QString padre = fila[2].isNull() ? kRaiz : kRaiz + vb::Trim(fila[2].text());
            AgregaNodo(padre, kRaiz + codigo, codigo + QStringLiteral(" - ") + fila[1].text(), rutina);
        } catch (const vb::Error& e) {
            ReportaFila(e, rutina);
        }
    }
}

void Lib_FrmCons3Tree::ArmarTreeVAutomatico() { CuelgaPorPrefijo(LeeFilas("ArmarTreeVAutomatico")); }

void Lib_FrmCons3Tree::CuelgaPorPrefijo(const std::vector<std::vector<vb::Variant>>& filas) {
    const char* rutina = "ArmarTreeVAutomatico";
    for (const auto& fila : filas) {
        try {
            if (fila.size() < 2) vb::Raise(vb::kErrAdoItemNotFound);
            const QString codigo = vb::Trim(fila[0].text());
            const QString c = kRaiz + codigo;
            const QStringList existentes = claves();
            const int padre = PadrePorPrefijo(existentes, c);
            AgregaNodo(padre < 0 ? kRaiz : existentes[padre], c, codigo + QStringLiteral(" - ") + fila[1].text(), rutina);
        } catch (const vb::Error& e) {
            ReportaFila(e, rutina);
        }
    }
}

// ---------------------------------------------------------------- search

void Lib_FrmCons3Tree::CmbSearch_Change(int) {
    const QString t = CmbSearch->currentText();
    for (const Nodo& n : nodos_) {
        const QString texto = n.item->text(0);
        const int guion = texto.indexOf(QLatin1Char('-'));
        const QString codigo = guion < 0 ? QString() : vb::Trim(texto.left(guion));
        const QString descripcion = vb::Trim(guion < 0 ? texto : texto.mid(guion + 1));
        if (codigo.startsWith(t, Qt::CaseInsensitive) || descripcion.startsWith(t, Qt::CaseInsensitive)) {
            TreeV->setCurrentItem(n.item);
            TreeV->scrollToItem(n.item);
            return;
        }
    }
}

void Lib_FrmCons3Tree::CmbSearch_KeyDown(int, int keyCode, int) {
    vb::OnError on = vb::OnError::SkipAll();
    switch (keyCode) {
    case 116:   // F5: narrow the statement to the descriptions holding the text
        on.run([&] { SQL = FiltraSentenciaArbol(SQL, CmbSearch->currentText()); });
        on.run([&] { CmbSearch->setEditText(QString()); });
        on.run([&] { Form_Load(); });
        break;
    default:
        if (EsTeclaHaciaLista(keyCode)) on.run([&] { TreeV->setFocus(); });
        break;
    }
}

// ---------------------------------------------------------------- result

void Lib_FrmCons3Tree::CmdAceptar_Click() {
    vb::OnError on([](const vb::Error& e) { return ErrorTratado(e, "CmdAceptar_Click"); });
    data::DB_Dll& db = data::gDBPrincipal();

    // Looks the code up in its master table; the found row's CampoDevuelto column, or nothing.
    auto busca = [&](const QString& tabla, const QString& campo, const QString& codigo, bool* hallado) {
        ado::RecordsetPtr rs;
        vb::Variant valor;
        *hallado = db.ExisteEnTabla(tabla, vb::Variant(codigo), campo, &rs, 8, QString(), true);
        if (*hallado && rs) valor = rs->Fields(CampoDevuelto).Value();
        if (rs && rs->State() == ado::adStateOpen) db.CierraRecordset(rs);
        return valor;
    };
    auto buscaPorCampo = [&](const QString& codigo, bool* hallado) -> std::optional<vb::Variant> {
        const QString campo = CampoDevuelto.toUpper();
        if (campo == QLatin1String("IDFAMILIA"))
            return busca(QStringLiteral("@admin_V_TA_FAMILIAS"), QStringLiteral("IDFAMILIA"), codigo, hallado);
        if (campo == QLatin1String("IDPOSICION"))
            return busca(QStringLiteral("MA_POSICIONES"), QStringLiteral("IDPOSICION"), codigo, hallado);
        if (campo == QLatin1String("CODIGO")) {
            vb::Variant v = busca(QStringLiteral("TA_CCOSTO"), QStringLiteral("CODIGO"), codigo, hallado);
            if (!*hallado) v = busca(QStringLiteral("MA_CUENTAS"), QStringLiteral("CODIGO"), codigo, hallado);
            return v;
        }
        return std::nullopt;
    };

    if (!CheckBoxes) {
        on.run([&] {
            QTreeWidgetItem* item = TreeV->currentItem();
            if (!item) return;   // nothing chosen: nothing new handed back
            const QString codigo = vb::Mid(clave(item), 2);
            bool hallado = false;
            const std::optional<vb::Variant> valor = buscaPorCampo(codigo, &hallado);
            if (!valor) return;
            ValorDevuelto = hallado ? *valor : vb::Variant(QString());
        });
    } else {
        on.run([&] {
            const QString campo = CampoDevuelto.toUpper();
            for (const Nodo& n : nodos_) {
                if (n.item->checkState(0) != Qt::Checked) continue;
                const QString codigo = vb::Mid(n.clave, 2);
                if (campo == QLatin1String("IDFAMILIA") || campo == QLatin1String("CODIGO")) {
                    Valores.append(vb::Variant(vb::Trim(codigo)));
                } else if (campo == QLatin1String("IDPOSICION")) {
                    bool hallado = false;
                    const vb::Variant v = busca(QStringLiteral("MA_POSICIONES"), QStringLiteral("IDPOSICION"), codigo, &hallado);
                    if (hallado) Valores.append(v);
                }
            }
        });
    }
    Ocultar(true);
}

void Lib_FrmCons3Tree::CmdCancelar_Click() {
    ValorDevuelto = vb::Variant(QString());
    CmpsDevueltos.clear();
    Valores.clear();
    Ocultar(false);
}

void Lib_FrmCons3Tree::CmdNueva_Click() {
    // Back to the statement of the first load, with the build that statement asks for.
    vb::OnError on = vb::OnError::SkipAll();
    on.run([&] {
        if (!sentenciaInicial_.isEmpty()) SQL = sentenciaInicial_;
    });
    on.run([&] { Form_Load(); });
    on.run([&] { CmbSearch->setFocus(); });
}

void Lib_FrmCons3Tree::TreeV_NodeCheck(QTreeWidgetItem* nodo) {
    const QSignalBlocker bloqueo(TreeV);
    Cascada(nodo, nodo->checkState(0), 1);
}

bool Lib_FrmCons3Tree::eventFilter(QObject* watched, QEvent* event) {
    if (watched == CmbSearch) {
        if (event->type() == QEvent::KeyPress) {
            const int codigo = CodigoTecla(static_cast<QKeyEvent*>(event));
            if (EsTeclaDeCaja(codigo)) {
                CmbSearch_KeyDown(0, codigo, 0);
                return true;
            }
        }
    }
    return DialogoConsulta::eventFilter(watched, event);
}

}  // namespace lookup
