// The station's settings file as any editor or a damaged disk may leave it: every read gives the
// value, or the default, and never reads outside the file.
#include "platform/utillib/config_estacion.h"
#include "platform/vb/files.h"
#include "support/mutator.h"
#include "support/test_support.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

const char kArchivoValido[] =
    "; settings of the station\r\n"
    "[PC01|OPERADOR]\r\n"
    "Servidor = srv01\r\n"
    "DbName=VOLMA\r\n"
    "Usuario=  clave=con=iguales  \r\n"
    "\r\n"
    "[ Otra ]\n"
    "Servidor=otro\n"
    "[PC01|OPERADORBaseDeDatos]\r"
    "UserPassWord=\xE1\xE9\xED\r";

void Escribe(const QString& ruta, const QByteArray& contenido) {
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(f.write(contenido), contenido.size());
}

TEST(ConfigEstacionRobustness, DamagedFilesGiveAValueOrTheDefault) {
    testsupport::TempFolder tmp;
    const QString ruta = tmp.file(QStringLiteral("CN000pr.INI"));
    const QByteArray valido(kArchivoValido);
    testsupport::Mutator m(50);
    static const char* const piezas[] = {"[", "]", "=", ";", "\r", "\n", "\r\n", "[]", "[=]", "==", " ", "\t",
                                         "\xFF", "[PC01|OPERADOR", "Servidor", "]]]]", "\x81"};
    const utillib::ConfigEstacion cfg;
    for (int i = 0; i < 1500; ++i) {
        QByteArray b;
        if (i < valido.size() + 1) b = valido.left(i);   // every cut of a good file
        else b = i % 5 == 0 ? m.bytes(300) : m.muta(valido, piezas, '[');
        Escribe(ruta, b);
        SCOPED_TRACE(i);
        for (const char* clave : {"Servidor", "DbName", "Usuario", "UserPassWord", "", "="}) {
            const QString v = cfg.LeeIni(ruta, QStringLiteral("PC01|OPERADOR"), QString::fromLatin1(clave),
                                         QStringLiteral("defecto"));
            EXPECT_EQ(v, v.trimmed());
            EXPECT_FALSE(v.contains(QLatin1Char('\n')));
        }
        (void)cfg.LeeIni(ruta, QString(), QStringLiteral("Servidor"));
        (void)cfg.LeeIni(ruta, QStringLiteral("["), QStringLiteral("]"));
    }
}

TEST(ConfigEstacionRobustness, TheGoodFileIsReadWhole) {
    testsupport::TempFolder tmp;
    const QString ruta = tmp.file(QStringLiteral("CN000pr.INI"));
    Escribe(ruta, QByteArray(kArchivoValido));
    const utillib::ConfigEstacion cfg;
    EXPECT_EQ(cfg.LeeIni(ruta, QStringLiteral("pc01|operador"), QStringLiteral("servidor")), QStringLiteral("srv01"));
    EXPECT_EQ(cfg.LeeIni(ruta, QStringLiteral("PC01|OPERADOR"), QStringLiteral("Usuario")),
              QStringLiteral("clave=con=iguales"));
    EXPECT_EQ(cfg.LeeIni(ruta, QStringLiteral("Otra"), QStringLiteral("Servidor")), QStringLiteral("otro"));
    EXPECT_EQ(cfg.LeeIni(ruta, QStringLiteral("PC01|OPERADORBaseDeDatos"), QStringLiteral("UserPassWord")),
              vb::FromCp1252("\xE1\xE9\xED"));
    EXPECT_EQ(cfg.LeeIni(ruta, QStringLiteral("Nada"), QStringLiteral("Servidor"), QStringLiteral("d")), QStringLiteral("d"));
}

}  // namespace
