#include "platform/vb/error.h"

namespace vb {

Error::Error(long number, QString description, QString source)
    : std::runtime_error(description.toStdString()),
      number_(number),
      description_(std::move(description)),
      source_(std::move(source)) {}

QString DefaultDescription(long number) {
    switch (number) {
    case 5: return QStringLiteral("Invalid procedure call or argument");
    case 6: return QStringLiteral("Overflow");
    case 9: return QStringLiteral("Subscript out of range");
    case 11: return QStringLiteral("Division by zero");
    case 13: return QStringLiteral("Type mismatch");
    case 52: return QStringLiteral("Bad file name or number");
    case 53: return QStringLiteral("File not found");
    case 54: return QStringLiteral("Bad file mode");
    case 55: return QStringLiteral("File already open");
    case 62: return QStringLiteral("Input past end of file");
    case 75: return QStringLiteral("Path/File access error");
    case 76: return QStringLiteral("Path not found");
    case 91: return QStringLiteral("Object variable or With block variable not set");
    case 94: return QStringLiteral("Invalid use of Null");
    case 3219: return QStringLiteral("Operation is not allowed in this context.");
    case 3265: return QStringLiteral("Item cannot be found in the collection corresponding to the requested name or ordinal.");
    case 3704: return QStringLiteral("Operation is not allowed when the object is closed.");
    case 3705: return QStringLiteral("Operation is not allowed when the object is open.");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

void Raise(long number, const QString& description, const QString& source) {
    throw Error(number, description.isEmpty() ? DefaultDescription(number) : description, source);
}

}  // namespace vb
