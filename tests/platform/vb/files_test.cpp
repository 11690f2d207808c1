// CP1252 text, random-access record files and appended log lines.
#include "qstring_printer.h"
#include "platform/vb/app.h"
#include "platform/vb/error.h"
#include "platform/vb/files.h"
#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

TEST(Cp1252, KnownCharacters) {
    struct Case { const char16_t* text; QByteArray bytes; };
    const Case cases[] = {
        {u"ó", QByteArray("\xF3")},
        {u"ÿ", QByteArray("\xFF")},
        {u"Respondió", QByteArray("Respondi\xF3")},
        {u"€‚ƒ„…†‡ˆ‰Š‹ŒŽ‘’“”•–—˜™š›œžŸ", QByteArray("\x80\x82\x83\x84\x85\x86\x87\x88\x89\x8A\x8B\x8C\x8E\x91\x92"
                                                  "\x93\x94\x95\x96\x97\x98\x99\x9A\x9B\x9C\x9E\x9F")},
        {u"\u0081\u008D\u008F\u0090\u009D", QByteArray("\x81\x8D\x8F\x90\x9D")},
        {u"Ω√", QByteArray("??")},
        {u"😀", QByteArray("?")},       // one mark for a character outside the 16-bit plane
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(vb::ToCp1252(text), c.bytes) << text.toStdString();
        if (!c.bytes.contains('?')) {
            EXPECT_EQ(vb::FromCp1252(c.bytes), text) << text.toStdString();
        }
    }
}

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    QByteArray all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    const QString text = vb::FromCp1252(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(vb::ToCp1252(text), all);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(vb::Cp1252Code(vb::Cp1252Char(i)), i);
}

TEST(FixedText, CutOrPaddedWithBlanks) {
    EXPECT_EQ(vb::FixedText(QStringLiteral("año"), 5), QByteArray("a\xF1o  "));
    EXPECT_EQ(vb::FixedText(QStringLiteral("abcdef"), 3), QByteArray("abc"));
    EXPECT_EQ(vb::FixedText(QString(), 2), QByteArray("  "));
}

TEST(RandomFile, RecordsCountFromOneAndAPartialLastRecordIsNotRead) {
    testsupport::TempFolder tmp;
    const QString path = tmp.file(QStringLiteral("FrmX.PRM"));
    {
        vb::RandomFile f(path, 4);
        EXPECT_EQ(f.lof(), 0);
        f.put(1, "abcd");
        f.put(2, "ef");            // padded with zero bytes
        f.put(3, "ghijkl");        // cut to the record length
        EXPECT_EQ(f.recordCount(), 3);
    }
    EXPECT_EQ(ReadAll(path), QByteArray("abcdef\0\0ghij", 12));

    {   // a last record cut short by hand
        QFile raw(path);
        ASSERT_TRUE(raw.open(QIODevice::Append));
        raw.write("xy");
    }
    vb::RandomFile f(path, 4);
    EXPECT_EQ(f.lof(), 14);
    EXPECT_EQ(f.recordCount(), 3);
    QByteArray rec;
    ASSERT_TRUE(f.get(2, &rec));
    EXPECT_EQ(rec, QByteArray("ef\0\0", 4));
    EXPECT_FALSE(f.get(4, &rec));    // partial
    EXPECT_FALSE(f.get(9, &rec));    // past the end
    EXPECT_EQ(rec, QByteArray("ef\0\0", 4));

    f.put(6, "zzzz");                // past the end: the gap is filled with zero bytes
    EXPECT_EQ(f.lof(), 24);
    ASSERT_TRUE(f.get(5, &rec));
    EXPECT_EQ(rec, QByteArray(4, '\0'));
    ASSERT_TRUE(f.get(4, &rec));
    EXPECT_EQ(rec, QByteArray("xy\0\0", 4));
    ASSERT_TRUE(f.get(6, &rec));
    EXPECT_EQ(rec, QByteArray("zzzz"));
}

TEST(RandomFile, Errors) {
    testsupport::TempFolder tmp;
    const auto number = testsupport::ErrorNumberOf;
    EXPECT_EQ(number([&] { vb::RandomFile(tmp.file(QStringLiteral("no/such/x.prm")), 10); }), vb::kErrPathNotFound);
    vb::RandomFile f(tmp.file(QStringLiteral("a.prm")), 10);
    QByteArray rec;
    EXPECT_EQ(number([&] { f.get(0, &rec); }), 63);
    EXPECT_EQ(number([&] { f.put(0, "x"); }), 63);
    // Record numbers are Longs: the last one reads nothing from a short file, beyond it is an error.
    EXPECT_FALSE(f.get(2147483647LL, &rec));
    for (const long long record : {2147483648LL, std::numeric_limits<long long>::max(),
                                   std::numeric_limits<long long>::min()}) {
        EXPECT_EQ(number([&] { f.get(record, &rec); }), 63) << record;
        EXPECT_EQ(number([&] { f.put(record, "x"); }), 63) << record;
    }
    EXPECT_EQ(f.lof(), 0);
    f.close();
    EXPECT_EQ(number([&] { f.put(1, "x"); }), vb::kErrBadFileName);
}

TEST(AppendLine, WritesCp1252LinesEndingInCrLf) {
    testsupport::TempFolder tmp;
    const QString path = tmp.file(QStringLiteral("XKERR.LOG"));
    EXPECT_TRUE(vb::AppendLine(path, QStringLiteral("uno Respondió : Reintentar")));
    EXPECT_TRUE(vb::AppendLine(path, QStringLiteral("dos")));
    EXPECT_EQ(ReadAll(path), QByteArray("uno Respondi\xF3 : Reintentar\r\ndos\r\n"));
    EXPECT_FALSE(vb::AppendLine(tmp.file(QStringLiteral("no/such/err.log")), QStringLiteral("x")));
}

TEST(App, PathCanBePointedElsewhere) {
    const QString saved = vb::App().path;
    EXPECT_FALSE(saved.isEmpty());
    vb::SetAppPath(QStringLiteral("/tmp/prog/"));
    EXPECT_EQ(vb::App().path, QStringLiteral("/tmp/prog"));
    vb::SetAppPath(saved);
    int calls = 0;
    vb::SetDoEventsHook([&] { ++calls; });
    vb::DoEvents();
    vb::SetDoEventsHook({});
    vb::DoEvents();
    EXPECT_EQ(calls, 1);
}

}  // namespace
