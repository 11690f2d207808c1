#pragma once
// What a provider hands to the ADO objects: an open session, the rows of a result, and the
// failure it raises. Internal to the ado layer.
#include "platform/ado/ado.h"

#include <QString>
#include <memory>
#include <vector>

namespace ado {

// A provider's failure: the ADO number and the server's own state and native error.
struct ProviderError {
    long number = vb::kHrUnspecified;
    QString description;
    QString sqlState;
    long nativeError = 0;
};
[[noreturn]] void ThrowProvider(long number, const QString& description, const QString& sqlState, long nativeError);

using Row = std::vector<vb::Variant>;

// The rows of one result, read whole. For the updatable use, baseTable and baseColumns name
// where each field comes from (empty when it is an expression).
class RowSource {
public:
    std::vector<FieldInfo> fields;
    std::vector<Row> rows;
    QString baseTable;
    std::vector<QString> baseColumns;
};

class Session {
public:
    virtual ~Session() = default;
    virtual bool embedded() const = 0;
    // Runs a statement or a batch. Gives the rows of the last statement that returned rows (null
    // when none did); *affected receives the rows written.
    virtual std::unique_ptr<RowSource> execute(const QString& sql, long* affected, bool forUpdate) = 0;
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() = 0;
    virtual std::unique_ptr<RowSource> tables() = 0;
    virtual std::unique_ptr<RowSource> columns(const QString& table, const QString& column) = 0;
    virtual std::unique_ptr<Command> prepare(const QString& sql) = 0;
    // Writes the changed fields of one row, found by its original values.
    virtual void updateRow(const RowSource& rs, const Row& original, const std::vector<std::pair<int, vb::Variant>>& changes) = 0;
    virtual int transactionLevel() const = 0;
    virtual QString defaultDatabase() const = 0;
    virtual void setDefaultDatabase(const QString& name) = 0;
};

// The parts of a connection text ("KEY=value;..."), keys trimmed and compared without case.
class ConnectionText {
public:
    explicit ConnectionText(const QString& text);
    QString value(std::initializer_list<const char*> keys) const;
    const std::vector<std::pair<QString, QString>>& items() const { return items_; }

private:
    std::vector<std::pair<QString, QString>> items_;
};

std::unique_ptr<Session> OpenEmbedded(const QString& folder, const QString& database);
std::unique_ptr<Session> OpenOdbc(const ConnectionText& text, const QString& user, const QString& password);

// The field description read from a column's declared type ("varchar(20)", "money", ...).
FieldInfo FieldFromDeclaredType(const QString& name, const char* declType);
// The Variant of a stored value of a field of the given type.
bool IsDateType(int adoType);

}  // namespace ado
