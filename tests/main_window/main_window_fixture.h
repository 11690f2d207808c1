#pragma once
// The main window's tests' world: the demo databases in a folder of the test's own, the program
// started on them, and small helpers to read and write them.
#include "sender/frm_status.h"
#include "sender/korvane_paquete.h"
#include "core/conecta_remota.h"
#include "core/consultas_iface.h"
#include "core/inicia_sistema.h"
#include "core/mod_global.h"
#include "data/db_dll.h"
#include "db/databases.h"
#include "platform/ui/prompter.h"
#include "platform/vb/app.h"
#include "support/test_support.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

namespace mainwindowtest {

class MainWindowFixture : public ::testing::Test {
protected:
    void SetUp() override {
        data::ResetGlobalInstances();
        core::ReiniciaEstado();
        core::ResetConsultas();
        sender::DestroyFrmStatus();
        vb::SetAppPath(tmp.path());
        vb::SetDoEventsHook([] { QCoreApplication::processEvents(); });
        qputenv("TEMP", tmp.path().toLocal8Bit());
        bases = tmp.file(QStringLiteral("bases"));
        db::CreateDemo(bases);
        // Every article with its principal supplier: the stores take no article without one.
        db::RunScript(bases, db::kHeadOfficeName,
                      QStringLiteral("INSERT INTO MA_ARTICULOSPROVEEDOR (IDARTICULO, CUENTAPROVEEDOR, CODIGOARTPROVEEDOR, "
                                     "PRINCIPAL, TIPOACT) SELECT IDARTICULO, 'P0001', 'X', 1, 'M' FROM MA_ARTICULOS "
                                     "WHERE IDARTICULO NOT IN (SELECT IDARTICULO FROM MA_ARTICULOSPROVEEDOR)"));
        core::SetLineaComando(Parametros());
    }
    void TearDown() override {
        sender::DestroyFrmStatus();
        data::ResetGlobalInstances();
        core::SetLineaComando(QString());
        vb::SetDoEventsHook(nullptr);
    }

    QString Parametros() const {
        return QStringLiteral("@Server=") + bases + QStringLiteral(";@DbName=VOLMA;@Usuario=sa;@Password=;");
    }

    // Start-up and the interface connection, as a send finds them.
    void Arranca() {
        QString conexion;
        ASSERT_TRUE(core::IniciaSistema(false, QString(), conexion, 3));
        ASSERT_TRUE(core::ConectaBaseRemota(bases, QStringLiteral("KORVANE_INTERFASES"),
                                            QStringLiteral("KORVANE_INTERFASES"), QStringLiteral("KORVANE_INTERFASES")));
    }

    static void Exec(data::DB_Dll& db, const QString& sql) { db.gCnn()->Execute(sql); }
    static vb::Variant Scalar(data::DB_Dll& db, const QString& sql) { return testsupport::Scalar(db.gCnn(), sql); }
    static long Count(data::DB_Dll& db, const QString& sql) { return Scalar(db, sql).toLong(); }
    static data::DB_Dll& Principal() { return data::gDBPrincipal(); }
    // The six interface tables the send fills, row by row and sorted: what the stores see.
    static QStringList Interfaz() {
        QStringList filas;
        for (const char* t : {"IMPONOVARTI", "IMPONOVBARRAS", "IMPONOVBULTOS", "IMPONOVPROV", "IMPOPROV", "OFERTAS"}) {
            auto rs = data::gDBRemota().gCnn()->Execute(QStringLiteral("SELECT * FROM %1").arg(QLatin1String(t)));
            for (const auto& row : rs->GetRows()) {
                QStringList campos;
                for (const auto& v : row) campos << v.text();
                filas << QLatin1String(t) + QLatin1Char(' ') + campos.join(u'|');
            }
        }
        filas.sort();
        return filas;
    }
    static data::DB_Dll& Remota() { return data::gDBRemota(); }

    testsupport::TempFolder tmp;
    ui::ScriptedPrompter sinCajas;   // a box no test expects fails the test instead of waiting
    QString bases;
};

}  // namespace mainwindowtest
