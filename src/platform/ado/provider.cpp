// What the providers share: cursors over rows read whole, and the update of one row.
#include "platform/ado/provider.h"

namespace ado {

WholeRowsCursor::WholeRowsCursor(std::unique_ptr<RowSource> rows) {
    if (!rows) return;
    fields = std::move(rows->fields);
    rows_ = std::move(rows->rows);
}

bool WholeRowsCursor::next() {
    if (!started_) started_ = true;
    else if (at_ < rows_.size()) ++at_;
    return at_ < rows_.size();
}

void ThrowDoomedTransaction() {
    ThrowProvider(vb::kHrUnspecified,
                  QStringLiteral("The current transaction cannot be committed and cannot run further statements. Roll back the "
                                 "transaction."),
                  QStringLiteral("25000"), native::kUncommittableTransaction);
}

ProviderError RolledBackByServer() {
    return ProviderError{vb::kHrUnspecified, QStringLiteral("The server rolled the transaction back: nothing of it was written."),
                         QStringLiteral("40000"), native::kTransactionRolledBack, {}};
}

namespace {

[[noreturn]] void ThrowNoKeyInformation() {
    ThrowProvider(vb::kHrUnspecified, QStringLiteral("Insufficient key column information for updating or refreshing."),
                  QStringLiteral("HY000"), native::kNone);
}

}  // namespace

std::vector<QString> UpdatedColumns(const RowSource& rs, const FieldChanges& changes) {
    if (rs.baseTable.isEmpty()) ThrowNoKeyInformation();
    std::vector<QString> columns;
    columns.reserve(changes.size());
    for (const auto& [index, value] : changes) {
        const QString& column = rs.baseColumns[static_cast<size_t>(index)];
        if (column.isEmpty()) ThrowNoKeyInformation();
        columns.push_back(column);
    }
    return columns;
}

void WriteOneRow(Session& session, const QString& sql, const std::vector<vb::Variant>& values) {
    auto command = session.prepare(sql);
    for (size_t i = 0; i < values.size(); ++i) command->bind(static_cast<int>(i + 1), values[i]);
    if (command->execute() == 0) {
        ThrowProvider(vb::kHrUnspecified,
                      QStringLiteral("Row cannot be located for updating. Some values may have been changed since it was last read."),
                      QStringLiteral("HY000"), native::kNone);
    }
}

}  // namespace ado
