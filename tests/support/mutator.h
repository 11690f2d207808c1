#pragma once
// Damaged input for the robustness tests: random bytes and texts, and a good text cut, with bytes
// changed, pieces of its own syntax, NUL and 0xFF bytes and long runs inserted, pieces taken out
// or repeated. Seeded, so every run reads the same inputs.
//
//   testsupport::Mutator m(1998);
//   const char* const piezas[] = {"'", "[", "GO"};
//   const QByteArray roto = m.muta(bueno, piezas, ';');   // ';': the format's separator
#include <QByteArray>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <random>

namespace testsupport {

class Mutator {
public:
    explicit Mutator(uint32_t seed) : rng_(seed) {}

    // A number below n (0 when n is 0).
    uint32_t menor(uint32_t n) { return n == 0 ? 0 : static_cast<uint32_t>(rng_() % n); }
    // One entry of the list.
    template <class T, size_t N>
    const T& uno(const T (&lista)[N]) {
        return lista[menor(N)];
    }

    // Up to maximo random bytes.
    QByteArray bytes(int maximo) {
        QByteArray b;
        const int n = static_cast<int>(menor(static_cast<uint32_t>(maximo) + 1));
        for (int i = 0; i < n; ++i) b += static_cast<char>(menor(256));
        return b;
    }

    // Up to maximo random characters: any UTF-16 code unit (lone surrogates too), Latin-1 ones,
    // and mostly those of alfabeto.
    QString texto(int maximo, const char* alfabeto) {
        const uint32_t letras = static_cast<uint32_t>(qstrlen(alfabeto));
        QString s;
        const int n = static_cast<int>(menor(static_cast<uint32_t>(maximo) + 1));
        for (int i = 0; i < n; ++i) {
            switch (menor(4)) {
            case 0: s += QChar(static_cast<char16_t>(menor(0x10000))); break;
            case 1: s += QChar(static_cast<char16_t>(menor(256))); break;
            default: s += QLatin1Char(alfabeto[menor(letras)]); break;
            }
        }
        return s;
    }

    // cuantas entries of the list, joined.
    template <size_t N>
    QByteArray piezas(const char* const (&lista)[N], int cuantas) {
        QByteArray b;
        for (int i = 0; i < cuantas; ++i) b += uno(lista);
        return b;
    }

    // One to four damages of b. runFill: the character of the long runs it inserts (the format's
    // separator, or a digit), or else 'x'.
    template <size_t N>
    QByteArray muta(QByteArray b, const char* const (&piezas)[N], char runFill) {
        for (int c = 0, k = 1 + static_cast<int>(menor(4)); c < k; ++c) {
            const qsizetype pos = static_cast<qsizetype>(menor(static_cast<uint32_t>(b.size()) + 1));
            const qsizetype dentro = b.isEmpty() ? 0 : pos % b.size();
            switch (menor(7)) {
            case 0: b.truncate(pos); break;
            case 1: if (!b.isEmpty()) b[dentro] = static_cast<char>(menor(256)); break;
            case 2: b.insert(pos, uno(piezas)); break;
            case 3: b.insert(pos, menor(2) ? '\0' : '\xFF'); break;
            case 4: b.insert(pos, QByteArray(500 + static_cast<int>(menor(3000)), menor(2) ? runFill : 'x')); break;
            case 5: b.remove(dentro, static_cast<qsizetype>(menor(64))); break;
            default: b.insert(dentro, b.mid(dentro, static_cast<qsizetype>(menor(64)))); break;
            }
        }
        return b;
    }

private:
    std::mt19937 rng_;
};

}  // namespace testsupport
