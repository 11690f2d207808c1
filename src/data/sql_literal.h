#pragma once
// The one way a value goes inside an SQL text literal, for every statement the program builds.
//
//   "WHERE CODIGO = '" + data::LiteralSQL(codigo) + "'"     // the value's own quotes doubled
//   "WHERE CODIGO = " + data::TextoSQL(codigo)              // the same, quotes included
//
// Doubling keeps the value one literal on every server the program talks to, so an apostrophe
// in a code, a name or a description is stored as typed and never ends the statement early.
#include <QString>

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

}  // namespace data
