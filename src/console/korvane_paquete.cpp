#include "console/korvane_paquete.h"

#include "console/frm_status.h"
#include "console/trata_error.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "platform/ui/prompter.h"
#include "platform/vb/app.h"
#include "platform/vb/error.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"
#include "transfer/korvane.h"

#include <QStringList>
#include <array>

namespace console {

std::shared_ptr<dts::Package> gPaquete;

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

// The mode's letter; any other mode leaves the text as it was.
void FijaTipoTransmision(int16_t mode) {
    switch (mode) {
    case 0: transfer::TipoTransmision = QStringLiteral("N"); break;
    case 1: transfer::TipoTransmision = QStringLiteral("C"); break;
    case 2: transfer::TipoTransmision = QStringLiteral("A"); break;
    default: break;
    }
}

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
    s->setJoinTransactionIfPresent(false);
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

QStringList SentenciasMarcado(int16_t mode, const QString& NumeroTransmision) {
    QStringList list;
    if (mode == 0) {
        const QString n = vb::NumberText(vb::Val(NumeroTransmision));
        for (const char* e : {"M", "C", "B"}) {
            const QString estado = QString::fromLatin1(e);
            list << QStringLiteral("UPDATE V_MA_PRECIOS SET ESTADO = '1-%1' , CAMBIOCODBARRA=0 , TRANSMISION = ")
                        .arg(estado) +
                        n + QStringLiteral(" WHERE IDLISTA = 'A3' AND ESTADO = '0-%1'").arg(estado);
        }
    } else if (mode == 1) {
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

}  // namespace

QStringList DescripcionesPasos() {
    QStringList list;
    for (const auto& p : kPasos) list << QString::fromUtf8(p.description);
    return list;
}

void InformaResultadoPaso(int16_t NroPaso) {
    if (!gPaquete) vb::Raise(vb::kErrObjectNotSet);   // no send is running
    auto step = gPaquete->Steps().Item(NroPaso);
    if (step->ExecutionResult() == dts::DTSStepExecResult_Failure)
        frmStatus().StatusPaso(step->Description(), 5, 0);
    else
        frmStatus().StatusPaso(step->Description(), static_cast<int16_t>(step->ExecutionStatus()), 0);
}

bool ArmaYEjecutaPaqueteDTS(const int16_t& mode, const QString& NumeroTransmision) {
    vb::OnError on([](const vb::Error& e) { return TrataError(e); });
    QStringList fallas;   // "<step>: <error>" of every failed step

    on.run([&] { FijaTipoTransmision(mode); });
    // Every send starts from a fresh package: one left behind by a send that was abandoned
    // through the error treatment is dropped, not built on.
    on.run([&] {
        if (gPaquete) gPaquete->UnInitialize();
        gPaquete = dts::Package::Create();
    });
    on.run([&] { ArmaPropiedadesPaquete(*gPaquete); });
    on.run([&] { ArmaConexion(*gPaquete, 1); });
    on.run([&] { ArmaConexion(*gPaquete, 2); });
    on.run([&] { frmStatus().pCanPasos = 8; });
    on.run([&] { frmStatus().show(); });
    for (const auto& def : kPasos) on.run([&] { ArmaPaso(*gPaquete, def); });
    on.run([&] { ArmaPrecedencia(*gPaquete); });
    on.run([&] { frmStatus().AgregarPaso(kFinalizando); });
    for (const transfer::ArmaTarea arma : transfer::kTareasPaquete) on.run([&] { arma(*gPaquete); });
    on.run([&] { vb::DoEvents(); });

    for (int16_t i = 1; i <= static_cast<int16_t>(kPasos.size()); ++i) {
        std::shared_ptr<dts::Step> step;
        on.run([&] { step = gPaquete->Steps().Item(i); });
        if (on.left()) break;
        if (!step) {
            fallas << QString::fromUtf8(kPasos[static_cast<size_t>(i - 1)].description);
            continue;
        }
        on.run([&] { frmStatus().StatusPaso(step->Description(), 2, 0); });
        bool ejecutado = false;
        bool inactivo = false;
        on.run([&] {
            if (PuedeEjecutarse(*gPaquete, i)) {
                step->Execute();
                ejecutado = true;
            } else {
                step->setExecutionStatus(dts::DTSStepExecStat_Inactive);
                inactivo = true;
            }
        });
        on.run([&] { InformaResultadoPaso(i); });
        if (step->ExecutionResult() == dts::DTSStepExecResult_Failure)
            fallas << step->Description() + QStringLiteral(": ") + step->ErrorDescription();
        else if (!ejecutado && !inactivo)
            fallas << step->Description() + QStringLiteral(": no se pudo ejecutar");
        vb::DoEvents();
    }
    if (on.left()) return false;

    on.run([&] {
        gPaquete->UnInitialize();
        gPaquete.reset();
    });

    on.run([&] { frmStatus().StatusPaso(kFinalizando, 2, 0); });
    on.run([&] { FijaTipoTransmision(mode); });
    if (fallas.isEmpty()) {
        for (const QString& sql : SentenciasMarcado(mode, NumeroTransmision)) {
            on.run([&] {
                QString s = sql;
                long affected = 0;
                (mode == 0 ? data::gDBPrincipal() : data::gDBRemota()).EjecutaConsultaSQL(s, &affected, nullptr);
            });
        }
    }
    on.run([&] { frmStatus().StatusPaso(kFinalizando, fallas.isEmpty() ? 4 : 5, 0); });
    on.run([&] { UnloadFrmStatus(); });
    if (on.left()) return false;

    if (fallas.isEmpty()) {
        ui::MsgBox(QStringLiteral("Proceso Finalizado..."), ui::vbInformation + ui::vbOKOnly,
                   QStringLiteral("Aviso al Operador"));
        return true;
    }
    ui::MsgBox(QStringLiteral("El proceso terminó con errores. No se marcaron las novedades como enviadas "
                              "ni se registró la transmisión.\r\n\r\n") +
                   fallas.join(QStringLiteral("\r\n")),
               ui::vbExclamation + ui::vbOKOnly, QStringLiteral("Aviso al Operador"));
    return false;
}

}  // namespace console
