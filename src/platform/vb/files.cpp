#include "platform/vb/files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <array>

namespace vb {

namespace {

// 0x80..0x9F of CP1252; the undefined codes keep the control character of the same number.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Record numbers are Longs: 1 to 2147483647.
void CheckRecordNumber(long long record) {
    if (record < 1 || record > 2147483647LL) Raise(63, QStringLiteral("Bad record number"));
}

}  // namespace

QChar Cp1252Char(int code) {
    if (code >= 0x80 && code <= 0x9F) return QChar(kHigh[static_cast<size_t>(code - 0x80)]);
    return QChar(static_cast<char16_t>(code & 0xFF));
}

int Cp1252Code(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
    for (size_t i = 0; i < kHigh.size(); ++i)
        if (kHigh[i] == u) return static_cast<int>(0x80 + i);
    return -1;
}

QByteArray ToCp1252(const QString& s) {
    QByteArray out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate()) ++i;  // one "?" per character
        const int code = Cp1252Code(c);
        out += static_cast<char>(code < 0 ? '?' : code);
    }
    return out;
}

QString FromCp1252(const QByteArray& b) {
    QString out;
    out.reserve(b.size());
    for (char ch : b) out += Cp1252Char(static_cast<unsigned char>(ch));
    return out;
}

struct RandomFile::Impl {
    QFile file;
};

RandomFile::RandomFile(const QString& path, int recordLength)
    : impl_(std::make_unique<Impl>()), recordLength_(recordLength) {
    if (recordLength < 1) Raise(kErrInvalidProcedureCall);
    if (path.isEmpty()) Raise(kErrBadFileName);
    const QFileInfo info(path);
    if (!info.absoluteDir().exists()) Raise(kErrPathNotFound);
    impl_->file.setFileName(path);
    if (!impl_->file.open(QIODevice::ReadWrite) && !(info.exists() && impl_->file.open(QIODevice::ReadOnly)))
        Raise(75);
}

RandomFile::~RandomFile() = default;

long long RandomFile::lof() const {
    if (!impl_->file.isOpen()) Raise(kErrBadFileName);
    return impl_->file.size();
}

long long RandomFile::recordCount() const { return lof() / recordLength_; }

bool RandomFile::get(long long record, QByteArray* out) {
    if (!impl_->file.isOpen()) Raise(kErrBadFileName);
    CheckRecordNumber(record);
    const long long pos = (record - 1) * recordLength_;
    if (pos + recordLength_ > impl_->file.size()) return false;
    if (!impl_->file.seek(pos)) Raise(75);
    const QByteArray data = impl_->file.read(recordLength_);
    if (data.size() != recordLength_) Raise(75);
    *out = data;
    return true;
}

void RandomFile::put(long long record, const QByteArray& data) {
    if (!impl_->file.isOpen()) Raise(kErrBadFileName);
    CheckRecordNumber(record);
    if (!impl_->file.isWritable()) Raise(75);
    const long long pos = (record - 1) * recordLength_;
    if (pos > impl_->file.size() && !impl_->file.resize(pos)) Raise(75);   // the gap reads as zero bytes
    QByteArray rec = data.left(recordLength_);
    if (rec.size() < recordLength_) rec.append(QByteArray(recordLength_ - rec.size(), '\0'));
    if (!impl_->file.seek(pos) || impl_->file.write(rec) != recordLength_ || !impl_->file.flush()) Raise(75);
}

void RandomFile::close() { impl_->file.close(); }

namespace {
bool Append(QFile& file, const QString& line) {
    const QByteArray bytes = ToCp1252(line) + "\r\n";
    return file.write(bytes) == bytes.size() && file.flush();
}
}  // namespace

bool AppendLine(const QString& path, const QString& line) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Append) && Append(file, line);
}

bool AppendLine(int descriptor, const QString& line) {
    QFile file;
    return file.open(descriptor, QIODevice::WriteOnly | QIODevice::Append, QFileDevice::DontCloseHandle) &&
           Append(file, line);
}

QByteArray FixedText(const QString& s, int length) {
    if (length <= 0) return QByteArray();
    QByteArray b = ToCp1252(s).left(length);
    if (b.size() < length) b.append(QByteArray(length - b.size(), ' '));
    return b;
}

}  // namespace vb
