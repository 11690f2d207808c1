#include "main_window/frm_korvane01.h"

#include "sender/korvane_paquete.h"
#include "core/trata_error.h"
#include "core/armado_sql.h"
#include "core/barra_estado.h"
#include "core/barra_progreso.h"
#include "core/conecta_remota.h"
#include "core/consultas_iface.h"
#include "core/formatos.h"
#include "core/frm_parametros.h"
#include "core/inicia_sistema.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "platform/ui/flex_grid.h"
#include "platform/ui/flex_grid_view.h"
#include "platform/ui/guarded_application.h"
#include "platform/ui/prompter.h"
#include "platform/ui/status_bar.h"
#include "platform/ui/text_measurer.h"
#include "platform/utillib/espera_otra_estacion.h"
#include "platform/utillib/motor_reportes.h"
#include "platform/utillib/util_controles.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/dates.h"
#include "platform/vb/error.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"
#include "platform/vb/scope_guard.h"
#include "posting/cls_cmn_cptes.h"
#include "receiver/grilla_recepcion.h"
#include "receiver/mov_deposito.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <optional>

namespace main_window {

using core::TrataError;
using sender::ArmaYEjecutaPaqueteDTS;
using sender::RegistraTransmision;
using sender::Transmision;
using sender::TransmisionAceptada;

namespace {

std::function<void()> gFinPrograma;

using core::kAvisoOperador;
using core::kFechaInvalida;
const QString kFaltaCodigo = QStringLiteral("Debe ingresar un código para el Generador.");
const QString kNumeroInvalido = QStringLiteral("Numero de transmision invalido: debe ser un entero de 1 a 2147483647.");
const QString kNumeroUsado = QStringLiteral("Numero de transmision ya utilizado.");
const QString kSinNumeros = QStringLiteral("No quedan números de transmisión después del 2147483647.");

// The largest number the CODIGO column holds.
constexpr qlonglong kMaximoTransmision = 2147483647LL;

// A transmission number: a whole number from 1 up to the largest the CODIGO column holds, in
// digits only. It becomes the prices' TRANSMISION and the record's CODIGO, which must agree.
bool EsNumeroTransmision(const QString& texto) {
    if (texto.isEmpty() || texto.size() > 10) return false;
    for (QChar c : texto)
        if (c < u'0' || c > u'9') return false;
    const qlonglong n = texto.toLongLong();
    return n >= 1 && n <= kMaximoTransmision;
}

// What is wrong with the number field's trimmed text; empty when it is a transmission number.
QString MensajeNumero(const QString& numero) {
    if (numero.isEmpty()) return kFaltaCodigo;
    return EsNumeroTransmision(numero) ? QString() : kNumeroInvalido;
}

// Whether the number is recorded in MV_NOVEDADESPRECIOS; nothing when the lookup failed (its box
// has told the operator), which is neither answer.
std::optional<bool> NumeroRegistrado(const QString& numero) {
    data::DB_Dll& db = data::gDBPrincipal();
    db.gCnn()->errors().Clear();
    const bool registrado = db.ExisteEnTablaST(QStringLiteral("MV_NOVEDADESPRECIOS"), vb::Variant(numero),
                                               QStringLiteral("Codigo"), nullptr, 8, QString(), false);
    if (db.gCnn()->errors().Count() > 0) return std::nullopt;
    return registrado;
}

// Marks the window busy for the length of a command: a second command, Salir and the close box
// do nothing meanwhile.
auto Ocupa(bool& ocupado) {
    ocupado = true;
    return vb::ScopeGuard([&ocupado] { ocupado = false; });
}

// Closes the number and date fields while a send or a receive runs (Enter in the number field
// would check it and reset the window in the middle of the run); they open again as they were,
// however the run ends.
auto CamposCerrados(const std::array<QLineEdit*, 2>& campos) {
    const std::array<bool, 2> abiertos{campos[0]->isEnabled(), campos[1]->isEnabled()};
    for (QLineEdit* t : campos) t->setEnabled(false);
    return vb::ScopeGuard([campos, abiertos] {
        for (size_t i = 0; i < campos.size(); ++i) campos[i]->setEnabled(abiertos[i]);
    });
}

void FijaColorFondo(QLineEdit* campo, long bgr) {
    QPalette pal = campo->palette();
    pal.setColor(QPalette::Base, core::ColorBGR(bgr));
    campo->setPalette(pal);
}

// The icon of a big command button: a coloured arrow or door on a rounded tile.
QIcon IconoComando(int tipo) {
    QPixmap pm(40, 40);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor colores[3] = {QColor(0x2e, 0x7d, 0x32), QColor(0x15, 0x65, 0xc0), QColor(0x8d, 0x1b, 0x1b)};
    p.setBrush(colores[tipo]);
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(2, 2, 36, 36), 7, 7);
    p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    if (tipo == 0) {          // send: arrow to the right
        p.drawLine(QPointF(10, 20), QPointF(29, 20));
        p.drawLine(QPointF(22, 13), QPointF(29, 20));
        p.drawLine(QPointF(22, 27), QPointF(29, 20));
    } else if (tipo == 1) {   // receive: arrow to the left
        p.drawLine(QPointF(11, 20), QPointF(30, 20));
        p.drawLine(QPointF(18, 13), QPointF(11, 20));
        p.drawLine(QPointF(18, 27), QPointF(11, 20));
    } else {                  // exit: a door
        p.drawRect(QRectF(13, 10, 14, 20));
        p.drawPoint(QPointF(23, 21));
    }
    return QIcon(pm);
}

QToolButton* BotonComando(QWidget* parent, const char* name, const QString& caption, int icono) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(caption);
    b->setIcon(IconoComando(icono));
    b->setIconSize(QSize(40, 40));
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setMinimumSize(QSize(110, 74));
    b->setAutoRaise(false);
    return b;
}

QLabel* Etiqueta(QWidget* parent, const char* name, const QString& caption) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

// The VAT rate of the articles without one of their own ("PIVA"); none when it was not read (the
// settings reader has asked the operator).
std::optional<double> LeePorcentajeIVA() {
    const vb::ReadResult<QString> piva = core::ObtieneConfiguracion(QStringLiteral("PIVA"));
    if (!piva.read()) return std::nullopt;
    return core::gUtilTexto().ANumero(vb::Variant(piva.value())).toDouble();
}

}  // namespace

QString FechaCorta(const vb::Date& d) { return FechaCorta(d.toQDate()); }
QString FechaCorta(const QDate& d) { return d.toString(QStringLiteral("dd/MM/yyyy")); }

FrmKorvane01::FrmKorvane01(QWidget* parent)
    : QMainWindow(parent), medida_(std::make_unique<ui::WidgetTextMeasurer>(this)) {
    setObjectName(QStringLiteral("FrmKorvane01"));
    armaControles();
}

FrmKorvane01::~FrmKorvane01() = default;

void FrmKorvane01::SetFinPrograma(std::function<void()> fin) { gFinPrograma = std::move(fin); }

void FrmKorvane01::armaControles() {
    setWindowTitle(QStringLiteral("Envio de Novedades Korvane01"));
    setWindowIcon(IconoComando(0));
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralWidget"));
    setCentralWidget(central);
    auto* main = new QVBoxLayout(central);
    armaComandos(central, main);
    main->addWidget(armaDatosTransmision(central));
    main->addWidget(armaBaseInterfases(central));
    Label3 = Etiqueta(central, "Label3",
                      QStringLiteral("Los filtros utilizados se encuentran fijos en las vistas QET_KORVANExxx de la "
                                     "base de datos actual.  "));
    Label3->setWordWrap(true);
    main->addWidget(Label3);
    main->addStretch(1);
    armaBarraEstado();

    // No error leaves a command for Qt's code (which would be left half way): it is treated here.
    connect(CmdEnviar, &QToolButton::clicked, this, [this] { ui::GuardedApplication::RunGuarded([this] { CmdEnviar_Click(); }); });
    connect(CmdRecibir, &QToolButton::clicked, this, [this] { ui::GuardedApplication::RunGuarded([this] { CmdRecibir_Click(); }); });
    connect(CmdCerrar, &QToolButton::clicked, this, [this] { ui::GuardedApplication::RunGuarded([this] { CmdCerrar_Click(); }); });
    setTabOrder(txtfields[0], txtfields[1]);
    resize(640, 430);
}

// Top row: the three command buttons and the receive grid.
void FrmKorvane01::armaComandos(QWidget* central, QVBoxLayout* main) {
    auto* fila = new QHBoxLayout;
    CmdEnviar = BotonComando(central, "CmdEnviar", QStringLiteral("&Enviar Datos >>>"), 0);
    CmdRecibir = BotonComando(central, "CmdRecibir", QStringLiteral("&Recibir  <<<"), 1);
    CmdCerrar = BotonComando(central, "CmdCerrar", QStringLiteral("Salir"), 2);
    // The receive grid: its header row stays in view; every column scrolls.
    MSFlexGrid1 = std::make_unique<ui::FlexGrid>(QStringLiteral("MSFlexGrid1"));
    MSFlexGrid1->SetFixedCols(0);
    MSFlexGrid1View = new ui::FlexGridView(MSFlexGrid1.get(), central);
    MSFlexGrid1View->setMaximumHeight(80);
    fila->addWidget(CmdEnviar);
    fila->addWidget(CmdRecibir);
    fila->addWidget(CmdCerrar);
    fila->addWidget(MSFlexGrid1View, 1);
    main->addLayout(fila);
}

// The transmission data: number and date (the entry fields txtfields), and the send's mode.
QGroupBox* FrmKorvane01::armaDatosTransmision(QWidget* central) {
    Frame1 = new QGroupBox(QString(), central);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto* g1 = new QGridLayout(Frame1);
    Label1 = Etiqueta(Frame1, "Label1", QStringLiteral("Transmision Nro:"));
    Label2 = Etiqueta(Frame1, "Label2", QStringLiteral("Fecha:"));
    const char* dataFields[2] = {"Codigo", "Fecha"};
    for (int i = 0; i < 2; ++i) {
        auto* t = new QLineEdit(Frame1);
        t->setObjectName(QStringLiteral("txtfields"));
        t->setProperty("Index", i);
        t->setProperty("DataField", QString::fromLatin1(dataFields[i]));
        t->setProperty("Tag", QString());
        t->setMaximumWidth(120);
        t->installEventFilter(this);
        txtfields[static_cast<size_t>(i)] = t;
    }
    Label6 = Etiqueta(Frame1, "Label6", QStringLiteral("Tipo de Transmision"));
    QFont negrita = Label6->font();
    negrita.setBold(true);
    Label6->setFont(negrita);
    const QString modos[3] = {QStringLiteral("&Normal (Novedades)"), QStringLiteral("&Retransmision Completa"),
                              QStringLiteral("&Transmision inicial")};
    for (int i = 0; i < 3; ++i) {
        auto* o = new QRadioButton(modos[i], Frame1);
        o->setObjectName(QStringLiteral("OptTipo"));
        o->setProperty("Index", i);
        OptTipo[static_cast<size_t>(i)] = o;
    }
    OptTipo[0]->setChecked(true);
    g1->addWidget(Label1, 0, 0);
    g1->addWidget(txtfields[0], 0, 1);
    g1->addWidget(Label2, 1, 0);
    g1->addWidget(txtfields[1], 1, 1);
    g1->setColumnMinimumWidth(2, 30);
    g1->addWidget(Label6, 0, 3);
    g1->addWidget(OptTipo[0], 1, 3);
    g1->addWidget(OptTipo[1], 2, 3);
    g1->addWidget(OptTipo[2], 3, 3);
    g1->setColumnStretch(4, 1);
    return Frame1;
}

// The interface database: its name ("Base") and its server ("Servidor").
QGroupBox* FrmKorvane01::armaBaseInterfases(QWidget* central) {
    Frame2 = new QGroupBox(QStringLiteral("Base de Datos de Interfases"), central);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto* g2 = new QGridLayout(Frame2);
    Label4 = Etiqueta(Frame2, "Label4", QStringLiteral("Base : "));
    lblRuta = new QLineEdit(QStringLiteral("KORVANE_INTERFASES"), Frame2);
    lblRuta->setObjectName(QStringLiteral("lblRuta"));
    Label8 = Etiqueta(Frame2, "Label8", QStringLiteral("Servidor : "));
    TxtServer = new QLineEdit(QStringLiteral("(local)"), Frame2);
    TxtServer->setObjectName(QStringLiteral("TxtServer"));
    Picture1 = new QWidget(Frame2);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFixedSize(0, 0);
    g2->addWidget(Label4, 0, 0);
    g2->addWidget(lblRuta, 0, 1);
    g2->addWidget(Label8, 1, 0);
    g2->addWidget(TxtServer, 1, 1);
    g2->addWidget(Picture1, 2, 0);
    return Frame2;
}

// Status bar: seven panels, addressed by key; the sixth, without a key, shows the date.
void FrmKorvane01::armaBarraEstado() {
    sbStatusBar = std::make_unique<ui::StatusBar>();
    sbStatusBar->AddPanel(QStringLiteral("MENSAJE"), QStringLiteral("..."));
    sbStatusBar->AddPanel(QStringLiteral("SERVER"));
    sbStatusBar->AddPanel(QStringLiteral("BASEDEDATOS"));
    sbStatusBar->AddPanel(QStringLiteral("USUARIO"));
    sbStatusBar->AddPanel(QStringLiteral("CAJA"));
    sbStatusBar->AddPanel(QString(), FechaCorta(vb::Today()));
    sbStatusBar->AddPanel(QStringLiteral("VERSION"));
    sbStatusBarView = ui::CreateStatusBarView(sbStatusBar.get(), this);
    sbStatusBarView->setObjectName(QStringLiteral("sbStatusBar"));
    sbStatusBarView->setSizeGripEnabled(false);
    setStatusBar(sbStatusBarView);
}

// ---- load, reset, exit ----------------------------------------------------------------------

bool FrmKorvane01::Form_Load() {
    QString conexion;
    if (!core::IniciaSistema(false, QString(), conexion, 3)) return false;
    TxtServer->setText(data::gDBPrincipal().gServidor);
    core::ActualizaBarraEstado(*sbStatusBar, QString());
    core::RecuperaParametrosFormulario(this, QString(), QString());
    if (interfasesFijas_) {
        TxtServer->setText(interfasesFijas_->servidor);
        lblRuta->setText(interfasesFijas_->base);
    }
    InicializaPantalla();
    if (sinNumeros_) ui::MsgBox(kSinNumeros, ui::vbInformation, kAvisoOperador);
    // The receive grid as the receiver will fill it; a failure is asked and the window opens all
    // the same.
    vb::OnError on([](const vb::Error& e) { return TrataError(e); });
    on.run([&] { InicializaGrillaRecepcion(); });
    return true;
}

void FrmKorvane01::FijaInterfases(const QString& servidor, const QString& base) {
    interfasesFijas_ = Interfases{servidor, base};
}

void FrmKorvane01::InicializaGrillaRecepcion() {
    // A setting not read (the operator was asked) leaves the grid as it was; the receive lays it
    // out again before its first voucher.
    if (!receiver::InicializaGrillaRecepcion(Cpte, *MSFlexGrid1, *medida_)) return;
    MSFlexGrid1->Refresh();   // shown as set up, the receiver's widths included
}

void FrmKorvane01::InicializaPantalla() {
    // Every statement is skipped when it fails; the reset goes on with the next one.
    vb::OnError on = vb::OnError::SkipAll();
    on.run([&] { core::gUtilControles().InicializaControles(this); });
    on.run([&] { lblRuta->setToolTip(lblRuta->text()); });
    on.run([&] { HabilitaCampos(0); });
    ado::RecordsetPtr rs;
    bool abierto = false;
    on.run([&] {
        data::gDBPrincipal().AbrirRecordset(
            QStringLiteral("SELECT TOP 1 CODIGO FROM MV_NOVEDADESPRECIOS nolock ORDER BY CODIGO DESC"), rs, nullptr,
            ado::adOpenForwardOnly, ado::adLockReadOnly, -1, true);
        abierto = rs && rs->State() == ado::adStateOpen;
    });
    if (abierto) {
        on.run([&] {
            QLineEdit* numero = campo(QStringLiteral("CODIGO"));
            const double ultimo = rs->BOF() && rs->Eof() ? 0 : vb::Val(rs->Fields(QStringLiteral("Codigo")).Value().text());
            // After the highest number there is none to propose: the field says so, and stays
            // open for a number not yet used.
            const bool quedan = ultimo < static_cast<double>(kMaximoTransmision);
            numero->setText(quedan ? vb::NumberText(ultimo + 1) : QString());
            numero->setPlaceholderText(quedan ? QString() : kSinNumeros);
            sinNumeros_ = !quedan;
        });
        on.run([&] { data::gDBPrincipal().CierraRecordset(rs); });
    }
    on.run([&] { campo(QStringLiteral("fecha"))->setText(FechaCorta(vb::Today())); });
    on.run([&] { campo(QStringLiteral("codigo"))->setFocus(); });
    on.run([&] {
        PorcentajeIVA.reset();   // a step that fails leaves none, not the rate of the last reset
        PorcentajeIVA = LeePorcentajeIVA();
    });
}

void FrmKorvane01::HabilitaCampos(int16_t Activar) {
    txtfields[0]->setEnabled(Activar == 0);
    for (size_t i = 1; i < txtfields.size(); ++i) txtfields[i]->setEnabled(Activar != 0);
}

void FrmKorvane01::Form_Unload(int& Cancel) {
    // While a send or a receive runs the window stays: leaving now would end the program in the
    // middle of the work, without its closing box.
    if (ocupado_) {
        Cancel = 1;
        return;
    }
    if (descargado_) return;
    descargado_ = true;
    core::GuardaParametrosFormulario(this, QString());
    hide();
    if (gFinPrograma)
        gFinPrograma();
    else
        QCoreApplication::exit(0);
}

void FrmKorvane01::CmdCerrar_Click() {
    int cancel = 0;
    Form_Unload(cancel);
}

void FrmKorvane01::closeEvent(QCloseEvent* event) {
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel != 0)
        event->ignore();
    else
        event->accept();
}

int16_t FrmKorvane01::indiceCampo(const QString& dataField) {
    return static_cast<int16_t>(core::gUtilControles().IndiceControl(dataField, txtfields));
}

QLineEdit* FrmKorvane01::campo(const QString& dataField) {
    const int i = indiceCampo(dataField);
    if (i < 0 || i >= static_cast<int>(txtfields.size())) vb::Raise(vb::kErrSubscriptOutOfRange);
    return txtfields[static_cast<size_t>(i)];
}

// ---- send and receive -----------------------------------------------------------------------

bool FrmKorvane01::conectaInterfases() {
    const QString base = lblRuta->text();
    return core::ConectaBaseRemota(vb::Trim(TxtServer->text()), base, base, base, QString());
}

std::optional<QDate> FrmKorvane01::CamposValidos(bool envio) {
    const QString numero = vb::Trim(txtfields[0]->text());
    const std::optional<QDate> dia = core::LeeFecha(txtfields[1]->text());
    QString mensaje = MensajeNumero(numero);
    QLineEdit* campoMal = txtfields[0];
    bool valido = mensaje.isEmpty();
    if (valido && envio) {
        const std::optional<bool> registrado = NumeroRegistrado(numero);
        valido = registrado.has_value() && !*registrado;   // a failed lookup has been told
        if (registrado.value_or(false)) mensaje = kNumeroUsado;
    }
    if (valido && !dia) {
        mensaje = kFechaInvalida;
        campoMal = txtfields[1];
        valido = false;
    }
    // What the head office itself refuses of the row the send will record (told by the check).
    if (valido && envio) valido = TransmisionAceptada({numero, *dia});
    if (valido) return dia;
    if (!mensaje.isEmpty()) ui::MsgBox(mensaje, ui::vbInformation, kAvisoOperador);
    if (campoMal->isEnabled()) campoMal->setFocus();
    return std::nullopt;
}

void FrmKorvane01::CmdEnviar_Click() {
    if (ocupado_) return;   // a send or a receive is running
    auto ocupado = Ocupa(ocupado_);
    utillib::EsperaOtraEstacion espera(core::gVentanaEspera());   // another station at work: shown, Anular

    // Before anything runs: a whole number not yet recorded and a date the head office takes. The
    // fields stay as the operator left them, to be put right.
    const std::optional<QDate> dia = CamposValidos(true);
    if (!dia) return;
    // The number and date as checked: the prices are marked and the transmission recorded under
    // them whatever the fields show meanwhile.
    const Transmision transmision{vb::Trim(txtfields[0]->text()), *dia};

    // Without the interface database nothing is sent; the connection has said why, and the fields
    // keep what the operator typed, to send again.
    if (!conectaInterfases()) return;
    const int respuesta =
        ui::MsgBox(QStringLiteral("Atencion, este proceso vacia todos los datos de las tablas IMPOxxx, seguro de "
                                  "continuar???"),
                   ui::vbYesNo + ui::vbQuestion, QStringLiteral("ATENCION"));
    if (respuesta == vb::kYes) {
        auto cerrados = CamposCerrados(txtfields);
        bool paquete = false;
        for (int16_t modo = 0; modo < 3 && !paquete; ++modo) {
            if (OptTipo[static_cast<size_t>(modo)]->isChecked()) {
                // The package records the transmission itself, once the stores have it.
                ArmaYEjecutaPaqueteDTS(modo, transmision);
                paquete = true;
            }
        }
        // No mode chosen: no package runs, and the transmission is recorded all the same.
        if (!paquete) RegistraTransmision(-1, transmision);
    }
    HabilitaCampos(0);
    InicializaPantalla();
}

void FrmKorvane01::CmdRecibir_Click() {
    if (ocupado_) return;   // a send or a receive is running
    auto ocupado = Ocupa(ocupado_);
    utillib::EsperaOtraEstacion espera(core::gVentanaEspera());   // another station at work: shown, Anular

    // The number stamps every voucher received and the date goes into every statement: both are
    // checked before anything is opened or asked.
    const std::optional<QDate> dia = CamposValidos(false);
    if (!dia) return;
    vb::OnError on([](const vb::Error& e) { return TrataError(e); });
    bool conectado = false;
    on.run([&] { conectado = conectaInterfases(); });
    // Without the interface database there is nothing to receive; the connection has said why.
    if (on.left() || !conectado) return;
    int respuesta = 0;
    on.run([&] {
        respuesta = ui::MsgBox(QStringLiteral("Este proceso recepciona los movimientos realizados por los locales\r\n"
                                              "Confirma la recepcion de informacion???"),
                               ui::vbYesNo + ui::vbQuestion, QStringLiteral("ATENCION"));
    });
    if (respuesta == vb::kYes) {
        // The run reads the date and number as confirmed.
        auto cerrados = CamposCerrados(txtfields);
        on.run([&] { AsientosRendicionCajero(); });
        on.run([&] { MovDeposito(*dia); });
    }
    on.run([&] {
        ui::MsgBox(QStringLiteral("Proceso Finalizado"), ui::vbInformation, QStringLiteral("Aviso al operador"));
    });
}

void FrmKorvane01::AsientosRendicionCajero() {
    vb::OnError on([](const vb::Error& e) { return TrataError(e); });
    // The three settlement stages have nothing to book in this program.
    on.run([] {});
    on.run([] {});
    on.run([] {});
}

void FrmKorvane01::MovDeposito(const QDate& dia) {
    // A VAT rate not read when the window was reset is asked again; still not read, nothing is
    // received (no article without a rate of its own is posted on a rate not read).
    if (!PorcentajeIVA) PorcentajeIVA = LeePorcentajeIVA();
    if (!PorcentajeIVA) {
        ui::MsgBox(QStringLiteral("No se leyó el porcentaje de IVA (PIVA): no se recibió ningún comprobante."),
                   ui::vbInformation, kAvisoOperador);
        return;
    }
    receiver::EsperaPrograma espera;
    receiver::VentanaRecepcion v{*MSFlexGrid1, Cpte, *medida_};
    v.porcentajeIVA = *PorcentajeIVA;
    v.fecha = dia;
    v.transmision = vb::Trim(txtfields[0]->text());
    v.espera = &espera;
    receiver::MovDeposito(v);
}

// ---- entry fields ---------------------------------------------------------------------------

void FrmKorvane01::txtfields_GotFocus(int16_t Index) {
    IndiceCampoActual = Index;
    CampoActual = txtfields[static_cast<size_t>(Index)];
    CampoActual->setSelection(0, static_cast<int>(vb::Trim(CampoActual->text()).size()));
    FijaColorFondo(CampoActual, core::gColorFondo);
}

void FrmKorvane01::txtfields_LostFocus(int16_t Index) {
    FijaColorFondo(txtfields[static_cast<size_t>(Index)], 0xFFFFFF);
}

void FrmKorvane01::txtfields_KeyPress(int16_t Index, int16_t& KeyAscii) {
    int key = KeyAscii;
    core::gUtilControles().FiltraTecla(txtfields[static_cast<size_t>(Index)], key);
    KeyAscii = static_cast<int16_t>(key);
}

void FrmKorvane01::txtfields_KeyDown(int16_t& Index, int16_t KeyCode, int16_t) {
    if (!core::gUtilControles().EsTeclaConfirmacion(KeyCode)) return;
    QLineEdit* campoConfirmado = txtfields[static_cast<size_t>(Index)];
    CampoValida(campoConfirmado);
    // A new number has already put the focus on the date field; moving on from there would
    // leave the field the operator has to fill next.
    if (!ErrorEnCampo && campoConfirmado->isEnabled())
        core::gUtilControles().AvanzaCampo(KeyCode);
}

void FrmKorvane01::CampoValida(QLineEdit* Texto) {
    QString mensaje;
    ErrorEnCampo = false;
    vb::OnError on = vb::OnError::LeaveSilently();
    on.run([&] {
        const QString valor = vb::Trim(Texto->text());
        const QString dataField = Texto->property("DataField").toString();
        if (dataField.compare(QStringLiteral("Codigo"), Qt::CaseInsensitive) == 0) {
            mensaje = MensajeNumero(valor);
            if (!mensaje.isEmpty()) {
                ErrorEnCampo = true;
                return;
            }
            InicializaPantalla();
            Texto->setText(valor);
            const std::optional<bool> registrado = NumeroRegistrado(valor);
            if (registrado == false) {
                HabilitaCampos(-1);
                campo(QStringLiteral("fecha"))->setFocus();
            } else {
                // A recorded number would mark the prices with a transmission that is not theirs;
                // a lookup that failed has told the operator why.
                ErrorEnCampo = true;
                if (registrado == true) mensaje = kNumeroUsado;
            }
        } else if (dataField.compare(QStringLiteral("Fecha"), Qt::CaseInsensitive) == 0) {
            // Read once: the field shows the day it was read as, day first, whatever form was typed.
            const std::optional<QDate> dia = valor.isEmpty() ? vb::Today().toQDate() : core::LeeFecha(valor);
            if (dia) {
                Texto->setText(FechaCorta(*dia));
            } else {
                ErrorEnCampo = true;
                mensaje = kFechaInvalida;
            }
        }
    });
    // A failed check, or a run-time error inside the check (whose message is empty).
    if (ErrorEnCampo || on.left()) {
        if (!mensaje.isEmpty() || on.left()) ui::MsgBox(mensaje, ui::vbInformation, kAvisoOperador);
        mensaje.clear();
        Texto->setFocus();
    }
}

bool FrmKorvane01::eventFilter(QObject* watched, QEvent* event) {
    int16_t index = -1;
    for (size_t i = 0; i < txtfields.size(); ++i)
        if (watched == txtfields[i]) index = static_cast<int16_t>(i);
    if (index < 0) return QMainWindow::eventFilter(watched, event);
    // While a send or a receive runs (waiting for another station among it, when the window's
    // events go on) the fields take no keys and no clicks: Enter would check the number and reset
    // the window in the middle of the run.
    if (ocupado_) {
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            return true;
        default:
            break;
        }
    }

    switch (event->type()) {
    case QEvent::FocusIn:
        txtfields_GotFocus(index);
        break;
    case QEvent::FocusOut:
        txtfields_LostFocus(index);
        break;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        const int keyCode = utillib::UtilControles::KeyCodeFromQt(key->key());
        if (keyCode != 0) {
            int16_t i = index;
            txtfields_KeyDown(i, static_cast<int16_t>(keyCode), 0);
            if (core::gUtilControles().EsTeclaConfirmacion(keyCode)) return true;
        }
        const QString typed = key->text();
        if (typed.size() == 1 && (typed[0].unicode() >= 32 || typed[0].unicode() == 8)) {
            int16_t ascii = static_cast<int16_t>(typed[0].unicode() == 8 ? 8 : vb::Asc(typed));
            txtfields_KeyPress(index, ascii);
            if (ascii == 0) return true;   // the key was cancelled
            if (ascii != static_cast<int16_t>(vb::Asc(typed)) && ascii != 8) {
                txtfields[static_cast<size_t>(index)]->insert(vb::Chr(static_cast<unsigned char>(ascii)));
                return true;               // the key was changed
            }
        }
        break;
    }
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- price lookups and the transmission report ----------------------------------------------

void FrmKorvane01::ConsultaNovedades() {
    if (!CampoActual) vb::Raise(vb::kErrObjectNotSet);   // no entry field has had the focus yet
    CampoActual->setProperty("Tag", QStringLiteral("Novedades"));
    ConsultaPrecios();
    CampoActual->setProperty("Tag", QStringLiteral("V_MA_PRECIOS"));
}

void FrmKorvane01::ConsultaPrecios() {
    if (!CampoActual) vb::Raise(vb::kErrObjectNotSet);   // no entry field has had the focus yet
    const QString tag = CampoActual->property("Tag").toString();
    if (tag.isEmpty()) return;
    core::ConsultasIface& consultas = core::gConsultas();
    QString campoBusqueda;
    const QString etiqueta = tag.toUpper();
    if (etiqueta == QStringLiteral("FECHA")) {
        CampoActual->setText(core::gUtilTexto().ObtieneFecha());
    } else if (etiqueta == QStringLiteral("V_MA_PRECIOS")) {
        consultas.CampoDevuelto = QStringLiteral("IDLISTA");
        consultas.ConsultaSearch(
            QStringLiteral("SELECT IDLISTA,NOMBRE FROM V_MA_PRECIOSCAB WHERE TIPOLISTA = 'V' ORDER BY IDLISTA"),
            nullptr, QString(), campoBusqueda, QString(), QString(), false);
        CampoActual->setText(consultas.ValorDevuelto.text());
    } else if (etiqueta == QStringLiteral("NOVEDADES")) {
        const vb::Date hoy = vb::Today();
        const QString manana = FechaCorta(vb::DateAdd(QStringLiteral("d"), 1, hoy));
        const QString ayer = FechaCorta(vb::DateAdd(QStringLiteral("d"), -1, hoy));
        consultas.CampoDevuelto = QStringLiteral("IDLISTA");
        consultas.ConsultaSearch(
            QStringLiteral("SELECT IDLISTA,NOMBRE FROM V_MA_PRECIOS WHERE TIPOLISTA = 'V' AND (ESTADO = '0-C' OR "
                           "ESTADO = '0-M' OR FHOFERTADESDE = '") +
                manana + QStringLiteral("' OR  FHOFERTAHASTA ='") + ayer + QStringLiteral("') GROUP BY IDLISTA,NOMBRE"),
            nullptr, QString(), campoBusqueda, QString(), QString(), false);
        const int i = indiceCampo(QStringLiteral("IDLISTA"));
        // No entry field of this window holds a price-list code: the value has nowhere to go.
        if (i >= 0 && i < static_cast<int>(txtfields.size())) {
            txtfields[static_cast<size_t>(i)]->setText(consultas.ValorDevuelto.text());
            IndiceCampoActual = static_cast<int16_t>(i);
        }
    } else if (etiqueta == QStringLiteral("V_MA_ARTICULOS")) {
        consultas.CampoDevuelto = QStringLiteral("IDARTICULO");
        consultas.ConsultaSearch(QStringLiteral("V_MA_ARTICULOS"), nullptr, QString(), campoBusqueda, QString(),
                                 QString(), false);
        CampoActual->setText(vb::Trim(consultas.ValorDevuelto.text()));
        IndiceCampoActual = static_cast<int16_t>(CampoActual->property("Index").toInt());
    }
    txtfields_KeyDown(IndiceCampoActual, 13, 0);
}

void FrmKorvane01::ImprimeNovedades(int16_t& ReporteAlternativo) {
    QString reporte = QStringLiteral("RP_NovedadesPrecios");
    const vb::ReadResult<QString> nombre = core::ObtieneConfiguracion(QStringLiteral("NOMBRE"));
    if (!nombre.read()) return;   // the operator was asked about the read: nothing is printed
    const QString empresa = QStringLiteral("Empresa = '") + nombre.value() + QStringLiteral("'");
    const QString seleccion =
        QStringLiteral("{mv_novedadesprecios.codigo} =") + campo(QStringLiteral("codigo"))->text();
    if (ReporteAlternativo != 0) reporte = QStringLiteral("MA_PRE3");
    core::gMotorReportes().ImprimeReporte(reporte, QStringList{QString()}, seleccion, core::gCadenaDSN, empresa);
}

}  // namespace main_window
