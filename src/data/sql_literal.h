#pragma once
// The one way a value goes inside an SQL text literal, for every statement the program builds.
//
//   "WHERE CODIGO = '" + data::LiteralSQL(codigo) + "'"     // the value's own quotes doubled
//   "WHERE CODIGO = " + data::TextoSQL(codigo)              // the same, quotes included
//
// Doubling keeps the value one literal on every server the program talks to, so an apostrophe
// in a code, a name or a description is stored as typed and never ends the statement early.
//
//   "WHERE FECHA = '" + data::FechaSQL(dia) + "'"             // a day: '2008-03-05T00:00:00'
#include <QDate>
#include <QString>
#include <cassert>

namespace data {

// The value with each of its single quotes doubled, for between two quotes.
inline QString LiteralSQL(const QString& valor) {
    if (!valor.contains(u'\'')) return valor;
    return QString(valor).replace(u'\'', QStringLiteral("''"));
}

// The quoted literal: a quote, the value with its quotes doubled, a quote (built in one piece:
// every value of every statement passes here).
inline QString TextoSQL(const QString& valor) {
    QString literal;
    literal.reserve(valor.size() + 2 + valor.count(u'\''));
    literal += u'\'';
    for (const QChar c : valor) {
        literal += c;
        if (c == u'\'') literal += c;
    }
    literal += u'\'';
    return literal;
}

// A day as every statement carries it, whatever form the operator typed: ISO 8601 with its
// time, "2008-03-05T00:00:00". SQL Server reads this form alike under any DATEFORMAT and
// language (a bare "2008-03-05" it reads as 3 May under "dmy"), the embedded database reads it as
// the same moment as its stored "2008-03-05 00:00:00" and stores it so, and the program's own
// date reading (vb::CDate, the Oracle translation) takes it as that day. Years 1753 to 9999.
inline QString FechaSQL(const QDate& dia) {
    assert(dia.isValid() && dia.year() >= 1753 && dia.year() <= 9999);
    return dia.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral("T00:00:00");
}

}  // namespace data
