// A read that was not made, as the shipped build compiles it: without asserts, asking it for its
// value raises the program's error all the same, never hands back a value.
#ifndef NDEBUG
#define NDEBUG
#endif
#include "platform/vb/error.h"
#include "platform/vb/read_result.h"

#include <QString>
#include <cstdint>
#include <gtest/gtest.h>

namespace {

TEST(ReadResultTest, AReadNotMadeRaisesInABuildWithoutAsserts) {
    const vb::ReadResult<int16_t> noLeido = vb::kNotRead;
    ASSERT_FALSE(noLeido.read());
    try {
        const int16_t valor = noLeido.value();
        ADD_FAILURE() << "an unread result gave " << valor;
    } catch (const vb::Error& e) {
        EXPECT_EQ(e.number(), vb::kErrInvalidUseOfNull);
        EXPECT_EQ(e.description(), QStringLiteral("Se pidió el valor de una lectura que no se hizo"));
    }
    const vb::ReadResult<QString> leido(QStringLiteral("16"));
    EXPECT_EQ(leido.value(), QStringLiteral("16"));
}

}  // namespace
