// The program's temporary folder, made in the user's cache folder or runtime folder: only a folder
// of the user's own is taken.
#include "platform/utillib/info_estacion.h"
#include "platform/utillib/otro_usuario.h"
#include "platform/vb/app.h"
#include "platform/vb/scope_guard.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

mode_t Modo(const QString& ruta) {
    struct stat st {};
    return ::stat(QFile::encodeName(ruta).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

// A folder of the program's found in either base and owned by another user is passed over and left
// as it is (not taken, not closed to others): with no folder of the user's in any base there is
// none. The same folders, the user's own, are taken and closed again.
TEST(InfoEstacionTest, AProgramFolderAnotherUserOwnsIsRefused) {
    const char* const nombres[] = {"TEMP", "TMP", "TMPDIR", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"};
    QByteArray antes[5];
    for (int i = 0; i < 5; ++i) antes[i] = qgetenv(nombres[i]);
    const vb::ScopeGuard restaura([&] {
        for (int i = 0; i < 5; ++i) antes[i].isNull() ? qunsetenv(nombres[i]) : qputenv(nombres[i], antes[i]);
    });
    for (const char* v : {"TEMP", "TMP", "TMPDIR"}) qunsetenv(v);

    testsupport::TempFolder carpeta;
    const QString cache = carpeta.file(QStringLiteral("cache/")) + vb::App().exeName;
    const QString runtime = carpeta.file(QStringLiteral("run/")) + vb::App().exeName;
    for (const QString& c : {cache, runtime}) {
        ASSERT_TRUE(QDir().mkpath(c));
        ASSERT_EQ(::chmod(QFile::encodeName(c).constData(), 0755), 0);
    }
    qputenv("XDG_CACHE_HOME", QFile::encodeName(carpeta.file(QStringLiteral("cache"))));
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(carpeta.file(QStringLiteral("run"))));
    {
        const testsupport::OtroUsuario otro;
        EXPECT_EQ(utillib::InfoEstacion().CarpetaTemporal(), QString());
        EXPECT_EQ(Modo(cache), 0755u);
        EXPECT_EQ(Modo(runtime), 0755u);
    }
    EXPECT_EQ(utillib::InfoEstacion().CarpetaTemporal(), cache);
    EXPECT_EQ(Modo(cache), 0700u);
}

}  // namespace
