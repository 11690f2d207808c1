// DB_Dll: SQL literals, the ADO type classes and the object-name helpers. None of them touches
// the connection.
#include "data/db_dll.h"

#include "data/sql_literal.h"
#include "platform/utillib/util_texto.h"
#include "platform/vb/runtime.h"

#include <algorithm>
#include <initializer_list>

namespace data {

namespace {

bool EsUnoDe(const vb::Variant& Qtype, std::initializer_list<int> tipos) {
    for (const int tipo : tipos)
        if (Qtype.equals(vb::Variant(tipo))) return true;
    return false;
}

constexpr std::initializer_list<int> kTiposFecha = {ado::adDate,   ado::adDBDate,      137 /* adDBFileTime */,
                                                    ado::adDBTime, ado::adDBTimeStamp, 64 /* adFileTime */};
constexpr std::initializer_list<int> kTiposTexto = {
    ado::adBSTR, ado::adLongVarChar, ado::adLongVarWChar, ado::adVarChar, ado::adVarWChar, ado::adWChar, ado::adChar};
constexpr std::initializer_list<int> kTiposNumero = {ado::adBigInt,
                                                     ado::adDecimal,
                                                     ado::adDouble,
                                                     ado::adInteger,
                                                     ado::adNumeric,
                                                     ado::adSingle,
                                                     ado::adSmallInt,
                                                     ado::adTinyInt,
                                                     21 /* adUnsignedBigInt */,
                                                     19 /* adUnsignedInt */,
                                                     18 /* adUnsignedSmallInt */,
                                                     ado::adUnsignedTinyInt};

}  // namespace

vb::Variant DB_Dll::SQLValue(const vb::Variant& Valor, const QString& Tipo) {
    QString prefijo;
    QString sufijo;
    QString cuerpo;
    if (Tipo == QLatin1String("@")) {
        // Numbers: "." as the decimal point, no quotes, at most four decimals; Null reads as 0.
        const vb::Currency importe = Util().ANumero(vb::Variant(Valor.text()));
        cuerpo = Util().ReemplazaValor(vb::Variant(importe.toString()), QStringLiteral(","), QStringLiteral("."));
    } else if (Valor.isNull()) {
        cuerpo = QStringLiteral("NULL");
    } else if (Tipo == QLatin1String("'")) {
        // A quote inside the value is doubled, so the value stays one literal.
        prefijo = sufijo = QStringLiteral("'");
        cuerpo = LiteralSQL(Valor.text());
    } else {
        cuerpo = Valor.text();
    }
    return vb::Variant(prefijo + cuerpo + sufijo);
}

bool DB_Dll::adodate(const vb::Variant& Qtype) const { return EsUnoDe(Qtype, kTiposFecha); }

QString DB_Dll::ADOComilla(const vb::Variant& Qtype) const {
    return adodate(Qtype) || ADOText(Qtype) ? QStringLiteral("'") : QString();
}

bool DB_Dll::ADOText(const vb::Variant& Qtype) const { return EsUnoDe(Qtype, kTiposTexto); }
bool DB_Dll::ADONumeric(const vb::Variant& Qtype) const { return EsUnoDe(Qtype, kTiposNumero); }
bool DB_Dll::ADOCurrency(const vb::Variant& Qtype) const { return EsUnoDe(Qtype, {ado::adCurrency}); }
bool DB_Dll::ADOBoolean(const vb::Variant& Qtype) const { return EsUnoDe(Qtype, {ado::adBoolean}); }

QString DB_Dll::StripOwner(QString& rsTblName) const {
    const int punto = vb::InStr(rsTblName, QStringLiteral("."));
    if (punto > 0) rsTblName = vb::Mid(rsTblName, punto + 1);
    return rsTblName;
}

QString DB_Dll::stSTF(QString& rsName, bool rnPart) {
    if (rsName.count(u'.') >= 2) return StripOwner(rsName);
    const int punto = vb::InStr(rsName, QStringLiteral("."));
    if (rnPart) return punto > 0 ? vb::Mid(rsName, punto + 1) : rsName;
    // The owner part of a name without one is not there to give.
    return vb::Left(rsName, punto - 1);
}

QString DB_Dll::AddBrackets(const QString& rObjName) const {
    if (rObjName.contains(u' ') && !rObjName.startsWith(u'[')) return u'[' + rObjName + u']';
    return rObjName;
}

QString DB_Dll::StripConnect(const QString& rsTblName) const {
    // A linked name "table->connection" gives the table, the text before the marker.
    const int marca = vb::InStr(rsTblName, QStringLiteral("->"));
    return marca > 0 ? rsTblName.left(marca - 1) : rsTblName;
}

QString DB_Dll::StripBrackets(const QString& rsObjName) const {
    if (!rsObjName.startsWith(u'[')) return rsObjName;
    if (rsObjName.size() < 2) vb::Raise(vb::kErrInvalidProcedureCall);
    return rsObjName.mid(1, rsObjName.size() - 2);
}

QString DB_Dll::StripFileName(const QString& rsFileName) const {
    // Paths of this system use "/"; a path written with "\" is read the same way.
    const qsizetype barra = std::max(rsFileName.lastIndexOf(u'\\'), rsFileName.lastIndexOf(u'/'));
    return barra < 0 ? QString() : rsFileName.left(barra);
}

}  // namespace data
