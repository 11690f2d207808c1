#pragma once
// The embedded session's schema rowsets, as the server lists them. Internal to the ado layer.
#include "platform/ado/provider.h"

struct sqlite3;

namespace ado::sqlite {

// The tables and views of the database in use (TABLE_CATALOG `catalog`, TABLE_SCHEMA "dbo",
// TABLE_NAME, TABLE_TYPE "TABLE" or "VIEW"), by name; the program's own tables are not listed.
std::unique_ptr<RowSource> SchemaTables(sqlite3* db, const QString& catalog);

// The columns of `table` ("T", "[T]", "dbo.T" or "[DB].[dbo].[T]"; empty: of every table), or only
// the one named `column` (empty: all), in the columns' order.
std::unique_ptr<RowSource> SchemaColumns(sqlite3* db, const QString& catalog, const QString& table, const QString& column);

}  // namespace ado::sqlite
