// DB_Dll: opening the connection. OpenServerADODB for SQL Server and Oracle (with the login
// dialog frmAcceso when it has to ask), OpenLocalADODB for an Access file.
#include "data/db_dll.h"

#include "data/frm_acceso.h"
#include "platform/ado/native_errors.h"
#include "platform/ui/prompter.h"
#include "platform/utillib/dialogo_comun.h"
#include "platform/vb/on_error.h"
#include "platform/vb/runtime.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <vector>

namespace data {

namespace {

const QString kProveedorOracle = QStringLiteral("OraOLEDB.Oracle.1");

// Sets gConnString from the connection data: Oracle when the server holds a "#".
void ArmaConexion(DB_Dll& db) {
    if (vb::InStr(db.gServidor, QStringLiteral("#"), vb::Compare::Text) > 0) {
        db.gConnString = QStringLiteral("Provider=") + kProveedorOracle + QStringLiteral(";Data Source=") + db.gDBName +
                         QStringLiteral(";User Id=") + db.gUsuario + QStringLiteral(";Password=") + db.gUserPassWord +
                         u';';
    } else {
        db.gConnString = QStringLiteral("PROVIDER=") + db.pSQLOLEDB() + u';' + QStringLiteral("Server=") +
                         db.gServidor + u';' + QStringLiteral("Database =") + db.gDBName + u';' +
                         QStringLiteral("UId=") + db.gUsuario + u';' + QStringLiteral("Pwd=") + db.gUserPassWord +
                         u';' + db.gExtended;
    }
}

// Asks for the connection data in frmAcceso. gOpenFlag tells the answer.
void PasoAcceso(DB_Dll& db) {
    frmAcceso form;
    form.TxtDbName->setText(db.gDBName);
    form.TxtServidor->setText(db.gServidor);
    form.TxtUserId->setText(db.gUsuario);
    form.TxtUserPassword->setText(db.gUserPassWord);
    form.CboPlataformaDB->setCurrentIndex(0);
    MuestraAcceso(form);
    if (form.Aceptado) {
        db.gOpenFlag = true;
        db.gDBName = form.TxtDbName->text();
        db.gServidor = form.TxtServidor->text();
        db.gUsuario = form.TxtUserId->text();
        db.gUserPassWord = form.TxtUserPassword->text();
        if (form.CboPlataformaDB->currentIndex() > 0) {
            db.gProveedor = kProveedorOracle;
            if (!db.gServidor.contains(u'#')) db.gServidor = u'#' + db.gServidor;
        } else {
            // A "#" already in the server text stays, and still makes an Oracle connection text.
            db.gProveedor = db.pSQLOLEDB();
        }
    } else {
        db.gOpenFlag = false;
    }
}

void CierraSinError(ado::Connection& cnn) {
    try {
        cnn.Close();
    } catch (const std::exception&) {
        // Already closed: the retry opens it all the same.
    }
}

// Refuses, as a connection that cannot be opened, a database that lacks one of the tables the
// caller requires: the connection is closed and its Errors say which tables are missing and where.
// A schema that cannot be read refuses it the same way, with what the server said.
void VerificaTablas(DB_Dll& db) {
    if (db.gTablasRequeridas.isEmpty()) return;
    ado::Connection& cnn = *db.gCnn();
    try {
        QStringList faltan = db.gTablasRequeridas;
        const ado::RecordsetPtr rs = cnn.OpenSchema(ado::adSchemaTables);
        for (; rs && !rs->Eof() && !faltan.isEmpty(); rs->MoveNext()) {
            const QString tabla = vb::Trim(rs->Fields(QStringLiteral("TABLE_NAME")).Value().text());
            faltan.removeIf([&](const QString& t) { return t.compare(tabla, Qt::CaseInsensitive) == 0; });
        }
        if (rs) rs->Close();
        if (faltan.isEmpty()) return;
        const QString donde =
            cnn.isEmbedded()
                ? QStringLiteral("La base de datos \"%1\" (archivo %2)")
                      .arg(db.gDBName, QDir::toNativeSeparators(QDir(db.gServidor).filePath(db.gDBName + QStringLiteral(".sqlite"))))
                : QStringLiteral("La base de datos \"%1\" del servidor %2").arg(db.gDBName, db.gServidor);
        const QString texto = donde + QStringLiteral(" no tiene las tablas del programa (faltan ") +
                              faltan.join(QStringLiteral(", ")) + QStringLiteral("): no es la base de datos de la casa central.");
        cnn.errors().Clear();
        cnn.errors().add(ado::ErrorItem{vb::kHrNoSuchTable, texto, db.gProveedor, QStringLiteral("42S02"), ado::native::kNoSuchObject});
        throw vb::Error(vb::kHrNoSuchTable, texto, db.gProveedor);
    } catch (const vb::Error&) {
        // Closed, so that the retry opens afresh; the errors stay for the box.
        std::vector<ado::ErrorItem> errores;
        for (int i = 0; i < cnn.errors().Count(); ++i) errores.push_back(cnn.errors().Item(i));
        CierraSinError(cnn);
        for (ado::ErrorItem& e : errores) cnn.errors().add(std::move(e));
        throw;
    }
}

bool EsAdministrador(const vb::Variant& valor) {
    if (valor.isNull() || valor.isEmpty()) return false;
    if (valor.isString()) return vb::Val(valor.toString()) == 1.0;
    if (valor.type() == vb::VarType::Boolean) return valor.toBool();
    return valor.toDouble() == 1.0;
}

bool LeeBooleano(const vb::Variant& valor) {
    if (valor.isNull() || valor.isEmpty()) return false;
    try {
        return valor.toBool();
    } catch (const vb::Error&) {
        return false;
    }
}

}  // namespace

void DB_Dll::OpenServerADODB(bool PideParametrosSQL, long lCursor, const QString& ConnString, bool ValidaAdmin,
                             bool MuestraError) {
    bool cerrada = false;  // the call has already closed the connection once to open it again

    const auto tratamiento = [&](const vb::Error& error) -> int {
        ado::Connection& cnn = *gCnn();
        const bool reabre = error.number() == vb::kErrAdoAlreadyOpen && !cerrada;
        gErrorApertura = cnn.errors().Count() > 0 ? cnn.errors().Item(0).Description : error.description();
        if (!MuestraError) {
            if (reabre) {
                cerrada = true;
                CierraSinError(cnn);
                return vb::kRetry;
            }
            gOpenFlag = false;
            return 0;
        }
        if (cnn.errors().Count() > 0) {
            const ado::ErrorItem& e = cnn.errors().Item(0);
            const QString cr(QChar(13));
            const QString aviso = QStringLiteral(" Estado de Sql: ") + e.SQLState + cr +
                                  QStringLiteral("Numero de Error: ") + QString::number(e.Number) + cr +
                                  QStringLiteral("Descripcion: ") + e.Description + cr +
                                  QStringLiteral("Codigo Nativo: ") + QString::number(e.NativeError) + cr +
                                  QStringLiteral(" - Desea Intentarlo Nuevamente??? ");
            if (ui::MsgBox(aviso, ui::vbYesNo + ui::vbCritical, QStringLiteral(" Error de Conexion a Base de Datos")) ==
                vb::kYes) {
                cnn.errors().Clear();
                PasoAcceso(*this);
                if (!gOpenFlag) return 0;
                ArmaConexion(*this);
                return vb::kRetry;
            }
            gOpenFlag = false;
            return 0;
        }
        if (reabre) {
            cerrada = true;
            CierraSinError(cnn);
            return vb::kRetry;
        }
        ui::MsgBox(error.description(), ui::vbOKOnly, QString());
        gOpenFlag = false;
        return 0;
    };
    vb::OnError on(tratamiento);

    gOpenFlag = true;
    gErrorApertura.clear();
    on.run([&] {
        if (gProveedor.isEmpty()) gProveedor = pSQLOLEDB();
    });
    on.run([&] {
        if (vb::Trim(ConnString).isEmpty())
            ArmaConexion(*this);
        else
            gConnString = ConnString;
    });
    if (PideParametrosSQL) {
        on.run([&] { PasoAcceso(*this); });
        if (!gOpenFlag) return;
        on.run([&] { ArmaConexion(*this); });
    }
    on.run([&] { gCnn()->setCursorLocation(static_cast<int>(lCursor)); });
    on.run([&] {
        Calls().Open(*gCnn(), gConnString, QString(), QString(), -1);
        VerificaTablas(*this);
    });
    if (on.left()) return;

    if (!ValidaAdmin) {
        gEsAdmin = true;
        return;
    }
    if (vb::Trim(gDBName).isEmpty()) return;
    on.run([&] { gCnn()->setDefaultDatabase(gDBName); });
    bool existe = false;
    // The question goes through the program-wide instance, whichever instance is being opened.
    on.run([&] { existe = gDBPrincipal().ExisteTablaDB(QStringLiteral("TA_USUARIOS")); });
    if (on.left() || !existe) return;
    if (!MuestraError) {
        gEsAdmin = true;
        return;
    }
    vb::ReadResult<vb::Variant> administrador = vb::kNotRead;
    on.run([&] {
        administrador =
            DatosTabla(QStringLiteral("ta_usuarios"), vb::Variant(gUsuario), QStringLiteral("Administrador"),
                       QStringLiteral("nombre"), 8, QString(), true, false);
    });
    // Not read (the lookup has asked): not taken for an administrator.
    on.run([&] { gEsAdmin = administrador.read() && EsAdministrador(administrador.value()); });
}

void DB_Dll::OpenLocalADODB(const QString& ConnString, const QString& CadenaID, const QString& CadenaPWD) {
    // How many times the file refused its password in this call. The stored password is tried
    // once, a typed one at most three times; then the call ends without opening.
    constexpr int kMaximoPedidos = 3;
    int negativas = 0;
    QString fragmentoClave;

    // Asks for the file; false when the operator closed the dialog without a choice.
    const auto pasoArchivo = [this] {
        utillib::DialogoComun& dlg = CmdDlg();
        dlg.TituloDialogo = QStringLiteral("Buscar Base de Datos");
        dlg.FiltroDialogo = QStringLiteral("Base de Datos de Microsoft Access |*.MDB");
        dlg.AbreDialogo();
        gDBName = dlg.ArchivoElegido();
        return !dlg.DialogoCancelado();
    };
    const auto muestraError = [](const vb::Error& error) {
        ui::MsgBox(QString::number(error.number()) + QStringLiteral("  ") + error.description(), ui::vbCritical,
                   QString());
    };

    for (;;) {
        std::optional<vb::Error> fallo;
        try {
            if (vb::Trim(gDBName).isEmpty() && !pasoArchivo()) return;
            QString texto = ConnString;
            if (texto.isEmpty()) {
                texto = QStringLiteral("PROVIDER=") + gProveedor + u';' + QStringLiteral("Data Source =") + gDBName +
                        u';' + CadenaID + u'=' + gUsuario + u';' + CadenaPWD + u'=' + gUserPassWord + u';' + gExtended;
            }
            texto += fragmentoClave;
            Calls().Open(*gCnn(), texto, QString(), QString(), -1);
            gConnString = texto;
            return;
        } catch (const vb::Error& e) {
            fallo = e;
        } catch (const std::exception& e) {
            fallo = vb::Error(vb::kHrUnspecified, QString::fromLocal8Bit(e.what()));
        }

        ado::Errors& errores = gCnn()->errors();
        const QString estado = errores.Count() > 0 ? vb::Trim(errores.Item(0).SQLState) : QString();
        if (estado == QLatin1String("3024") || estado == QLatin1String("3051") || estado == QLatin1String("3044")) {
            if (!pasoArchivo()) return;
            continue;
        }
        if (estado == QLatin1String("3031")) {
            ++negativas;
            if (LeeBooleano(gIgnoraPassWord)) {
                if (negativas <= 1) {
                    fragmentoClave = QStringLiteral("Jet OLEDB:Database Password=") + gUserPassWord + u';';
                    continue;
                }
            } else if (negativas <= kMaximoPedidos) {
                const QString clave =
                    ui::InputBox(QStringLiteral("ingrese el password:"), QStringLiteral("Password Access"));
                fragmentoClave = QStringLiteral(" Jet OLEDB:Database Password=") + clave + u';';
                continue;
            }
        }
        muestraError(*fallo);
        return;
    }
}

}  // namespace data
