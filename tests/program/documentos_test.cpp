// The README and docs/ name the files a newcomer opens first: every path they name is in the tree.
#include "support/test_support.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// The paths a text names: a folder path ending in a file of the tree's kinds (`posting/stock.h`,
// `tests/support/responde.h`, `cmake/korv.cmake`), the scripts, and a source file named alone
// (`tsql.h`, `sqlite_*_rules.cpp`).
QStringList RutasNombradas(const QString& texto) {
    static const QRegularExpression ruta(QStringLiteral(
        R"((?<![\w/.<>*-])((?:\.?[\w-]+/)+[\w-]+\.(?:h|cpp|cmake|md|sql|qrc|txt|ini|rpt)|scripts/[\w-]+|\.ci/run|[\w*-]+\.(?:h|cpp))(?![\w/<>*-]))"));
    QStringList r;
    for (auto it = ruta.globalMatch(texto); it.hasNext();) r << it.next().captured(1);
    r.removeDuplicates();
    return r;
}

// The tree's files, by their paths from the root.
QStringList Archivos(const QDir& raiz) {
    QStringList r;
    for (const char* carpeta : {"src", "tests", "bench", "db", "cmake", "scripts", "docs"})
        for (QDirIterator it(raiz.filePath(QLatin1String(carpeta)), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            r << raiz.relativeFilePath(it.next());
    return r;
}

// A path as the documents write it: from the tree's root, from src/ (the libraries' folders, as
// #include lines name them), or from the document's own folder (a link); a file named alone is
// somewhere in the tree.
bool Existe(const QDir& raiz, const QStringList& archivos, const QString& documento, const QString& ruta) {
    if (!ruta.contains(u'/')) {
        const QRegularExpression nombre(QRegularExpression::wildcardToRegularExpression(ruta));
        return std::any_of(archivos.begin(), archivos.end(),
                           [&](const QString& a) { return nombre.match(QFileInfo(a).fileName()).hasMatch(); });
    }
    for (const QString& base : {raiz.path(), raiz.filePath(QStringLiteral("src")), QFileInfo(documento).path()})
        if (QFileInfo::exists(QDir(base).filePath(ruta))) return true;
    return false;
}

TEST(Documentos, EveryPathTheReadmeAndDocsNameExists) {
    const QDir raiz(testsupport::SourceDir());
    QStringList documentos{raiz.filePath(QStringLiteral("README.md"))};
    for (const QString& d : QDir(raiz.filePath(QStringLiteral("docs"))).entryList({QStringLiteral("*.md")}, QDir::Files))
        documentos << raiz.filePath(QStringLiteral("docs/") + d);
    const QStringList archivos = Archivos(raiz);
    int nombradas = 0;
    for (const QString& documento : documentos) {
        QFile f(documento);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << qPrintable(documento);
        for (const QString& ruta : RutasNombradas(QString::fromUtf8(f.readAll()))) {
            ++nombradas;
            EXPECT_TRUE(Existe(raiz, archivos, documento, ruta)) << qPrintable(raiz.relativeFilePath(documento)) << " names "
                                                       << qPrintable(ruta) << ", which is not in the tree";
        }
    }
    EXPECT_GT(nombradas, 50);   // the pattern still finds what the documents name
}

}  // namespace
