// The copy task: rows of the source query on the source connection, through the column-copy
// transformations, into the destination table on the destination connection, all in one
// transaction. The first row that cannot be written rolls the transaction back and fails the
// task, so a failed copy leaves the destination as it was.
#include "platform/ado/ado.h"
#include "platform/ado/lock_wait.h"
#include "platform/ado/transaction.h"
#include "platform/dts/column_conversion.h"
#include "platform/dts/dts.h"
#include "platform/dts/source_rows.h"

#include <algorithm>
#include <atomic>

namespace dts {
namespace {

std::atomic<bool> g_streamed{true};

// One transformation's way from a field of the source rows to a parameter of the insert.
struct ColumnCopy {
    QString transformation;
    int sourceField = -1;
    ColumnSpec source;
    ColumnSpec destination;
    long transformFlags = DTSTransformFlag_Default;
};

ColumnSpec SpecOf(const Column& c) {
    ColumnSpec s;
    s.name = c.Name();
    s.dataType = c.DataType();
    s.size = c.Size();
    s.precision = c.Precision();
    s.numericScale = c.NumericScale();
    s.flags = c.Flags();
    return s;
}

[[noreturn]] void Fail(const QString& text) { vb::Raise(vb::kHrUnspecified, text, QStringLiteral("DTSDataPumpTask")); }

// The parts of "[db].[owner].[table]", "owner.table" or "table", brackets and quotes removed.
QStringList NameParts(const QString& name) {
    QStringList parts;
    QString current;
    QChar close;
    for (QChar c : name) {
        if (!close.isNull()) {
            if (c == close)
                close = QChar();
            else
                current.append(c);
        } else if (c == u'[') {
            close = u']';
        } else if (c == u'"') {
            close = u'"';
        } else if (c == u'.') {
            parts.append(current.trimmed());
            current.clear();
        } else {
            current.append(c);
        }
    }
    parts.append(current.trimmed());
    return parts;
}

QString Quoted(const QString& name) {
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

// The destination table as the destination connection's own dialect names it.
QString DestinationTable(const QString& objectName, ado::Connection& connection) {
    if (!connection.isEmbedded())
        return objectName;
    const QStringList parts = NameParts(objectName);
    if (parts.last().isEmpty())
        Fail(QStringLiteral("Nombre de tabla de destino no válido: '%1'.").arg(objectName));
    if (parts.size() >= 3 && !parts.first().isEmpty() &&
        parts.first().compare(connection.DefaultDatabase(), Qt::CaseInsensitive) != 0)
        Fail(QStringLiteral("La tabla de destino '%1' no está en la base de datos de la conexión de destino (%2).")
                 .arg(objectName, connection.DefaultDatabase()));
    return Quoted(parts.last());
}

QString InsertText(const QString& table, const std::vector<ColumnCopy>& copies, bool embedded, int rows) {
    QString columns;
    QString marks;
    for (const auto& c : copies) {
        if (!columns.isEmpty()) {
            columns += QStringLiteral(", ");
            marks += QStringLiteral(", ");
        }
        columns += embedded ? Quoted(c.destination.name) : QLatin1Char('[') + c.destination.name + QLatin1Char(']');
        marks += QLatin1Char('?');
    }
    QString values;
    for (int r = 0; r < rows; ++r) {
        if (r > 0)
            values += QStringLiteral(", ");
        values += QLatin1Char('(') + marks + QLatin1Char(')');
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3").arg(table, columns, values);
}

// The inserts of the destination rows. On the embedded provider rows go in groups, several rows
// to a statement; a group that fails is written again row by row, so the failure names its row.
class RowWriter {
public:
    RowWriter(ado::Connection& connection, const QString& table, const std::vector<ColumnCopy>& copies)
        : columns_(static_cast<int>(copies.size())) {
        const bool embedded = connection.isEmbedded();
        single_ = connection.Prepare(InsertText(table, copies, embedded, 1));
        groupRows_ = embedded ? std::clamp(kGroupParameters / columns_, 1, kGroupRowsMax) : 1;
        if (groupRows_ > 1)
            group_ = connection.Prepare(InsertText(table, copies, embedded, groupRows_));
        pending_.resize(static_cast<size_t>(groupRows_ * columns_));
    }

    // The converted values of one row (moved from).
    void add(long rowNumber, std::vector<vb::Variant>& values) {
        if (pendingRows_ == 0)
            firstRow_ = rowNumber;
        const size_t base = static_cast<size_t>(pendingRows_ * columns_);
        for (int i = 0; i < columns_; ++i)
            pending_[base + static_cast<size_t>(i)] = std::move(values[static_cast<size_t>(i)]);
        if (++pendingRows_ == groupRows_)
            flush();
    }

    void flush() {
        if (pendingRows_ == 0)
            return;
        if (group_ && pendingRows_ == groupRows_) {
            for (size_t k = 0; k < pending_.size(); ++k)
                group_->bind(static_cast<int>(k) + 1, pending_[k]);
            try {
                group_->execute();
                pendingRows_ = 0;
                return;
            } catch (const vb::Error& e) {
                // Another station holds the table: no row of the group is at fault.
                if (ado::LockFailureOf(e) != ado::LockFailure::None) throw;
                // the failed statement wrote nothing: find the row, one at a time
            }
        }
        for (int r = 0; r < pendingRows_; ++r) {
            for (int i = 0; i < columns_; ++i)
                single_->bind(i + 1, pending_[static_cast<size_t>(r * columns_ + i)]);
            try {
                single_->execute();
            } catch (const vb::Error& e) {
                if (ado::LockFailureOf(e) != ado::LockFailure::None) throw;   // the row is not at fault
                Fail(QStringLiteral("Fila %1: %2").arg(firstRow_ + r).arg(e.description()));
            }
        }
        pendingRows_ = 0;
    }

private:
    static constexpr int kGroupParameters = 2000;
    static constexpr int kGroupRowsMax = 200;
    int columns_;
    int groupRows_ = 1;
    std::unique_ptr<ado::Command> single_;
    std::unique_ptr<ado::Command> group_;
    std::vector<vb::Variant> pending_;
    int pendingRows_ = 0;
    long firstRow_ = 0;
};

}  // namespace

void SetStreamedSourceReading(bool on) { g_streamed = on; }

void DataPumpTask::execute(Package& package) {
    rowsCopied_ = 0;
    auto source = package.Connections().byID(SourceConnectionID_)->open();
    auto destination = package.Connections().byID(DestinationConnectionID_)->open();

    QString query = SourceSQLStatement_;
    if (query.trimmed().isEmpty()) {
        if (SourceObjectName_.trimmed().isEmpty())
            Fail(QStringLiteral("La tarea %1 no tiene consulta ni objeto de origen.").arg(Name()));
        query = QStringLiteral("SELECT * FROM ") + SourceObjectName_;
    }
    if (DestinationObjectName_.trimmed().isEmpty())
        Fail(QStringLiteral("La tarea %1 no tiene tabla de destino.").arg(Name()));

    // The column plan: one source and one destination column per transformation.
    std::vector<ColumnCopy> copies;
    copies.reserve(static_cast<size_t>(transformations_.Count()));
    for (const auto& t : transformations_) {
        if (t->SourceColumns().Count() != 1 || t->DestinationColumns().Count() != 1)
            Fail(QStringLiteral("La transformación %1 debe tener una columna de origen y una de destino.").arg(t->Name()));
        ColumnCopy c;
        c.transformation = t->Name();
        c.source = SpecOf(*t->SourceColumns().Item(1));
        c.destination = SpecOf(*t->DestinationColumns().Item(1));
        c.transformFlags = t->TransformFlags();
        if (!IsSupportedDestinationType(c.destination.dataType))
            Fail(QStringLiteral("La columna de destino %1 tiene un tipo de dato no admitido (%2).")
                     .arg(c.destination.name)
                     .arg(c.destination.dataType));
        for (const auto& other : copies)
            if (other.destination.name.compare(c.destination.name, Qt::CaseInsensitive) == 0)
                Fail(QStringLiteral("La columna de destino %1 figura en dos transformaciones.").arg(c.destination.name));
        copies.push_back(std::move(c));
    }
    if (copies.empty())
        Fail(QStringLiteral("La tarea %1 no tiene transformaciones.").arg(Name()));

    // The inserts would meet the rows still to be read when both are on one connection.
    const bool whole = !g_streamed || source == destination;
    std::unique_ptr<ado::RowReader> rows = source->OpenReader(query, whole);
    const int fieldCount = rows->fieldCount();
    if (fieldCount == 0)
        Fail(QStringLiteral("La consulta de origen no devuelve filas."));
    for (auto& c : copies) {
        for (int i = 0; i < fieldCount && c.sourceField < 0; ++i)
            if (rows->field(i).name.compare(c.source.name, Qt::CaseInsensitive) == 0)
                c.sourceField = i;
        if (c.sourceField < 0)
            Fail(QStringLiteral("La columna de origen %1 no existe en el origen de la tarea %2.").arg(c.source.name, Name()));
    }

    RowWriter writer(*destination, DestinationTable(DestinationObjectName_, *destination), copies);
    const long every = ProgressRowCount_ > 0 ? ProgressRowCount_ : 0;
    ado::Transaction transaction(*destination);
    long written = 0;
    QString why;
    std::vector<vb::Variant> values(copies.size());
    while (rows->next()) {
        const long rowNumber = written + 1;
        for (size_t i = 0; i < copies.size(); ++i) {
            const ColumnCopy& c = copies[i];
            if (!ConvertColumnValue(rows->value(c.sourceField), c.source, c.destination, c.transformFlags, &values[i],
                                    &why)) {
                writer.flush();   // the rows before it fail first when they cannot be written
                Fail(QStringLiteral("Fila %1, columna %2 (%3): %4.")
                         .arg(rowNumber)
                         .arg(c.destination.name, c.transformation, why));
            }
        }
        writer.add(rowNumber, values);
        ++written;
        if (every > 0 && written % every == 0)
            package.OnProgress(Name(), written);
    }
    writer.flush();
    if (written == 0 || every == 0 || written % every != 0)
        package.OnProgress(Name(), written);
    transaction.Commit();
    rowsCopied_ = written;
}

}  // namespace dts
