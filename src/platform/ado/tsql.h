#pragma once
// Reads statements written in the SQL Server dialect and gives them in SQLite's: one pass of a
// tokenizer over the text, no regular expressions, and a second pass over the expressions of a
// statement that does arithmetic.
//
// The files: tsql_tokens (the scanner of both dialects and the table of words), tsql.cpp (the
// statements of a batch), tsql_expr (the token loop of a statement, names, column definitions),
// tsql_rules (the rules of words and calls, each with the literals it reads), tsql_values (values
// written into number and date columns), tsql_arith (the arithmetic pass), tsql_shape (shapes,
// marks), tsql_dates (dates read from text), tsql_columns (column rules).
//
// What it translates: with(nolock) and (nolock) hints, TOP n / TOP (n) / TOP 100 PERCENT (in
// subqueries too), ISNULL, SUBSTRING, LEFT, RIGHT, CAST, CONVERT (with its date styles), DATEADD,
// DATEDIFF, TRUNCATE TABLE, DELETE T, BEGIN/COMMIT/ROLLBACK TRAN, IF [NOT] EXISTS (...) stmt
// [ELSE stmt], BEGIN ... END blocks, EXEC proc args, CREATE PROCEDURE, DECLARE @x, SET @x = ...,
// SELECT @x = ..., @@ROWCOUNT, SET session settings and PRINT (dropped), several statements
// joined without separator, [bracketed] names, dbo. and three-part names, #name temporary tables
// (CREATE TABLE #name makes one of the session's own), N'...' texts, date
// literals, long OR chains (flattened), and the columns of CREATE TABLE and ALTER TABLE ADD.
//
// The server's rules it leaves to the connection (see sqlite_functions.h): every + - * / % is a
// call that decides by the values' types (text + text joins, a text beside a number is converted
// or refused, int overflow and division by zero fail); a text literal or text function result
// that meets no column is marked with the connection's text compare rule; text columns take that
// rule and their declared length; date columns hold text in ISO form and compare as dates. A
// text literal in a date form stays as written: a date column compares it as a date, a text
// column as the text it is, and where it meets no column it is marked with the date columns'
// compare rule (a bare yyyymmdd there is a text). The values an INSERT ... VALUES or UPDATE ...
// SET writes into number and date columns are taken as the server takes them: a literal that is
// already of the column's kind is written as it is (a date in ISO form), any other value goes
// through the conversion call, which refuses what the server refuses (245, 241, 8114, 8115).
// LEN, CHARINDEX, PATINDEX, REPLACE, ROUND, GETDATE, REPLICATE, YEAR, MONTH and DAY are functions
// of the connection.
//
// Limits, each failing with the server's own message: other functions (DATEPART, DATENAME, ...)
// are not recognized (195); @@ variables other than @@ROWCOUNT are refused (102); an INSERT ...
// SELECT takes its values as SQLite does; an OR chain is flattened only inside parentheses; a text
// in ISO date form that an expression gives reads as a date. Views and defaults that use the
// dialect's functions need the embedded connection that registers them.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ado::tsql {

// Name of the CHECK constraints that stand for a text column's declared length.
inline constexpr std::string_view kLengthCheckPrefix = "korv_len_";
// The connection's compare rules, as the translation writes them ("COLLATE <name>"): texts (case
// and trailing blanks ignored) and dates (texts read as dates). Names of the program's own, so that
// a tool that does not register them refuses a comparison instead of making it by another rule.
inline constexpr std::string_view kTextRuleName = "KORV_TEXT";
inline constexpr std::string_view kDateRuleName = "KORV_DATE";
inline constexpr std::string_view kTextRule = " COLLATE KORV_TEXT";
inline constexpr std::string_view kDateRule = " COLLATE KORV_DATE";
// The table that holds stored procedures: name, parameter list ("@a,@b"), body.
inline constexpr std::string_view kProcedureTable = "KORV_PROCEDURES";
// The parameter that stands for @@ROWCOUNT in a translated statement.
inline constexpr std::string_view kRowCountParameter = "@korv_rowcount";

struct Statement {
    enum Kind { Sql, If, Block, Exec, CreateProcedure, Declare, Assign };
    Kind kind = Sql;
    // Sql: the SQLite text; If: a query giving a row when true; Assign: the query whose last row
    // gives the values; Declare: unused.
    std::string sql;
    std::vector<Statement> body;        // If: the statement run when true; Block: its statements
    std::vector<Statement> elseBody;    // If: the statement run when false
    std::string name;                   // Exec, CreateProcedure: the procedure
    std::vector<std::string> args;      // Exec: argument texts (translated); "@p=value" for named ones
    std::vector<std::string> params;    // CreateProcedure: parameter names with their "@";
                                        // Declare, Assign: the variables, in order
    std::vector<std::string> types;     // Declare: each variable's type ("int", "varchar(10)")
    std::vector<std::string> inits;     // Declare: each variable's initial query ("SELECT expr"), or empty
    std::string text;                   // CreateProcedure: the body as written
    bool selectAssign = false;          // Assign: SELECT @x = ... (rows may be none) rather than SET
};

struct Batch {
    std::vector<Statement> statements;
    std::vector<std::string> databases;   // other databases named by three-part names
};

// What a column asks of the values written into it, from its declared type.
struct ColumnRule {
    enum Kind : uint8_t { Free, Int, Bit, Decimal, Float, Date } kind = Free;   // Free: text and the rest
    std::string type;          // the type for the conversion call: "int", "numeric(18,3)", "datetime"
    int64_t low = 0, high = 0;  // Int: the range
    int precision = 0, scale = 0;   // Decimal
};

ColumnRule RuleOfType(std::string_view declaredType);

// The columns of one table, by position and by name (case ignored), and the rules of the column
// lists that INSERT statements name, kept by the list's text.
class TableColumns {
public:
    // (name, declared type) in table order.
    explicit TableColumns(const std::vector<std::pair<std::string, std::string>>& columns);
    const ColumnRule* at(size_t position) const { return position < rules_.size() ? &rules_[position] : nullptr; }
    const ColumnRule* named(std::string_view name) const;
    // The rules of the columns of a list ("(A,B,C)" as written), null for a name the table lacks:
    // those kept for the text, or none yet; then those of the names, kept for it.
    const std::vector<const ColumnRule*>* kept(std::string_view text) const;
    const std::vector<const ColumnRule*>& keep(std::string_view text, const std::vector<std::string>& names);

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    std::vector<ColumnRule> rules_;
    std::vector<std::string> names_;   // upper case
    std::unordered_map<std::string, std::vector<const ColumnRule*>, Hash, std::equal_to<>> lists_;
};

// The columns of a table of the main database (database empty) or of another; null when there is
// no such table. Lets the values an INSERT ... VALUES or an UPDATE ... SET writes into number and
// date columns be taken as the server takes them.
using TableColumnsOf = std::function<TableColumns*(std::string_view database, std::string_view table)>;

// Translates a batch. currentDatabase: a three-part name into it refers to the main database.
// Raises a ProviderError for blocks and IF statements nested more than 128 deep, an unknown
// date part of DATEADD/DATEDIFF and an unknown @@ variable.
Batch Translate(std::string_view sql, std::string_view currentDatabase, const TableColumnsOf& columnsOf = {});

// ---- translations kept by their shape ----
//
// A statement's translation depends on its literals only where the translator reads them: a text
// in a date form (read as a date, or rewritten in ISO form for a date column), a number written
// into a number column (written as it is when it fits the column), the count of TOP n and the
// arguments of CAST, CONVERT, DATEADD and DATEDIFF. The rules that read a literal declare it in
// their table entries (tsql_rules.cpp), and LiftShape keeps what they declare: a new rule that
// reads a literal keeps it in the key by its entry alone. LiftShape lifts every other literal out
// of a text: two texts of one key differ only in those literals, and translate alike but for the
// numbers' fit, which TranslateShape notes:
//
//   const tsql::Shape shape = tsql::LiftShape("UPDATE T SET N = 12 WHERE C = 'x'");
//   // shape.key: "UPDATE T SET N = \x01n WHERE C = \x01s"; shape.literals: 12 and 'x'
//   std::vector<tsql::NumberCheck> checks;
//   const tsql::Batch marked = tsql::TranslateShape(sql, shape, "VOLMA", columnsOf, &checks);
//   // each statement's text holds a mark for each literal; CutAtMarks cuts it there. A text of the
//   // same key translates to those pieces with its own literals put in, when each of its numbers
//   // fits (NumberFitsAsWritten) where the check's did.
//
// Left in the key as written: texts in a date form (any the server reads, a bare "yyyymmdd"
// included), TOP's count, the arguments of those calls, and numbers written oddly ("1.2.3", one
// a word runs into). A text holding the mark character \x01, or a number led by sixteen zeros,
// has no shape (`valid` false).
struct Shape {
    bool valid = false;
    std::string key;
    struct Literal {
        bool text = false;
        uint32_t b = 0, e = 0;   // the literal's bytes in the text, an N before a text's quote included
    };
    std::vector<Literal> literals;
};
Shape LiftShape(std::string_view sql);

// A lifted number that met a number column: the column's rule, its sign, and whether it fit.
struct NumberCheck {
    size_t literal = 0;
    ColumnRule rule;
    bool negative = false;
    bool fits = false;
};
Batch TranslateShape(std::string_view sql, const Shape& shape, std::string_view currentDatabase, const TableColumnsOf& columnsOf,
                     std::vector<NumberCheck>* checks);

// Whether a number literal is written into a column of the rule as it is (else through the
// conversion call).
bool NumberFitsAsWritten(const ColumnRule& rule, std::string_view number, bool negative);

// A marked translation cut at its marks: the text before each mark and the literal it stands for
// (-1 for the text after the last). Empty when a mark is malformed.
struct MarkedPiece {
    std::string text;
    int32_t literal = -1;
};
std::vector<MarkedPiece> CutAtMarks(std::string_view translated);

// Which columns of a translated query are a conversion to money or smallmoney as a whole (an
// alias after it allowed): the columns of its first SELECT list, in order; empty when the list
// holds a * (its columns are not known from the text).
std::vector<bool> MoneyColumns(std::string_view translated);

// A lifted literal as a translation writes it: a text from its quote (without an N), a number as written.
std::string_view LiteralToken(std::string_view sql, const Shape::Literal& literal);

// The literal a mark stands for, read from the value of a literal of the translation (a text
// without its quotes, or a number); -1 when the value is no mark.
long MarkedLiteral(std::string_view value, bool text);

// Replaces the "@name" words of a procedure body by the given texts (names compared without
// case), leaving texts and comments alone.
std::string BindParameters(std::string_view body, const std::vector<std::pair<std::string, std::string>>& values);

// A date and time as the server reads it from text.
struct DateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Reads the forms of date the server reads whatever its language, and the program's day-first
// one: ISO "yyyy-mm-dd[( |T)hh:mm[:ss[.fff]]]", "yyyymmdd hh:mm[:ss[.fff]]" and, with
// `bareCompact`, "yyyymmdd" alone (otherwise taken for a number or a code), and day-first
// "dd/mm/yyyy[ hh:mm[:ss[.fff]]]" ("-" as separator too, one-digit day and month, two-digit
// years: below 50 of this century, the others of the last). Years 1753 to 9999. False when the
// text is no such date.
bool ReadDateTime(std::string_view text, DateTime* out, bool bareCompact);

// The date in ISO form, "yyyy-mm-dd hh:mm:ss[.fff]" (milliseconds when not 0; "T" or another
// character between date and time when asked).
std::string IsoText(const DateTime& d, char between = ' ');

// Reads a date of the forms above (without bare "yyyymmdd") into its ISO form; false when the
// text is no such date.
bool ReadDateLiteral(std::string_view text, std::string* iso);

}  // namespace ado::tsql
