#include "platform/ado/tsql.h"

#include "platform/ado/tsql_translator.h"

#include <cassert>

// The values an INSERT ... VALUES or UPDATE ... SET writes into number and date columns, taken as
// the server takes them.

namespace ado::tsql {

Translator::Target Translator::targetOf(size_t b, size_t e) const {
    Target t;
    if (!columnsOf_) return t;
    const size_t first = sig(b);
    size_t k;
    if (isWord(first, "INSERT")) {
        k = sig(first + 1);
        if (isWord(k, "INTO")) k = sig(k + 1);
        t.kind = Target::Insert;
    } else if (isWord(first, "UPDATE")) {
        k = sig(first + 1);
        t.kind = Target::Update;
    } else {
        return {};
    }
    if (k >= e || !isName(k)) return {};
    std::vector<size_t> parts{k};
    while (isPunct(k + 1, '.')) {
        if (isName(k + 2)) { k += 2; parts.push_back(k); }
        else if (isPunct(k + 2, '.')) { k += 1; parts.push_back(SIZE_MAX); }
        else break;
    }
    if (parts.back() == SIZE_MAX) return {};
    const size_t tableAt = parts.back();
    std::string database;
    if (parts.size() >= 3 && parts[parts.size() - 3] != SIZE_MAX) {
        database = bare(parts[parts.size() - 3]);
        if (EqualNoCase(database, db_)) database.clear();
    }
    k = sig(k + 1);
    size_t listOpen = SIZE_MAX, listClose = SIZE_MAX;
    if (t.kind == Target::Insert) {
        if (isPunct(k, '(')) {
            listOpen = k;
            listClose = matching(k, e);
            k = sig(listClose + 1);
        }
        if (!isWord(k, "VALUES")) return {};
    } else {
        if (!isWord(k, "SET")) return {};
        int depth = 0;
        for (size_t j = k + 1; j < e; ++j) {
            if (isPunct(j, '(')) ++depth;
            else if (isPunct(j, ')')) --depth;
            else if (depth == 0 && (isWord(j, "WHERE") || isWord(j, "FROM"))) { t.clauseEnd = j; break; }
        }
        if (t.clauseEnd == SIZE_MAX) t.clauseEnd = e;
    }
    t.clause = k;
    t.columns = columnsOf_(database, bare(tableAt));
    if (!t.columns) return {};
    if (listOpen != SIZE_MAX && listClose < e) {
        const std::string_view listText = s_.substr(t_[listOpen].b, t_[listClose].e - t_[listOpen].b);
        t.list = t.columns->kept(listText);
        if (!t.list) {
            std::vector<std::string> names;
            for (size_t j = listOpen + 1; j < listClose; ++j) {
                if (isName(j)) names.push_back(bare(j));
            }
            t.list = &t.columns->keep(listText, names);
        }
    }
    return t;
}

// The rule of the column a value of the target goes into.
const ColumnRule* Translator::ruleOf(const Target& t, int position, size_t columnAt) const {
    if (t.kind == Target::Insert) {
        if (position < 0) return nullptr;
        if (t.list) return static_cast<size_t>(position) < t.list->size() ? (*t.list)[static_cast<size_t>(position)] : nullptr;
        return t.columns->at(static_cast<size_t>(position));
    }
    return columnAt < t_.size() && isName(columnAt) ? t.columns->named(bare(columnAt)) : nullptr;
}

// A number literal that fits the column as it is written; a lifted one's answer is noted.
bool Translator::fitsAsWritten(const ColumnRule& r, size_t k, bool negative) const {
    const bool fits = NumberFitsAsWritten(r, text(k), negative);
    if (const int32_t n = slot(k); n >= 0 && checks_) checks_->push_back({static_cast<size_t>(n), r, negative, fits});
    return fits;
}

// A value written into a number or date column: written as it is when it already is what the
// column holds (a date literal in ISO form), else through the conversion call, which takes it
// or refuses it as the server does. Gives the value's last token, or SIZE_MAX when the value
// is left to the ordinary translation.
size_t Translator::writeValue(size_t k, size_t e, const ColumnRule& r, bool insert, std::string& out) {
    if (r.kind == ColumnRule::Free) return SIZE_MAX;
    {
        // the common case first: one literal, then "," or ")"
        const bool negative = isPunct(k, '-');
        const size_t lit = negative ? sig(k + 1) : k;
        const size_t after = sig(lit + 1);
        if (lit < e && (after >= e || isPunct(after, ',') || (insert && isPunct(after, ')')))) {
            return writeValue(k, lit + 1, lit, true, negative, r, out);
        }
    }
    size_t end = k;
    int depth = 0;
    for (; end < e; ++end) {
        if (isPunct(end, '(')) ++depth;
        else if (isPunct(end, ')')) {
            if (depth == 0) break;
            --depth;
        } else if (depth == 0 && (isPunct(end, ',') || (!insert && (isWord(end, "WHERE") || isWord(end, "FROM"))))) {
            break;
        }
    }
    while (end > k && t_[end - 1].kind == Kind::Space) --end;
    if (end <= k) return SIZE_MAX;
    const bool negative = isPunct(k, '-');
    const size_t lit = negative ? sig(k + 1) : k;
    const bool single = lit + 1 == end;
    return writeValue(k, end, lit, single, negative, r, out);
}

size_t Translator::writeValue(size_t k, size_t end, size_t lit, bool single, bool negative, const ColumnRule& r, std::string& out) {
    if (single && !negative && isWord(lit, "NULL")) return SIZE_MAX;
    if (single && t_[lit].kind == Kind::Number && r.kind != ColumnRule::Date && fitsAsWritten(r, lit, negative)) return SIZE_MAX;
    if (single && !negative && t_[lit].kind == Kind::String && r.kind == ColumnRule::Date) {
        bool date = false;
        const std::string iso = literalText(lit, &date, true);
        if (date) {
            out += iso;
            return lit;
        }
    }
    out += "korv_convert('" + r.type + "',";
    out += translate(k, end);
    out += ')';
    return end - 1;
}

}  // namespace ado::tsql
