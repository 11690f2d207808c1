// The login dialog "Control de Acceso", driven in the offscreen platform.
#include "data/frm_acceso.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(FrmAcceso, ControlsAndLabels) {
    data::frmAcceso f;
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Control de Acceso"));
    EXPECT_TRUE(f.isModal());
    const std::pair<const char*, const char*> campos[] = {{"TxtUserId", "&Usuario"},
                                                          {"TxtUserPassword", "&Contraseña"},
                                                          {"TxtDbName", "&Base de Datos"},
                                                          {"TxtServidor", "&Servidor"}};
    for (const auto& [nombre, etiqueta] : campos) {
        auto* campo = f.findChild<QLineEdit*>(QString::fromLatin1(nombre));
        ASSERT_NE(campo, nullptr) << nombre;
        const QLabel* label = nullptr;
        for (const QLabel* l : f.findChildren<QLabel*>())
            if (l->buddy() == campo) label = l;
        ASSERT_NE(label, nullptr) << nombre;
        EXPECT_EQ(label->text(), QString::fromUtf8(etiqueta));
        EXPECT_EQ(label->font().family(), QStringLiteral("Courier"));
    }
    EXPECT_EQ(f.TxtUserPassword->echoMode(), QLineEdit::Password);
    auto* combo = f.findChild<QComboBox*>(QStringLiteral("CboPlataformaDB"));
    ASSERT_NE(combo, nullptr);
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), QStringLiteral("SQL Server"));
    EXPECT_EQ(combo->itemText(1), QStringLiteral("ORACLE"));
    EXPECT_EQ(f.findChild<QPushButton*>(QStringLiteral("bcAceptar"))->text(), QStringLiteral("Aceptar"));
    EXPECT_EQ(f.findChild<QPushButton*>(QStringLiteral("bcCancelar"))->text(), QStringLiteral("Cancelar"));
}

TEST(FrmAcceso, AceptarEndsTheModalDialogAccepted) {
    data::frmAcceso f;
    QTimer::singleShot(0, &f, [&] {
        EXPECT_TRUE(f.isVisible());
        f.TxtUserId->setText(QStringLiteral("ana"));
        QTest::mouseClick(f.bcAceptar, Qt::LeftButton);
    });
    f.exec();
    EXPECT_TRUE(f.Aceptado);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(f.TxtUserId->text(), QStringLiteral("ana"));
}

TEST(FrmAcceso, CancelarAndEscapeEndItNotAccepted) {
    data::frmAcceso f;
    f.Aceptado = true;
    QTimer::singleShot(0, &f, [&] { QTest::mouseClick(f.bcCancelar, Qt::LeftButton); });
    f.exec();
    EXPECT_FALSE(f.Aceptado);

    data::frmAcceso g;
    g.Aceptado = true;
    QTimer::singleShot(0, &g, [&] { QTest::keyClick(&g, Qt::Key_Escape); });
    g.exec();
    EXPECT_FALSE(g.Aceptado);
    EXPECT_FALSE(g.isVisible());
}

TEST(FrmAcceso, TheFormIsCentredOnTheScreen) {
    data::frmAcceso f;
    const QRect pantalla = QGuiApplication::primaryScreen()->geometry();
    EXPECT_EQ(f.x(), pantalla.width() / 2 - f.width() / 2);
    EXPECT_EQ(f.y(), pantalla.height() / 2 - f.height() / 2);
}

}  // namespace
