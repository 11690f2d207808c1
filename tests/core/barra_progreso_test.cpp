// The percentage bar, painted into an image and read back pixel by pixel.
#include "core/barra_progreso.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

bool EsAzul(QRgb c) { return qRed(c) < 40 && qGreen(c) < 40 && qBlue(c) > 215; }
bool EsBlanco(QRgb c) { return qRed(c) > 215 && qGreen(c) > 215 && qBlue(c) > 215; }
bool EsAmarillo(QRgb c) { return qRed(c) > 215 && qGreen(c) > 215 && qBlue(c) < 40; }
bool EsNegro(QRgb c) { return qRed(c) < 110 && qGreen(c) < 110 && qBlue(c) < 110; }

// How many pixels of the rectangle satisfy the test.
template <class F>
int Cuenta(const QImage& img, QRect r, F f) {
    int n = 0;
    r = r.intersected(img.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (f(img.pixel(x, y))) ++n;
    return n;
}

QImage Dibuja(double porcentaje) {
    QImage img(240, 24, QImage::Format_RGB32);
    core::DibujaBarraProgreso(img, vb::Variant(porcentaje), 0xFF0000, QString());
    return img;
}

TEST(BarraProgreso, LabelIsABlankThePercentageAndPercentSign) {
    EXPECT_EQ(core::EtiquetaBarraProgreso(vb::Variant(0.0), QString()), QStringLiteral(" %"));
    EXPECT_EQ(core::EtiquetaBarraProgreso(vb::Variant(50.0), QString()), QStringLiteral(" 50%"));
    EXPECT_EQ(core::EtiquetaBarraProgreso(vb::Variant(100.0 / 3), QStringLiteral("Paso")), QStringLiteral("Paso 33%"));
}

TEST(BarraProgreso, EmptyBarShowsTheLabelOnWhite) {
    const QImage img = Dibuja(0);
    const QRect izquierda(0, 0, 40, 24);
    EXPECT_EQ(Cuenta(img, izquierda, EsBlanco), 40 * 24);
    EXPECT_EQ(Cuenta(img, img.rect(), EsAzul), 0);
    EXPECT_GT(Cuenta(img, QRect(100, 0, 40, 24), EsNegro), 0);   // the label, centred
}

TEST(BarraProgreso, HalfBarIsBlueToTheMiddleAndInvertsTheLabelUnderIt) {
    const QImage img = Dibuja(50);
    EXPECT_EQ(Cuenta(img, QRect(0, 0, 60, 24), EsAzul), 60 * 24);
    EXPECT_EQ(Cuenta(img, QRect(180, 0, 60, 24), EsBlanco), 60 * 24);
    // The label straddles the bar's end: inverted (yellow) left of it, black right of it.
    EXPECT_GT(Cuenta(img, QRect(100, 0, 20, 24), EsAmarillo), 0);
    EXPECT_GT(Cuenta(img, QRect(120, 0, 30, 24), EsNegro), 0);
    EXPECT_EQ(Cuenta(img, QRect(120, 0, 120, 24), EsAzul), 0);
}

TEST(BarraProgreso, FullBarIsBlueWithTheLabelInverted) {
    const QImage img = Dibuja(100);
    EXPECT_EQ(Cuenta(img, QRect(0, 0, 60, 24), EsAzul), 60 * 24);
    EXPECT_EQ(Cuenta(img, QRect(200, 0, 40, 24), EsAzul), 40 * 24);
    EXPECT_GT(Cuenta(img, QRect(90, 0, 60, 24), EsAmarillo), 0);
    EXPECT_EQ(Cuenta(img, img.rect(), EsBlanco), 0);
}

}  // namespace
