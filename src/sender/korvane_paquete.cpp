#include "sender/korvane_paquete.h"

#include "sender/frm_status.h"
#include "core/trata_error.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "data/sql_literal.h"
#include "platform/ado/lock_wait.h"
#include "platform/ado/transaction.h"
#include "platform/ui/prompter.h"
#include "platform/vb/app.h"
#include "platform/vb/error.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"
#include "sender/korvane.h"

#include <QStringList>
#include <algorithm>
#include <array>
#include <cassert>
#include <memory>
#include <optional>

namespace sender {

using core::TrataError;

namespace {

struct PasoPaquete {
    const char* name;
    const char* description;
    long executionStatus;
    const char* taskName;
};

constexpr std::array<PasoPaquete, 7> kPasos{{
    {"DTSStep_DTSExecuteSQLTask_1", "Vaciar Tablas", 1, "DTSTask_DTSExecuteSQLTask_1"},
    {"DTSStep_DTSDataPumpTask_1", "Copiar IMPONOVARTI", 4, "DTSTask_DTSDataPumpTask_1"},
    {"DTSStep_DTSDataPumpTask_2", "Copiar IMPONOVBARRAS", 4, "DTSTask_DTSDataPumpTask_2"},
    {"DTSStep_DTSDataPumpTask_3", "Copiar IMPONOVBULTOS", 4, "DTSTask_DTSDataPumpTask_3"},
    {"DTSStep_DTSDataPumpTask_4", "Copiar IMPONOVPROV", 4, "DTSTask_DTSDataPumpTask_4"},
    {"DTSStep_DTSDataPumpTask_5", "Copiar IMPOPROV", 4, "DTSTask_DTSDataPumpTask_5"},
    {"DTSStep_DTSDataPumpTask_7", "Copiar OFERTAS", 1, "DTSTask_DTSDataPumpTask_7"},
}};

const QString kFinalizando = QStringLiteral("Finalizando");

void ArmaPropiedadesPaquete(dts::Package& p) {
    p.setName(QStringLiteral("KORVANE_INTERFACE01"));
    p.setWriteCompletionStatusToNTEventLog(false);
    p.setFailOnError(false);
    p.setPackagePriorityClass(2);
    p.setMaxConcurrentSteps(4);
    p.setLineageOptions(0);
    p.setUseTransaction(true);
    p.setTransactionIsolationLevel(256);
    p.setAutoCommitTransaction(true);
    p.setRepositoryMetadataOptions(0);
    p.setUseOLEDBServiceComponents(true);
    p.setLogToSQLServer(false);
    p.setLogServerFlags(0);
    p.setFailPackageOnLogFailure(false);
    p.setExplicitGlobalVariables(false);
    p.setPackageType(0);
}

// Connection 1: the head office; connection 2: the interface database.
void ArmaConexion(dts::Package& p, int id) {
    const data::DB_Dll& db = id == 1 ? data::gDBPrincipal() : data::gDBRemota();
    const QString catalog = id == 1 ? db.gDBName : QStringLiteral("korvane_interfases");
    const QString appName = QStringLiteral("Diseñador DTS");
    auto c = p.Connections().New(QStringLiteral("SQLOLEDB"));
    if (id == 1) {
        c->ConnectionProperties(QStringLiteral("Integrated Security")).setValue(QStringLiteral("SSPI"));
        c->ConnectionProperties(QStringLiteral("Persist Security Info")).setValue(true);
        c->ConnectionProperties(QStringLiteral("User ID")).setValue(db.gUsuario);
        c->ConnectionProperties(QStringLiteral("Initial Catalog")).setValue(catalog);
        c->ConnectionProperties(QStringLiteral("Password")).setValue(db.gUserPassWord);
        c->ConnectionProperties(QStringLiteral("Data Source")).setValue(db.gServidor);
        c->ConnectionProperties(QStringLiteral("Application Name")).setValue(appName);
        c->setName(QStringLiteral("Microsoft OLE DB Provider for SQL Server"));
    } else {
        c->ConnectionProperties(QStringLiteral("Integrated Security")).setValue(QStringLiteral("SSPI"));
        c->ConnectionProperties(QStringLiteral("Persist Security Info")).setValue(true);
        c->ConnectionProperties(QStringLiteral("Initial Catalog")).setValue(catalog);
        c->ConnectionProperties(QStringLiteral("Data Source")).setValue(db.gServidor);
        c->ConnectionProperties(QStringLiteral("User ID")).setValue(db.gUsuario);
        c->ConnectionProperties(QStringLiteral("Password")).setValue(db.gUserPassWord);
        c->ConnectionProperties(QStringLiteral("Application Name")).setValue(appName);
        c->setName(QStringLiteral("Microsoft OLE DB Provider for SQL Server 2"));
    }
    c->setID(id);
    c->setReusable(true);
    c->setConnectImmediate(false);
    c->setDataSource(db.gServidor);
    c->setUserID(db.gUsuario);
    c->setPassword(db.gUserPassWord);
    c->setConnectionTimeout(60);
    c->setCatalog(catalog);
    c->setUseTrustedConnection(true);
    c->setUseDSL(false);
    p.Connections().Add(c);
}

void ArmaPaso(dts::Package& p, const PasoPaquete& def) {
    auto s = p.Steps().New();
    frmStatus().AgregarPaso(QString::fromUtf8(def.description));
    s->setName(QString::fromUtf8(def.name));
    s->setDescription(QString::fromUtf8(def.description));
    s->setExecutionStatus(def.executionStatus);
    s->setTaskName(QString::fromUtf8(def.taskName));
    s->setCommitSuccess(false);
    s->setRollbackFailure(false);
    s->setScriptLanguage(QStringLiteral("VBScript"));
    s->setAddGlobalVariables(true);
    s->setRelativePriority(3);
    s->setCloseConnection(false);
    s->setExecuteInMainThread(false);
    s->setIsPackageDSORowset(false);
    // Every step joins the package's transaction: the interface tables change only when the whole
    // send is committed.
    s->setJoinTransactionIfPresent(true);
    s->setDisableStep(false);
    s->setFailPackageOnError(false);
    p.Steps().Add(s);
}

void ArmaPrecedencia(dts::Package& p) {
    auto step = p.Steps().Item(QStringLiteral("DTSStep_DTSDataPumpTask_1"));
    auto pc = step->PrecedenceConstraints().New(QStringLiteral("DTSStep_DTSExecuteSQLTask_1"));
    pc->setStepName(QStringLiteral("DTSStep_DTSExecuteSQLTask_1"));
    pc->setPrecedenceBasis(dts::DTSStepPrecedenceBasis_ExecResult);
    pc->setValue(vb::Variant(0));
    step->PrecedenceConstraints().Add(pc);
}

// Whether a step may run: every precedence constraint it carries holds, and, for the copy
// steps, the interface tables were emptied (a copy into tables that still hold the last send
// would duplicate their rows).
bool PuedeEjecutarse(dts::Package& p, int position) {
    auto step = p.Steps().Item(position);
    for (const auto& pc : step->PrecedenceConstraints()) {
        auto before = p.Steps().Item(pc->StepName());
        const long observed = pc->PrecedenceBasis() == dts::DTSStepPrecedenceBasis_ExecResult
                                  ? before->ExecutionResult()
                                  : before->ExecutionStatus();
        if (!pc->Value().equals(vb::Variant(static_cast<int>(observed)))) return false;
    }
    if (position > 1) {
        auto vaciar = p.Steps().Item(1);
        if (vaciar->ExecutionResult() != dts::DTSStepExecResult_Success ||
            vaciar->ExecutionStatus() != dts::DTSStepExecStat_Completed)
            return false;
    }
    return true;
}

// The articles the article step copied, read inside the package's transaction: in mode 0 exactly
// those whose prices the send took to the stores.
QStringList ArticulosCopiados(dts::Package& paquete) {
    QStringList articulos;
    ado::RecordsetPtr rs = paquete.Connections().byID(2)->open()->Execute(QStringLiteral("SELECT ARTI FROM IMPONOVARTI"));
    for (; rs && rs->State() == ado::adStateOpen && !rs->Eof(); rs->MoveNext()) articulos << rs->Fields(0).Value().text();
    return articulos;
}

// Mode 0's marking: the pending A3 prices of the articles sent, with the transmission number. A
// pending price whose article did not go (another TIPOACT, no article, changed after the copy)
// stays pending for a later send.
//
// The articles go into a temporary table of the head-office session, and one UPDATE marks the
// prices whose article is there: one pass over the list's prices whatever their number, on the
// embedded database as on the server. The table takes the database's collation, so its codes
// compare with IDARTICULO as the prices' codes do; it goes in the marking's own transaction
// (dropped at its end, or with its rollback).
const QString kEnviados = QStringLiteral("#KORVANE_ENVIADOS");

// Fills the temporary table with the articles, a few hundred to a statement, through statements
// prepared once: the server compiles one plan and runs it with each group's codes (a text of
// literals would be compiled anew for every group). Its text reads alike in both providers'
// dialects ([name], "?" parameters, rows of VALUES). Raises vb::Error when a group is refused.
void GuardaEnviados(ado::Connection& cn, const QStringList& articulos) {
    constexpr qsizetype kPorSentencia = 500;
    const auto prepara = [&](qsizetype filas) {
        QString sql = QStringLiteral("INSERT INTO [%1] (ARTI) VALUES (?)").arg(kEnviados);
        for (qsizetype i = 1; i < filas; ++i) sql += QStringLiteral(", (?)");
        return cn.Prepare(sql);
    };
    std::unique_ptr<ado::Command> grupo;
    for (qsizetype desde = 0; desde < articulos.size(); desde += kPorSentencia) {
        const qsizetype filas = std::min(kPorSentencia, articulos.size() - desde);
        if (!grupo || filas < kPorSentencia) grupo = prepara(filas);   // the last group may be shorter
        assert(grupo->parameterCount() == filas);
        for (qsizetype i = 0; i < filas; ++i) grupo->bind(static_cast<int>(i + 1), vb::Variant(articulos[desde + i]));
        grupo->execute();
    }
}

// Whether an error is a wait for another station's send or receive that ran out or was given up
// (platform/ado/lock_wait.h): no fault of the send, asked about as such.
bool EsperaDeOtraEstacion(long numero) { return ado::LockFailureOf(vb::Error(numero, QString())) != ado::LockFailure::None; }

// A statement of the head office: what refused it, or nothing. A wait for another station raises
// instead, for the caller's runner to ask (Reintentar, Anular) or to leave on.
std::optional<QString> Ejecuta(data::DB_Dll& db, const QString& sql) {
    std::optional<QString> error = db.ErrorAlEjecutar(sql);
    if (error) ado::RaiseLockFailure(db.gCnn()->errors());
    return error;
}

// The marking on the head-office connection, inside the caller's transaction; the first error.
std::optional<QString> MarcaEnviados(data::DB_Dll& db, const QString& NumeroTransmision, const QStringList& articulos) {
    if (articulos.isEmpty()) return std::nullopt;
    if (auto error = Ejecuta(db,
            QStringLiteral("CREATE TABLE %1 (ARTI nvarchar(25) COLLATE DATABASE_DEFAULT NOT NULL)").arg(kEnviados)))
        return error;
    try {
        GuardaEnviados(*db.gCnn(), articulos);
    } catch (const vb::Error& e) {
        if (EsperaDeOtraEstacion(e.number())) throw;
        return e.description();
    }
    if (auto error = Ejecuta(db,
            QStringLiteral("UPDATE V_MA_PRECIOS SET ESTADO = CASE ESTADO WHEN '0-M' THEN '1-M' WHEN '0-C' THEN '1-C' "
                           "ELSE '1-B' END , CAMBIOCODBARRA=0 , TRANSMISION = ") +
            vb::NumberText(vb::Val(NumeroTransmision)) +
            QStringLiteral(" WHERE IDLISTA = 'A3' AND ESTADO IN ('0-M', '0-C', '0-B') AND IDARTICULO IN "
                           "(SELECT ARTI FROM %1)")
                .arg(kEnviados)))
        return error;
    return Ejecuta(db, QStringLiteral("DROP TABLE %1").arg(kEnviados));
}

// Modes 1 and 2: the rewrite of TIPOACT in three interface tables.
QStringList SentenciasReescritura(int16_t mode) {
    QStringList list;
    if (mode == 1) {
        for (const char* t : {"IMPONOVARTI", "IMPOPROV", "OFERTAS"})
            list << QStringLiteral("UPDATE %1 SET TIPOACT = 'M', TIPOACT_ORIG = 'M' WHERE TIPOACT = 'S'")
                        .arg(QString::fromLatin1(t));
    } else if (mode == 2) {
        list << QStringLiteral("UPDATE IMPONOVARTI SET TIPOACT = 'A' , TIPOACT_ORIG = 'A' WHERE TIPOACT <> 'A'")
             << QStringLiteral("UPDATE IMPOPROV SET TIPOACT = 'A' , TIPOACT_ORIG = 'A'  WHERE TIPOACT <> 'A'")
             << QStringLiteral("UPDATE OFERTAS SET TIPOACT = 'A' , TIPOACT_ORIG = 'A'  WHERE TIPOACT <> 'A'");
    }
    return list;
}

QString SentenciaTransmision(const Transmision& t) {
    return QStringLiteral("INSERT INTO MV_NOVEDADESPRECIOS  (CODIGO,IDLISTA,NOMBRE,TIPOMOV,FECHA ) VALUES ('") +
           data::LiteralSQL(t.numero) + QStringLiteral("','A3','A3','G','") + data::FechaSQL(t.fecha) +
           QStringLiteral("')");
}

}  // namespace

QStringList DescripcionesPasos() {
    QStringList list;
    for (const auto& p : kPasos) list << QString::fromUtf8(p.description);
    return list;
}

QString LetraTransmision(int16_t mode) {
    switch (mode) {
    case 0: return QStringLiteral("N");
    case 1: return QStringLiteral("C");
    case 2: return QStringLiteral("A");
    default: return QString();
    }
}

void InformaResultadoPaso(const dts::Package& paquete, int16_t NroPaso) {
    auto step = paquete.Steps().Item(NroPaso);
    if (step->ExecutionResult() == dts::DTSStepExecResult_Failure)
        frmStatus().StatusPaso(step->Description(), 5, 0);
    else
        frmStatus().StatusPaso(step->Description(), static_cast<int16_t>(step->ExecutionStatus()), 0);
}

std::shared_ptr<dts::Package> ArmaPaquete(vb::OnError& on, int16_t mode) {
    const QString letra = LetraTransmision(mode);
    std::shared_ptr<dts::Package> paquete;
    on.run([&] { paquete = dts::Package::Create(); });
    on.run([&] { ArmaPropiedadesPaquete(*paquete); });
    on.run([&] { ArmaConexion(*paquete, 1); });
    on.run([&] { ArmaConexion(*paquete, 2); });
    on.run([&] { frmStatus().pCanPasos = 8; });
    on.run([&] { frmStatus().show(); });
    for (const auto& def : kPasos) on.run([&] { ArmaPaso(*paquete, def); });
    on.run([&] { ArmaPrecedencia(*paquete); });
    on.run([&] { frmStatus().AgregarPaso(kFinalizando); });
    for (const sender::ArmaTarea arma : sender::kTareasPaquete) on.run([&] { arma(*paquete, letra); });
    // A long copy lets the windows repaint between its rows.
    on.run([&] { paquete->setOnProgress([](const QString&, long) { vb::DoEvents(); }); });
    return paquete;
}

bool TransmisionAceptada(const Transmision& transmision) {
    data::DB_Dll& db = data::gDBPrincipal();
    // Another station at work on the head office is asked about (Reintentar, Anular); any other
    // error of the transaction too. Only a row tried and refused is told in a box of its own.
    vb::OnError on([](const vb::Error& e) { return TrataError(e); });
    std::optional<QString> error;
    bool probada = false;
    on.run([&] {
        ado::Transaction prueba = db.Transaccion();   // rolled back on leaving the block
        error = Ejecuta(db, SentenciaTransmision(transmision));
        probada = true;
    });
    if (!probada) return false;
    if (!error) return true;
    ui::MsgBox(*error, ui::vbOKOnly);
    return false;
}

bool RegistraTransmision(int16_t mode, const Transmision& transmision, const QStringList& articulos) {
    data::DB_Dll& db = data::gDBPrincipal();
    // As TransmisionAceptada: a wait for another station is asked about, and Reintentar runs the
    // whole transaction again; a statement refused rolls it back before its box, so nothing stays
    // locked while it waits.
    vb::OnError on([](const vb::Error& e) { return TrataError(e); });
    std::optional<QString> error;
    bool registrada = false;
    on.run([&] {
        ado::Transaction transaccion = db.Transaccion();
        error = mode == 0 ? MarcaEnviados(db, transmision.numero, articulos) : std::nullopt;
        if (!error) error = Ejecuta(db, SentenciaTransmision(transmision));
        if (error) return;   // rolled back on leaving
        transaccion.Commit();
        registrada = true;
    });
    if (error) ui::MsgBox(*error, ui::vbOKOnly);
    return registrada;
}

namespace {

// One run of the send. A step or the commit that found the interface held by another station
// stops the run there: what it did is rolled back, nothing is told, and *espera receives the
// wait's failure.
bool EjecutaPaquete(int16_t mode, const Transmision& transmision, std::optional<vb::Error>* espera) {
    vb::OnError on([](const vb::Error& e) { return TrataError(e); });
    QStringList fallas;   // "<step>: <error>" of every failed step
    // Leaving the procedure at any point drops the package, which rolls back what it did not
    // commit.
    std::shared_ptr<dts::Package> paquete = ArmaPaquete(on, mode);
    on.run([&] { vb::DoEvents(); });

    for (int16_t i = 1; i <= static_cast<int16_t>(kPasos.size()); ++i) {
        std::shared_ptr<dts::Step> step;
        on.run([&] { step = paquete->Steps().Item(i); });
        if (on.left()) break;
        if (!step) {
            fallas << QString::fromUtf8(kPasos[static_cast<size_t>(i - 1)].description);
            continue;
        }
        on.run([&] { frmStatus().StatusPaso(step->Description(), 2, 0); });
        bool ejecutado = false;
        bool inactivo = false;
        on.run([&] {
            if (PuedeEjecutarse(*paquete, i)) {
                step->Execute();
                ejecutado = true;
            } else {
                step->setExecutionStatus(dts::DTSStepExecStat_Inactive);
                inactivo = true;
            }
        });
        on.run([&] { InformaResultadoPaso(*paquete, i); });
        if (step->ExecutionResult() == dts::DTSStepExecResult_Failure && EsperaDeOtraEstacion(step->ErrorCode())) {
            *espera = vb::Error(step->ErrorCode(), step->ErrorDescription());
            break;
        }
        if (step->ExecutionResult() == dts::DTSStepExecResult_Failure)
            fallas << step->Description() + QStringLiteral(": ") + step->ErrorDescription();
        else if (!ejecutado && !inactivo)
            fallas << step->Description() + QStringLiteral(": no se pudo ejecutar");
        vb::DoEvents();
    }
    if (on.left()) return false;

    on.run([&] { frmStatus().StatusPaso(kFinalizando, 2, 0); });
    // The interface: modes 1 and 2 rewrite TIPOACT with the copies, then all is committed at
    // once. A failure here is the send's failure, not a question: what did not commit is gone.
    bool enviado = fallas.isEmpty() && !*espera && paquete;
    QStringList articulos;   // mode 0: what the marking marks
    if (enviado) {
        try {
            for (const QString& sql : SentenciasReescritura(mode)) paquete->ExecuteInTransaction(2, sql);
            if (mode == 0) articulos = ArticulosCopiados(*paquete);
            paquete->CommitTransaction();
        } catch (const vb::Error& e) {
            if (EsperaDeOtraEstacion(e.number())) *espera = e;
            else fallas << kFinalizando + QStringLiteral(": ") + e.description();
            enviado = false;
        }
    }
    on.run([&] {
        paquete->UnInitialize();   // rolls back what was not committed
        paquete.reset();
    });
    if (*espera) {
        on.run([&] { frmStatus().StatusPaso(kFinalizando, 5, 0); });
        on.run([&] { UnloadFrmStatus(); });
        return false;
    }

    // The head office: the prices sent and the transmission that sent them, together.
    bool registrado = false;
    if (enviado) on.run([&] { registrado = RegistraTransmision(mode, transmision, articulos); });
    on.run([&] { frmStatus().StatusPaso(kFinalizando, registrado ? 4 : 5, 0); });
    on.run([&] { UnloadFrmStatus(); });
    if (on.left()) return false;

    if (registrado) {
        ui::MsgBox(QStringLiteral("Proceso Finalizado..."), ui::vbInformation + ui::vbOKOnly,
                   QStringLiteral("Aviso al Operador"));
    } else if (enviado) {
        // Modes 1 and 2 mark nothing here: their flags went with the send.
        ui::MsgBox(mode == 0 ? QStringLiteral("Los datos llegaron a la base de interfases, pero no se marcaron las novedades "
                                              "ni se registró la transmisión. El próximo envío los vuelve a enviar.")
                             : QStringLiteral("Los datos llegaron a la base de interfases, pero no se registró la "
                                              "transmisión."),
                   ui::vbExclamation + ui::vbOKOnly, QStringLiteral("Aviso al Operador"));
    } else {
        ui::MsgBox(QStringLiteral("El proceso terminó con errores. Las tablas de la base de interfases conservan el "
                                  "envío anterior; no se marcaron las novedades ni se registró la transmisión.\r\n\r\n") +
                       fallas.join(QStringLiteral("\r\n")),
                   ui::vbExclamation + ui::vbOKOnly, QStringLiteral("Aviso al Operador"));
    }
    return registrado;
}

}  // namespace

bool ArmaYEjecutaPaqueteDTS(const int16_t& mode, const Transmision& transmision) {
    for (;;) {
        std::optional<vb::Error> espera;
        const bool registrado = EjecutaPaquete(mode, transmision, &espera);
        if (!espera) return registrado;
        // The interface was held by another station's send: nothing of this one stayed. Asked in
        // the box of such a wait: Reintentar sends again from the start, Anular (or the operator's
        // Anular while it waited, asked no more) ends the send.
        if (TrataError(*espera) != vb::kRetry) return false;
    }
}

}  // namespace sender
