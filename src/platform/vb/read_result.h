#pragma once
// What a reader hands back: the value it read, or no value when the read was not made (its error
// was passed over or left, the operator having been asked already). The caller must open it: the
// type is [[nodiscard]], has no conversion to its value, and its value is there only for a read
// that was made (asking an unread result for it is the caller's fault: it raises
// kErrInvalidUseOfNull in every build, never a value).
//
//   const vb::ReadResult<QString> piva = core::ObtieneConfiguracion(QStringLiteral("PIVA"));
//   if (!piva.read()) return falla();     // not read: fail what was being done, ask nothing more
//   tasa = Numero(piva.value());
//
// A reader returns its value as it is (`return valor;`) or vb::kNotRead. What a read not made
// leads to is the caller's to say: fail the work, read again, or a default it names itself.
#include "platform/vb/error.h"

#include <QString>
#include <optional>
#include <utility>

namespace vb {

struct NotRead {
    explicit constexpr NotRead() = default;
};
inline constexpr NotRead kNotRead{};

template <class T>
class [[nodiscard]] ReadResult {
public:
    ReadResult(NotRead) {}
    ReadResult(T value) : value_(std::move(value)) {}

    // Whether the value was read.
    bool read() const { return value_.has_value(); }
    // The value read; of a read that was not made, raises kErrInvalidUseOfNull.
    const T& value() const {
        if (!read()) Raise(kErrInvalidUseOfNull, QStringLiteral("Se pidió el valor de una lectura que no se hizo"));
        return *value_;
    }

private:
    std::optional<T> value_;   // empty: the read was not made
};

}  // namespace vb
