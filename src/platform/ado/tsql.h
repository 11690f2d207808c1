#pragma once
// Reads statements written in the SQL Server dialect and gives them in SQLite's: one pass of a
// tokenizer over the text, no regular expressions.
//
// What it translates: with(nolock) and (nolock) hints, TOP n / TOP (n) / TOP 100 PERCENT (in
// subqueries too), ISNULL, SUBSTRING, TRUNCATE TABLE, DELETE T, BEGIN/COMMIT/ROLLBACK TRAN,
// IF [NOT] EXISTS (...) stmt [ELSE stmt], BEGIN ... END blocks, EXEC proc args, CREATE PROCEDURE,
// SET session settings and PRINT (dropped),
// several statements joined without separator, [bracketed] names, dbo. and three-part names,
// N'...' texts, day-first date literals, + between texts, and the text columns of CREATE TABLE
// and ALTER TABLE ADD (case- and trailing-blank-blind compare, declared length enforced).
// LEN, CHARINDEX and GETDATE are functions of the embedded connection.
#include <string>
#include <string_view>
#include <vector>

namespace ado::tsql {

// Name of the CHECK constraints that stand for a text column's declared length.
inline constexpr std::string_view kLengthCheckPrefix = "korv_len_";
// The table that holds stored procedures: name, parameter list ("@a,@b"), body.
inline constexpr std::string_view kProcedureTable = "KORV_PROCEDURES";

struct Statement {
    enum Kind { Sql, If, Block, Exec, CreateProcedure };
    Kind kind = Sql;
    std::string sql;                    // Sql: the SQLite text; If: a query giving a row when true
    std::vector<Statement> body;        // If: the statement run when true; Block: its statements
    std::vector<Statement> elseBody;    // If: the statement run when false
    std::string name;                   // Exec, CreateProcedure: the procedure
    std::vector<std::string> args;      // Exec: argument texts (translated); "@p=value" for named ones
    std::vector<std::string> params;    // CreateProcedure: parameter names with their "@"
    std::string text;                   // CreateProcedure: the body as written
};

struct Batch {
    std::vector<Statement> statements;
    std::vector<std::string> databases;   // other databases named by three-part names
};

// Translates a batch. currentDatabase: a three-part name into it refers to the main database.
// Raises a ProviderError for blocks and IF statements nested more than 128 deep.
Batch Translate(std::string_view sql, std::string_view currentDatabase);

// Replaces the "@name" words of a procedure body by the given texts (names compared without
// case), leaving texts and comments alone.
std::string BindParameters(std::string_view body, const std::vector<std::pair<std::string, std::string>>& values);

// Reads a day-first date ("05/03/2008", "5/3/08 23:59", "05/03/2008 23:59:00") or an ISO date
// into "yyyy-mm-dd hh:mm:ss"; false when the text is no such date. Two-digit years below 50 are
// of this century, the others of the last.
bool ReadDateLiteral(std::string_view text, std::string* iso);

}  // namespace ado::tsql
