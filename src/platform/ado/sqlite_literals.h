#pragma once
// The literals of a statement in SQLite's dialect, lifted out: what the embedded provider keys
// its prepared statements by, as a server's plan cache does. Internal to the ado layer.
//
//   const ado::LiftedStatement l = ado::LiftLiterals("SELECT * FROM T WHERE A = 'x''y' AND B > 2.5");
//   // l.shape: "SELECT * FROM T WHERE A = ? AND B > ?"; l.literals: text "x'y", number "2.5"
//
// Every text literal and number becomes a "?" parameter, except what is part of the statement
// rather than a value in it: the counts of LIMIT and OFFSET and the column positions of an
// ORDER BY or GROUP BY list. A text holding more than one statement, parameters of its own or a
// blob literal is not lifted (`valid` false).
#include <string>
#include <string_view>
#include <vector>

namespace ado {

struct SqlLiteral {
    bool text = false;   // a text literal, its value without quotes (doubled quotes read as one); else a number as written
    std::string value;
};

struct LiftedStatement {
    bool valid = false;
    std::string shape;                 // the statement with a "?" in place of each literal
    std::vector<SqlLiteral> literals;  // in the order of their parameters
};

LiftedStatement LiftLiterals(std::string_view sql);

}  // namespace ado
