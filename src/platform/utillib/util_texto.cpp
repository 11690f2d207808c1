#include "platform/utillib/util_texto.h"

#include "platform/utillib/error_box.h"
#include "platform/vb/dates.h"
#include "platform/vb/runtime.h"

#include <QObject>
#include <QRegularExpression>
#include <charconv>
#include <cmath>

namespace utillib {

namespace {

// The text of a number in the C form ("." decimal point, no thousands separator), or nothing
// when the text does not hold a number.
std::optional<QString> TextoNumerico(const QString& texto) {
    QString t = texto.trimmed();
    if (t.isEmpty()) return std::nullopt;
    if (t.contains(u'.'))
        t.remove(u',');
    else if (t.count(u',') == 1)
        t.replace(u',', u'.');
    else
        t.remove(u',');
    static const QRegularExpression numero(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (!numero.match(t).hasMatch()) return std::nullopt;
    return t;
}

// The text of a plain decimal number ("12", "-3.5", ".25", "7.") between ASCII blanks, read as
// the general rule below reads it; nothing for any other text (the general rule decides then).
// Most texts the program reads are of this form: grid cells, amounts it wrote itself.
std::optional<double> DecimalSimple(const QString& texto) {
    const QChar* p = texto.constData();
    qsizetype b = 0, e = texto.size();
    auto blanco = [](char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    while (b < e && blanco(p[b].unicode())) ++b;
    while (e > b && blanco(p[e - 1].unicode())) --e;
    char buf[48];
    if (e - b == 0 || e - b >= static_cast<qsizetype>(sizeof buf)) return std::nullopt;
    size_t n = 0, digitos = 0;
    bool punto = false;
    for (qsizetype i = b; i < e; ++i) {
        const char16_t c = p[i].unicode();
        if (c >= u'0' && c <= u'9') {
            ++digitos;
        } else if (c == u'.' && !punto) {
            punto = true;
        } else if ((c == u'-' || c == u'+') && i == b) {
            if (c == u'+') continue;
        } else {
            return std::nullopt;   // a comma, an exponent, anything else
        }
        buf[n++] = static_cast<char>(c);
    }
    if (digitos == 0) return std::nullopt;
    double d = 0;
    const auto [fin, ec] = std::from_chars(buf, buf + n, d);
    if (ec != std::errc() || fin != buf + n) return std::nullopt;
    return d;
}

// The number the value holds; nothing for Null, Empty and a text without a finite number.
std::optional<double> Numero(const vb::Variant& valor) {
    if (valor.isNull() || valor.isEmpty()) return std::nullopt;
    if (!valor.isString()) return valor.toDouble();
    if (const std::optional<double> d = DecimalSimple(valor.toString())) return d;
    const std::optional<QString> t = TextoNumerico(valor.toString());
    if (!t) return std::nullopt;
    bool ok = false;
    const double d = t->toDouble(&ok);
    if (!ok || !std::isfinite(d)) return std::nullopt;
    return d;
}

double LeeDoble(const vb::Variant& valor) { return Numero(valor).value_or(0.0); }

bool EsSeparadorDeLista(const std::optional<QString>& s) {
    if (!s || s->size() != 1) return false;
    const char16_t c = s->at(0).unicode();
    return c == 0 || c == 0xFF || c == u'\n';
}

// Key of the stored form of a login value: one 16-bit mask per position.
char16_t Mascara(qsizetype i) { return static_cast<char16_t>(0x5A3C + 0x0101 * (i % 97)); }

}  // namespace

int UtilTexto::TrataError(const vb::Error& error, std::optional<int> botones, const std::optional<QString>& rutina) {
    return PreguntaError(error, botones, rutina);
}

vb::Variant UtilTexto::ValorNoNulo(const vb::Variant& valor) const {
    return valor.isNull() ? vb::Variant(QString()) : valor;
}

vb::Currency UtilTexto::ANumero(const vb::Variant& texto) const {
    if (texto.isNull() || texto.isEmpty()) return vb::Currency();
    if (!texto.isString()) return texto.toCurrency();
    return vb::Currency::fromDouble(LeeDoble(texto));
}

double UtilTexto::ADoble(const vb::Variant& texto) const { return LeeDoble(texto); }

bool UtilTexto::EsNumero(const vb::Variant& texto) const { return Numero(texto).has_value(); }

int32_t UtilTexto::AEntero(const vb::Variant& texto) const { return vb::CLng(vb::Variant(LeeDoble(texto))); }

QString UtilTexto::ATexto(const vb::Variant& valor) const { return valor.text(); }

QString UtilTexto::Rellena(const vb::Variant& texto, int ancho) const {
    const QString s = texto.text();
    return s.size() >= ancho ? s : s + QString(ancho - s.size(), u' ');
}

QString UtilTexto::Reemplaza(const QString& texto, const QString& busca, const std::optional<QString>& reemplazo,
                             const std::optional<QString>& cuarto) const {
    QString r = texto;
    const bool quitaReemplazo = EsSeparadorDeLista(reemplazo);
    if (!busca.isEmpty()) r.replace(busca, reemplazo && !quitaReemplazo ? *reemplazo : QString());
    if (quitaReemplazo) r.remove(*reemplazo);
    if (EsSeparadorDeLista(cuarto)) r.remove(*cuarto);
    return r;
}

QString UtilTexto::ReemplazaValor(const vb::Variant& valor, const QString& busca, const QString& reemplazo) const {
    QString r = valor.text();
    if (!busca.isEmpty()) r.replace(busca, reemplazo);
    return r;
}

bool UtilTexto::EstaEnLista(const vb::Variant& valor, const QStringList& lista, bool& resultado) const {
    const QString v = vb::Trim(valor.text());
    resultado = false;
    for (const QString& item : lista)
        if (QString::compare(vb::Trim(item), v, Qt::CaseInsensitive) == 0) resultado = true;
    return resultado;
}

bool UtilTexto::EstaEnLista(const vb::Variant& valor, const QStringList& lista) const {
    bool resultado = false;
    return EstaEnLista(valor, lista, resultado);
}

QString UtilTexto::QuitaComillas(const QString& texto) const {
    QString r = texto;
    return vb::Trim(r.remove(u'\''));
}

QString UtilTexto::AgregaBarra(const QString& carpeta) const {
    if (carpeta.isEmpty() || carpeta.endsWith(u'/') || carpeta.endsWith(u'\\')) return carpeta;
    return carpeta + u'/';
}

bool UtilTexto::EsArregloControl(const QObject* control) const {
    return control && control->property("Index").isValid();
}

int UtilTexto::CuentaPalabras(const QString& texto) const {
    return static_cast<int>(texto.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts).size());
}

QString UtilTexto::ObtieneFecha() const { return vb::CurrentDateTime().date().toString(QStringLiteral("dd/MM/yyyy")); }

QString UtilTexto::CodificaTexto(const QString& texto) const {
    QString r;
    r.reserve(texto.size() * 4);
    for (qsizetype i = 0; i < texto.size(); ++i)
        r += QStringLiteral("%1")
                 .arg(static_cast<unsigned>(texto[i].unicode() ^ Mascara(i)), 4, 16, QChar(u'0'))
                 .toUpper();
    return r;
}

QString UtilTexto::DecodificaTexto(const QString& codificado) const {
    static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]*$"));
    if (codificado.size() % 4 != 0 || !hex.match(codificado).hasMatch()) return codificado;
    QString r;
    r.reserve(codificado.size() / 4);
    for (qsizetype i = 0; i < codificado.size() / 4; ++i) {
        bool ok = false;
        const uint code = codificado.mid(i * 4, 4).toUInt(&ok, 16);
        if (!ok) return codificado;
        r += QChar(static_cast<char16_t>(code ^ Mascara(i)));
    }
    return r;
}

}  // namespace utillib
