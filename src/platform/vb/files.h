#pragma once
// 8-bit text (CP1252) and the runtime's file statements: fixed-length random-access records
// (Open ... For Random Len=n, Get, Put, LOF) and line output for appending logs.
#include "platform/vb/error.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace vb {

// CP1252 <-> text. Characters without a CP1252 code become "?". The five codes that CP1252
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same
// number, so every byte survives a round trip.
QByteArray ToCp1252(const QString& s);
QString FromCp1252(const QByteArray& b);
QChar Cp1252Char(int code);   // code 0..255
int Cp1252Code(QChar c);      // -1 when the character has no code

// A file opened For Random with a fixed record length. Records count from 1. Get of a record
// past the end (or of a partial last record) reads nothing and returns false. Put past the end
// extends the file, filling any gap with zero bytes. A record number below 1 or above 2147483647
// raises 63; a file that cannot be opened raises 76 (no such folder) or 75; use after close
// raises 52.
class RandomFile {
public:
    RandomFile(const QString& path, int recordLength);   // creates the file when missing
    ~RandomFile();
    RandomFile(const RandomFile&) = delete;
    RandomFile& operator=(const RandomFile&) = delete;

    int recordLength() const { return recordLength_; }
    long long lof() const;                       // length of the file in bytes
    long long recordCount() const;               // whole records only
    bool get(long long record, QByteArray* out); // exactly recordLength bytes
    void put(long long record, const QByteArray& data);  // padded with zero bytes or cut to length
    void close();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
    int recordLength_;
};

// Appends text lines in CP1252 ending in CR LF, as Print # on a file opened For Append.
// Returns false when the file cannot be opened or written.
bool AppendLine(const QString& path, const QString& line);
// The same on a file the caller opened for appending (the descriptor stays open).
bool AppendLine(int descriptor, const QString& line);

// Fixed-length text fields of a record: the text in CP1252, cut or padded with blanks.
QByteArray FixedText(const QString& s, int length);

}  // namespace vb
