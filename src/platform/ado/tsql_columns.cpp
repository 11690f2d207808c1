#include "platform/ado/tsql.h"

#include "platform/ado/tsql_internal.h"
#include "platform/ado/tsql_tokens.h"

#include <cassert>

namespace ado::tsql {

bool NumberFitsAsWritten(const ColumnRule& r, std::string_view n, bool negative) {
    if (r.kind == ColumnRule::Float) return true;
    if (n.find_first_of("eE") != std::string_view::npos) return false;
    const size_t point = n.find('.');
    std::string_view whole = n.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? std::string_view() : n.substr(point + 1);
    while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
    if (r.kind == ColumnRule::Decimal) {
        return static_cast<int>(fraction.size()) <= r.scale && static_cast<int>(whole.size()) <= r.precision - r.scale;
    }
    if (r.kind != ColumnRule::Int && r.kind != ColumnRule::Bit) return false;
    if (!fraction.empty() || whole.size() > 18) return false;
    int64_t v = 0;
    for (char c : whole) v = v * 10 + (c - '0');
    if (negative) v = -v;
    if (r.kind == ColumnRule::Bit) return v == 0 || v == 1;
    return v >= r.low && v <= r.high;
}

ColumnRule RuleOfType(std::string_view declared) {
    ColumnRule r;
    std::string word;
    size_t i = 0;
    while (i < declared.size() && IsWordChar(static_cast<unsigned char>(declared[i]))) {
        const char c = declared[i++];
        word += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    }
    int a = -1, b = -1;
    const size_t open = declared.find('(');
    if (open != std::string_view::npos) {
        size_t k = open + 1;
        a = TwoDigits(declared, k, 2);
        while (k < declared.size() && declared[k] == ' ') ++k;
        if (k < declared.size() && declared[k] == ',') {
            ++k;
            while (k < declared.size() && declared[k] == ' ') ++k;
            b = TwoDigits(declared, k, 2);
        }
    }
    static const struct { const char* word; int64_t low, high; } ints[] = {
        {"int", INT32_MIN, INT32_MAX}, {"integer", INT32_MIN, INT32_MAX}, {"smallint", -32768, 32767},
        {"tinyint", 0, 255}, {"bigint", INT64_MIN, INT64_MAX},
    };
    for (const auto& x : ints) {
        if (word == x.word) {
            r.kind = ColumnRule::Int;
            r.type = word == "integer" ? "int" : word;
            r.low = x.low;
            r.high = x.high;
            return r;
        }
    }
    if (word == "bit") {
        r.kind = ColumnRule::Bit;
        r.type = word;
    } else if (word == "decimal" || word == "numeric") {
        r.kind = ColumnRule::Decimal;
        r.precision = a > 0 ? a : 18;
        r.scale = b > 0 ? b : 0;
        r.type = "numeric(" + std::to_string(r.precision) + "," + std::to_string(r.scale) + ")";
    } else if (word == "money" || word == "smallmoney") {
        r.kind = ColumnRule::Decimal;
        r.precision = word == "money" ? 19 : 10;
        r.scale = 4;
        r.type = word;
    } else if (word == "float" || word == "real" || word == "double") {
        r.kind = ColumnRule::Float;
        r.type = "float";
    } else if (word == "datetime" || word == "smalldatetime" || word == "date" || word == "datetime2") {
        r.kind = ColumnRule::Date;
        r.type = word == "date" ? "date" : "datetime";
    }
    return r;
}

TableColumns::TableColumns(const std::vector<std::pair<std::string, std::string>>& columns) {
    rules_.reserve(columns.size());
    for (const auto& [name, type] : columns) {
        rules_.push_back(RuleOfType(type));
        std::string upper;
        for (char c : name) upper += Upper(c);
        names_.push_back(std::move(upper));
    }
}

const ColumnRule* TableColumns::named(std::string_view name) const {
    for (size_t i = 0; i < names_.size(); ++i) {
        if (EqualNoCase(names_[i], name)) return &rules_[i];
    }
    return nullptr;
}

const std::vector<const ColumnRule*>* TableColumns::kept(std::string_view text) const {
    const auto it = lists_.find(text);
    return it == lists_.end() ? nullptr : &it->second;
}

const std::vector<const ColumnRule*>& TableColumns::keep(std::string_view text, const std::vector<std::string>& names) {
    std::vector<const ColumnRule*> rules;
    rules.reserve(names.size());
    for (const std::string& n : names) rules.push_back(named(n));
    return lists_.insert_or_assign(std::string(text), std::move(rules)).first->second;
}

}  // namespace ado::tsql
