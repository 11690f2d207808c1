#pragma once
// The runtime's error object: number, description and source. Every failure that a procedure's
// error handler may treat is raised as a vb::Error.
#include <QString>
#include <stdexcept>

namespace vb {

// Numbers the program meets by name.
enum ErrorNumber : long {
    kErrInvalidProcedureCall = 5,   // invalid procedure call or argument
    kErrOverflow = 6,
    kErrSubscriptOutOfRange = 9,
    kErrTypeMismatch = 13,
    kErrBadFileName = 52,
    kErrFileNotFound = 53,
    kErrBadFileMode = 54,
    kErrPathNotFound = 76,
    kErrObjectNotSet = 91,
    kErrInvalidUseOfNull = 94,      // a value asked of what holds none (a read that was not made)
    kErrAdoNotAllowed = 3219,       // operation not allowed in this state
    kErrAdoItemNotFound = 3265,     // item not found in the collection
    kErrAdoAlreadyOpen = 3705,      // operation not allowed when the object is open
    kErrAdoClosed = 3704,           // operation not allowed when the object is closed
};

// HRESULTs as the runtime shows them (negative 32-bit numbers).
constexpr long kHrErrorsInCommand = static_cast<long>(static_cast<int32_t>(0x80040E14u));
constexpr long kHrIntegrityViolation = static_cast<long>(static_cast<int32_t>(0x80040E2Fu));
constexpr long kHrNoSuchTable = static_cast<long>(static_cast<int32_t>(0x80040E37u));
constexpr long kHrUnspecified = static_cast<long>(static_cast<int32_t>(0x80004005u));
// A command that waited for a lock another connection holds (another station's send or receive):
// its wait ran out (the connection's command time-out), or the operator gave it up.
constexpr long kHrTimeout = static_cast<long>(static_cast<int32_t>(0x80040E31u));
constexpr long kHrCanceled = static_cast<long>(static_cast<int32_t>(0x80040E4Eu));

class Error : public std::runtime_error {
public:
    Error(long number, QString description, QString source = QString());
    long number() const { return number_; }
    const QString& description() const { return description_; }
    const QString& source() const { return source_; }

private:
    long number_;
    QString description_;
    QString source_;
};

// The runtime's default description for a number ("Overflow", "Type mismatch", ...).
QString DefaultDescription(long number);
// Raises Error(number) with the default description.
[[noreturn]] void Raise(long number, const QString& description = QString(), const QString& source = QString());

}  // namespace vb
