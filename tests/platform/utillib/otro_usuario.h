#pragma once
// For a test: while it lives, the program takes another user as its own, so that every file and
// folder the test makes is "another user's" (no root needed to give one away).
#include "platform/utillib/info_estacion.h"

#include <optional>
#include <unistd.h>

namespace testsupport {

class OtroUsuario {
public:
    OtroUsuario() { utillib::FijaUsuarioPropio(::geteuid() + 1); }
    ~OtroUsuario() { utillib::FijaUsuarioPropio(std::nullopt); }
    OtroUsuario(const OtroUsuario&) = delete;
    OtroUsuario& operator=(const OtroUsuario&) = delete;
};

}  // namespace testsupport
