#pragma once
// Damaged input for the robustness tests of the file readers: random bytes, and a good file cut,
// with bytes changed, pieces of its own syntax, NUL and 0xFF bytes and long runs inserted. Seeded,
// so every run reads the same inputs.
#include <QByteArray>
#include <cstdint>
#include <random>

namespace testsupport {

class Mutator {
public:
    explicit Mutator(uint32_t seed) : rng_(seed) {}
    uint32_t menor(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(rng_() % n); }

    QByteArray bytes(int maximo) {
        QByteArray b;
        const int n = static_cast<int>(menor(static_cast<uint32_t>(maximo) + 1));
        for (int i = 0; i < n; ++i) b += static_cast<char>(menor(256));
        return b;
    }
    // runFill: the separator of the format, repeated in the long runs it inserts.
    QByteArray muta(QByteArray b, const char* const* piezas, size_t n, char runFill) {
        for (int c = 0, k = 1 + static_cast<int>(menor(4)); c < k; ++c) {
            const qsizetype pos = static_cast<qsizetype>(menor(static_cast<uint32_t>(b.size()) + 1));
            switch (menor(5)) {
            case 0: b.truncate(pos); break;
            case 1: if (!b.isEmpty()) b[pos % b.size()] = static_cast<char>(menor(256)); break;
            case 2: b.insert(pos, piezas[menor(static_cast<uint32_t>(n))]); break;
            case 3: b.insert(pos, menor(2) ? '\0' : '\xFF'); break;
            default: b.insert(pos, QByteArray(500 + static_cast<int>(menor(3000)), menor(2) ? runFill : 'x')); break;
            }
        }
        return b;
    }

private:
    std::mt19937 rng_;
};

}  // namespace testsupport
