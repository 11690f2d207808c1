#pragma once
// The windows' error treatment: the utility library's error question, with the default
// abort/retry/ignore buttons and no routine name unless given.
#include "core/mod_global.h"
#include "platform/utillib/util_texto.h"

#include <optional>

namespace core {

inline int TrataError(const vb::Error& error, std::optional<int> botones = std::nullopt,
                      const std::optional<QString>& rutina = std::nullopt) {
    return gUtilTexto().TrataError(error, botones, rutina);
}

}  // namespace core
