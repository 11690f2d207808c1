#pragma once
// The rows a copy task reads from its source connection, one at a time.
//
// On an embedded connection the query is read straight from the database file, row by row,
// through a reading connection of the engine's own (the statement in the SQL Server dialect is
// translated as the embedded provider does, with the same text compare rule); a query that
// connection cannot prepare, and every other provider, is read through an ado Recordset.
#include "platform/vb/variant.h"

#include <QString>
#include <memory>

namespace ado {
class Connection;
}

namespace dts {

class SourceRows {
public:
    virtual ~SourceRows() = default;
    virtual int fieldCount() const = 0;
    virtual QString fieldName(int index) const = 0;
    // Moves to the next row (the first on the first call); false after the last. Raises
    // vb::Error when the rows cannot be read.
    virtual bool next() = 0;
    virtual vb::Variant value(int index) const = 0;
    // True when the rows come straight from the database file.
    virtual bool readsFile() const = 0;
};

// The rows of `query` on the open connection `connection`, whose server text is `server` (the
// folder of an embedded connection). Raises vb::Error when the query cannot be run.
std::unique_ptr<SourceRows> OpenSourceRows(const std::shared_ptr<ado::Connection>& connection, const QString& server,
                                           const QString& query);

// Whether embedded connections are read straight from their files (on by default). Tests turn
// it off to compare both ways of reading.
void SetDirectEmbeddedReading(bool on);

}  // namespace dts
