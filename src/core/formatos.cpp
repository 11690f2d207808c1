#include "core/formatos.h"

#include "core/mod_global.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/dates.h"
#include "platform/vb/error.h"
#include "platform/vb/format.h"
#include "platform/vb/runtime.h"

#include <QRegularExpression>
#include <climits>
#include <cstdlib>
#include <langinfo.h>
#include <locale.h>

namespace core {

namespace {

// Rounds a Currency to n decimals (n below 4), halves to even, on the exact decimal value.
int64_t RedondeaRaw(int64_t raw, int decimales) {
    if (decimales >= 4) return raw;
    int64_t div = 1;
    for (int i = decimales; i < 4; ++i) div *= 10;
    int64_t q = raw / div;
    const int64_t r = raw % div;
    const int64_t twice = 2 * (r < 0 ? -r : r);
    const int sign = raw < 0 ? -1 : 1;
    if (twice > div || (twice == div && (q % 2 != 0))) q += sign;
    return q * div;
}

// "############0." followed by n zeros, applied to a Currency.
QString FormatoImporte(vb::Currency c, int decimales) {
    const int64_t raw = RedondeaRaw(c.raw(), decimales);
    const bool negativo = raw < 0;
    const uint64_t abs = negativo ? static_cast<uint64_t>(-(raw + 1)) + 1 : static_cast<uint64_t>(raw);
    const uint64_t entero = abs / vb::Currency::kScale;
    const uint64_t fraccion = abs % vb::Currency::kScale;
    QString s = negativo ? QStringLiteral("-") : QString();
    s += QString::number(entero);
    s += u'.';
    if (decimales > 0) {
        QString f = QStringLiteral("%1").arg(fraccion, 4, 10, QLatin1Char('0'));
        if (decimales <= 4) f = f.left(decimales);
        else f += QString(decimales - 4, u'0');
        s += f;
    }
    return s;
}

}  // namespace

int DigitosMonedaLocal() {
    locale_t loc = newlocale(LC_MONETARY_MASK, "", static_cast<locale_t>(nullptr));
    if (loc == static_cast<locale_t>(nullptr)) return 0;
    const char* v = nl_langinfo_l(FRAC_DIGITS, loc);
    int digitos = (v != nullptr) ? static_cast<unsigned char>(v[0]) : 0;
    freelocale(loc);
    if (digitos < 0 || digitos > 9) digitos = 0;   // CHAR_MAX: the locale does not say
    return digitos;
}

vb::Variant FormateaImporte(const QString& Importe, const vb::Variant& CodigoDecimales) {
    const int codigo = CodigoDecimales.isEmpty() ? 0 : vb::CInt(CodigoDecimales);
    int decimales = 0;
    switch (codigo) {
    case kSinFormato:
        return vb::Variant(Importe);
    case kDecimalesConfiguracion:
        decimales = vb::CInt(vb::Variant(vb::Val(gCantidadDecimales)));
        if (decimales == 0) decimales = DigitosMonedaLocal();
        break;
    case kDecimalesLocal:
        decimales = DigitosMonedaLocal();
        break;
    case kSinDecimales:
        decimales = 0;
        break;
    default:
        decimales = codigo;
        break;
    }
    if (decimales < 0) vb::Raise(vb::kErrInvalidProcedureCall);
    QString texto = FormatoImporte(gUtilTexto().ANumero(Importe), decimales);
    if (decimales == 0 && (texto.endsWith(u'.') || texto.endsWith(u','))) texto.chop(1);
    return vb::Variant(texto);
}

vb::Variant ConvierteAMinutos(const QString& Hora, const QString& Horas, const QString& Minutos, bool FormaDosPuntos) {
    auto parsea = [](const QString& t) -> double {
        const int c = vb::InStr(t, QStringLiteral(":"));
        if (c == 0) return vb::Val(t) * 60;
        return vb::Val(vb::Left(t, c - 1)) * 60 + vb::Val(vb::Mid(t, c + 1));
    };
    if (FormaDosPuntos) return vb::Variant(parsea(Hora));

    // A time of day (h:mm or h:mm:ss with h below 24), or a date with a time.
    static const QRegularExpression hora(QStringLiteral("^\\s*(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*$"));
    const auto m = hora.match(Hora);
    if (m.hasMatch()) {
        const int h = m.captured(1).toInt();
        const int n = m.captured(2).toInt();
        const int s = m.captured(3).isEmpty() ? 0 : m.captured(3).toInt();
        if (h < 24 && n < 60 && s < 60) return vb::Variant(static_cast<double>(h * 60 + n));
    } else if (vb::IsDate(vb::Variant(Hora))) {
        const vb::Date d = vb::CDate(vb::Variant(Hora));
        return vb::Variant(static_cast<double>(vb::Hour(d) * 60 + vb::Minute(d)));
    }
    if (vb::Trim(Hora).isEmpty()) {
        const double h = vb::Val(Horas);
        const double n = vb::Val(Minutos);
        if (h <= 0 && n <= 0) return vb::Variant(0.0);
        return vb::Variant(h * 60 + n);
    }
    return vb::Variant(parsea(Hora));
}

vb::ReadResult<vb::Variant> FormateaMinutos(const vb::Variant& Minutos, long& Horas, long& Resto) {
    const vb::ReadResult<QString> leido = ObtieneConfiguracion(QStringLiteral("SeparadorHora"));
    if (!leido.read()) return vb::kNotRead;
    QString separador = leido.value();
    if (vb::Trim(separador).isEmpty()) separador = QStringLiteral(":");
    if (separador != QStringLiteral(".")) {
        // The runtime's "\" and Mod round both operands to whole numbers first.
        const long total = vb::CLng(Minutos);
        Horas = total / 60;
        Resto = total % 60;
        return vb::Variant(vb::Format(vb::Variant(static_cast<int>(Horas)), QStringLiteral("#####00")) + separador +
                           vb::Format(vb::Variant(static_cast<int>(Resto)), QStringLiteral("#####00")));
    }
    const QString t = vb::Format(vb::Variant(Minutos.toDouble() / 60.0), QStringLiteral("#####.00"));
    return vb::Variant(gUtilTexto().ReemplazaValor(vb::Variant(t), QStringLiteral(","), QStringLiteral(".")));
}

long BuscaEnListaGlobal(const QString& Valor) {
    if (gListaGlobal.empty()) vb::Raise(vb::kErrSubscriptOutOfRange);
    const QString buscado = vb::Trim(Valor);
    for (size_t i = 0; i < gListaGlobal.size(); ++i) {
        QString clave = gUtilTexto().Reemplaza(gListaGlobal[i].Clave, vb::Chr(255));
        clave = gUtilTexto().Reemplaza(clave, vb::Chr(0));
        if (vb::Trim(clave).compare(buscado, Qt::CaseInsensitive) == 0) return static_cast<long>(i);
    }
    return -1;
}

QString LimpiaCaracteres(const vb::Variant& Texto) {
    QString t = Texto.toString();
    t = gUtilTexto().Reemplaza(t, vb::Chr(0));
    t = gUtilTexto().Reemplaza(t, vb::Chr(255));
    t = gUtilTexto().Reemplaza(t, vb::Chr(10));
    return vb::Trim(t);
}

QString RellenaCodigo(const QString& codigo, int ancho) { return gUtilTexto().Rellena(vb::Variant(vb::Trim(codigo)), ancho); }

std::optional<QDate> LeeFecha(const QString& texto) {
    const QString t = vb::Trim(texto);
    vb::Date fecha;
    const QStringList partes = t.split(QRegularExpression(QStringLiteral("[/-]")));
    if (t.contains(u':') || partes.size() != 3 || !vb::ParseDate(t, &fecha)) return std::nullopt;
    if (partes[0].size() != 4 && partes[2].size() != 4) return std::nullopt;   // the year, first or last
    const QDate dia = fecha.toQDate();
    if (dia.year() < 1753 || dia.year() > 9999) return std::nullopt;
    return dia;
}

}  // namespace core
