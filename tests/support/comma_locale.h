#pragma once
// The process in a locale whose decimal point is a comma, as on the operators' desktops, for the
// life of the object (the locale before it comes back after). A test that takes one fails when no
// such locale is installed: run in the locale it was started in, it would prove nothing.
// scripts/install-deps generates es_AR.UTF-8, and make test runs every test under it as well.
#include <clocale>
#include <gtest/gtest.h>
#include <string>

namespace testsupport {

class CommaLocale {
public:
    CommaLocale() {
        const char* was = std::setlocale(LC_ALL, nullptr);
        saved_ = was ? was : "C";
        for (const char* name : {"es_AR.UTF-8", "es_AR.utf8", "es_ES.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8"}) {
            if (std::setlocale(LC_ALL, name)) break;
        }
        if (!Active()) ADD_FAILURE() << "no locale with a decimal comma is installed (scripts/install-deps generates es_AR.UTF-8)";
    }
    ~CommaLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    CommaLocale(const CommaLocale&) = delete;
    CommaLocale& operator=(const CommaLocale&) = delete;

    // True when the C library reads and writes numbers with a decimal comma now.
    static bool Active() { return std::string(std::localeconv()->decimal_point) == ","; }

private:
    std::string saved_;
};

}  // namespace testsupport
