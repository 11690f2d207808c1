#include "platform/utillib/config_estacion.h"

#include "platform/vb/app.h"
#include "platform/vb/files.h"
#include "support/test_support.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

TEST(ConfigEstacion, LeeIniReadsSectionsAndKeysOfTheProgramFolder) {
    testsupport::TempFolder folder;
    const QString saved = vb::App().path;
    vb::SetAppPath(folder.path());
    {
        QFile f(folder.file(QStringLiteral("CN000pr.INI")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(vb::ToCp1252(
            QStringLiteral("; estación\r\n[OTRA|USUARIO]\r\nFlatToolbars=0\r\n"
                           "[PC1|JOSÉ]\r\nFlatToolbars = 2 \r\nvacío=\r\n[PC1|JOSÉBaseDeDatos]\r\nServidor=S1\r\n")));
    }
    utillib::ConfigEstacion cfg;
    const QString ini = QStringLiteral("CN000pr.INI");
    EXPECT_EQ(cfg.LeeIni(ini, QStringLiteral("pc1|josé"), QStringLiteral("flattoolbars"), QStringLiteral("1")),
              QStringLiteral("2"));
    EXPECT_EQ(cfg.LeeIni(ini, QStringLiteral("PC1|JOSÉ"), QStringLiteral("Vacío"), QStringLiteral("x")), QString());
    EXPECT_EQ(cfg.LeeIni(ini, QStringLiteral("PC1|JOSÉ"), QStringLiteral("Servidor"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(cfg.LeeIni(ini, QStringLiteral("PC1|JOSÉBaseDeDatos"), QStringLiteral("Servidor")), QStringLiteral("S1"));
    EXPECT_EQ(cfg.LeeIni(ini, QStringLiteral("NADA"), QStringLiteral("FlatToolbars"), QStringLiteral("1")),
              QStringLiteral("1"));
    EXPECT_EQ(cfg.LeeIni(QStringLiteral("falta.ini"), QStringLiteral("PC1|JOSÉ"), QStringLiteral("FlatToolbars"),
                         QStringLiteral("1")),
              QStringLiteral("1"));
    vb::SetAppPath(saved);
}

}  // namespace
