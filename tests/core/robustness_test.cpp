// Texts and files the program does not write itself, read at start-up and by the windows: the
// parameter text of the command line, the windows' ".PRM" files and the lookup definition file.
// Damaged and random input gives a value, or leaves things as they were, and never crashes.
#include "core/consultas_iface.h"
#include "core/consultas_qvd.h"
#include "core/frm_parametros.h"
#include "core/inicia_sistema.h"
#include "platform/ui/prompter.h"
#include "platform/vb/error.h"
#include "platform/vb/files.h"
#include "support/mutator.h"
#include "support/test_support.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>
#include <cstdint>
#include <gtest/gtest.h>

namespace {

// ---------------------------------------------------------------- the parameter text

TEST(ParametrosRobustness, AnyTextGivesItsValues) {
    testsupport::Mutator m(31);
    const char* const base[] = {
        "@Server=srv01:1433; @DbName= VOLMA; @Usuario= sa; @Password= x=y; @UsuarioLogeado=OPER; @Caja=2;",
        "@ParametroAdicional=;@Menu=1;@server=#ORA/host:1521;",
        "@Usuario", "@Caja=", "=;=;=", ""};
    const char* const piezas[] = {"@", "@Server", "@Usuario", "@UsuarioLogeado", "@Caja", "=", ";", "==", ";;",
                                  " ", "/", ":", "#", "\xC3\xB1", "@DbName=a"};
    for (int i = 0; i < 3000; ++i) {
        const QByteArray b = i % 4 == 0 ? m.bytes(100) : m.muta(m.uno(base), piezas, ';');
        const QString t = QString::fromUtf8(b);
        SCOPED_TRACE(t.toStdString());
        const core::ParametrosInicio p = core::LeeParametros(t);
        for (const QString* v : {&p.Servidor, &p.DbName, &p.Usuario, &p.Password, &p.UsuarioLogeado, &p.Caja}) {
            EXPECT_FALSE(v->contains(QLatin1Char('=')));
            EXPECT_FALSE(v->contains(QLatin1Char(';')));
        }
        (void)core::ValorParametro(t, QString());
        (void)core::ValorParametro(t, t);
        const QString servidor = core::ObtieneNombreServidor(t);
        if (!t.contains(QLatin1Char('/')) && !t.contains(QLatin1Char(':'))) {
            EXPECT_EQ(servidor, t);
        }
    }
}

// ---------------------------------------------------------------- the ".PRM" files

struct Ventana {
    QWidget form;
    QLineEdit* texto;
    QCheckBox* marca;
    QRadioButton* opcion[2];
    QComboBox* lista;
    Ventana() {
        form.setObjectName(QStringLiteral("FrmRobusta"));
        texto = new QLineEdit(&form);
        texto->setObjectName(QStringLiteral("TxtServer"));
        marca = new QCheckBox(&form);
        marca->setObjectName(QStringLiteral("ChkTodos"));
        for (int i = 0; i < 2; ++i) {
            opcion[i] = new QRadioButton(&form);
            opcion[i]->setObjectName(QStringLiteral("OptTipo"));
            opcion[i]->setProperty("Index", i);
        }
        lista = new QComboBox(&form);
        lista->setObjectName(QStringLiteral("CboLista"));
        lista->addItems({QStringLiteral("A"), QStringLiteral("B")});
    }
};

QByteArray Registro(const char* clave, const QByteArray& valor) {
    return vb::FixedText(QString::fromLatin1(clave), 25) + valor.leftJustified(254, ' ', true) + "\r\n";
}

class PrmRobustness : public ::testing::Test {
protected:
    void SetUp() override {
        antes_ = qgetenv("TEMP");
        qputenv("TEMP", carpeta.path().toLocal8Bit());
    }
    void TearDown() override {
        if (antes_.isNull()) qunsetenv("TEMP");
        else qputenv("TEMP", antes_);
    }
    ui::ScriptedPrompter cajas;
    testsupport::TempFolder carpeta;

private:
    QByteArray antes_;
};

TEST_F(PrmRobustness, DamagedFilesRestoreWhatTheyCanAndNoMore) {
    testsupport::Mutator m(281);
    const char* const valores[] = {"1", "2", "-1", "0", "True", "False", "99999999999999999999", "-2147483649",
                                   "1e308", "&HFFFFFFFFFFFF", "&O7777777777777", "nan", "\xFF\xFF", "", " 1 "};
    const char* const piezas[] = {"\r\n", "TxtServer", "ChkTodos", "CboLista", "OptTipo1", " ", "\0"};
    for (int i = 0; i < 600; ++i) {
        Ventana v;
        QByteArray b;
        if (i % 5 == 0) {
            b = m.bytes(1200);
        } else {
            for (const char* clave : {"TxtServer", "ChkTodos", "OptTipo0", "OptTipo1", "CboLista"})
                b += Registro(clave, m.uno(valores));
            if (i % 2) b = m.muta(b, piezas, ';');
        }
        QFile f(core::ArchivoParametros(&v.form, QString()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(b);
        f.close();
        SCOPED_TRACE(i);
        core::RecuperaParametrosFormulario(&v.form);
        EXPECT_GE(v.lista->currentIndex(), -1);
        EXPECT_LT(v.lista->currentIndex(), v.lista->count());
        // what was restored is written back whole
        core::GuardaParametrosFormulario(&v.form);
        EXPECT_EQ(QFileInfo(core::ArchivoParametros(&v.form, QString())).size() % core::kLargoRegistroParametros, 0);
    }
}

// ---------------------------------------------------------------- "consultas.qvd"

TEST(ConsultasQvdRobustness, DefaultsAreAddedBehindWhatADamagedFileHolds) {
    testsupport::TempFolder carpeta;
    testsupport::Mutator m(1202);
    const QString ruta = carpeta.file(QStringLiteral("consultas.qvd"));
    core::ResetConsultas();
    core::gConsultas().gRutaMascaraConsultas = ruta;
    for (int i = 0; i < 200; ++i) {
        QByteArray b = i % 3 == 0 ? m.bytes(4000)
                                  : core::RegistroConsultas(QStringLiteral("T"), QStringLiteral("V_TA_X"),
                                                            QStringLiteral("|A|B|")).left(static_cast<qsizetype>(m.menor(1300)));
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(b);
        f.close();
        try {
            core::CreaArchivoConsultas();
        } catch (const vb::Error& e) {
            ADD_FAILURE() << e.description().toStdString();
        }
        const qint64 largo = QFileInfo(ruta).size();
        EXPECT_GE(largo, 11 * core::kLargoRegistroConsultas);
        EXPECT_EQ(largo % core::kLargoRegistroConsultas, 0) << i;
    }
    // records built from texts longer than their fields keep their length
    const QByteArray r = core::RegistroConsultas(QString(5000, QLatin1Char('t')), QString(5000, QChar(0x20AC)),
                                                 QString(5000, QLatin1Char('|')), QString(5000, QChar(0xD800)));
    EXPECT_EQ(r.size(), core::kLargoRegistroConsultas);
    core::ResetConsultas();
}

}  // namespace
