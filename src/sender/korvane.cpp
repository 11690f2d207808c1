#include "sender/korvane.h"

#include <span>

namespace sender {

namespace {

// One column-copy transformation of a copy task: its number in the task, its class and the two
// column descriptors. Source columns have precision and scale 0; a column is nullable exactly
// when its flags hold DBCOLUMNFLAGS_ISNULLABLE. A key column (kClave) identifies the row in the
// stores' system: its value is never cut or rounded to fit.
struct ColumnMap {
    int number;
    const char* klass;
    const char* sourceName;
    long sourceType;
    long sourceSize;
    long sourceFlags;
    const char* destinationName;
    long destinationType;
    long destinationSize;
    long destinationPrecision;
    long destinationScale;
    long destinationFlags;
    bool key = false;
};

constexpr bool kClave = true;

constexpr const char* kDTS = "DTS.DataPumpTransformCopy";
constexpr const char* kPump = "DTSPump.DataPumpTransformCopy";

// IMPONOVARTI, in the order the transformations are added: 2 to 32, then 1.
constexpr ColumnMap kImpoNovArti[] = {
    {2, kDTS, "ARTI", 130, 25, 8, "ARTI", 129, 10, 0, 0, 24, kClave},
    {3, kDTS, "DESCRI", 130, 50, 8, "DESCRI", 129, 50, 0, 0, 24},
    {4, kDTS, "DTICKET", 130, 50, 104, "DTICKET", 129, 20, 0, 0, 24},
    {5, kDTS, "MARCA", 130, 50, 8, "MARCA", 129, 30, 0, 0, 24},
    {6, kDTS, "CONTENIDO", 130, 50, 104, "CONTENIDO", 129, 4, 0, 0, 24},
    {7, kDTS, "UNIMED", 130, 4, 104, "UNIMED", 129, 2, 0, 0, 24},
    {8, kDTS, "UNIBUL", 5, 0, 120, "UNIBUL", 129, 6, 0, 0, 24},
    {9, kDTS, "HABCPA", 129, 1, 104, "HABCPA", 129, 1, 0, 0, 24},
    {10, kDTS, "ENGANCHE", 130, 25, 104, "ENGANCHE", 129, 10, 0, 0, 24},
    {11, kDTS, "PROV", 130, 15, 104, "PROV", 129, 13, 0, 0, 24},
    {12, kDTS, "NPRO", 130, 25, 104, "NPRO", 129, 15, 0, 0, 24},
    {13, kDTS, "PBASE", 6, 0, 120, "PBASE", 131, 0, 18, 3, 24},
    {14, kDTS, "Dto1", 129, 1, 8, "DTO1", 131, 0, 10, 3, 24},
    {15, kDTS, "Dto2", 129, 1, 8, "DTO2", 131, 0, 10, 3, 24},
    {16, kDTS, "MARGEN", 5, 0, 120, "MARGEN", 131, 0, 10, 3, 24},
    {17, kDTS, "RECARGO1", 5, 0, 120, "RECARGO1", 131, 0, 10, 3, 24},
    {18, kDTS, "RECARGO2", 5, 0, 120, "RECARGO2", 131, 0, 10, 3, 24},
    {19, kDTS, "IMPINT", 129, 1, 8, "IMPINT", 131, 0, 10, 7, 24},
    {20, kDTS, "IVA", 129, 1, 104, "IVA", 129, 1, 0, 0, 24},
    {21, kDTS, "PVENTA", 6, 0, 24, "PVENTA", 131, 0, 18, 3, 24},
    {22, kDTS, "CLASIFICACION", 130, 15, 104, "CLASIFICACION", 129, 15, 0, 0, 24},
    {23, kDTS, "FECACT", 135, 0, 24, "FECACT", 129, 8, 0, 0, 24},
    {24, kDTS, "TIPOACT", 129, 1, 8, "TIPOACT", 129, 1, 0, 0, 24},
    {25, kDTS, "TIPOACT_ORIG", 129, 1, 8, "TIPOACT_ORIG", 129, 1, 0, 0, 24},
    {26, kDTS, "OBSERV", 129, 0, 8, "OBSERV", 129, 30, 0, 0, 24},
    {27, kDTS, "Pesable", 11, 0, 120, "PESABLE", 129, 1, 0, 0, 24},
    {28, kDTS, "ENVASE", 129, 1, 104, "ENVASE", 3, 0, 0, 0, 24},
    {29, kPump, "CTACON1", 130, 15, 104, "COD_CTACON1", 129, 20, 0, 0, 24},
    {30, kPump, "CTACON2", 129, 0, 8, "COD_CTACON2", 129, 20, 0, 0, 24},
    {31, kPump, "COD_CTACON1_IN", 129, 0, 8, "COD_CTACON1_IN", 129, 6, 0, 0, 120},
    {32, kPump, "COD_CTACON2_IN", 129, 0, 8, "COD_CTACON2_IN", 129, 6, 0, 0, 120},
    {1, kPump, "COD_SUC", 130, 4, 8, "COD_SUC", 129, 4, 0, 0, 24, kClave},
};

constexpr ColumnMap kImpoNovBarras[] = {
    {1, kDTS, "COD_SUC", 129, 200, 96, "COD_SUC", 129, 4, 0, 0, 24, kClave},
    {2, kDTS, "ARTI", 129, 200, 96, "ARTI", 129, 10, 0, 0, 24, kClave},
    {3, kDTS, "CODBARR", 130, 25, 96, "CODBARR", 131, 0, 13, 0, 24, kClave},
};

constexpr ColumnMap kImpoNovBultos[] = {
    {1, kDTS, "COD_SUC", 129, 200, 96, "COD_SUC", 129, 4, 0, 0, 24, kClave},
    {2, kDTS, "ARTI", 129, 200, 96, "ARTI", 129, 10, 0, 0, 24, kClave},
    {3, kDTS, "BULTO", 130, 4, 96, "BULTO", 129, 6, 0, 0, 24, kClave},
    {4, kDTS, "BULTOS00", 130, 25, 96, "BULTOS00", 131, 0, 14, 0, 24, kClave},
};

constexpr ColumnMap kImpoNovProv[] = {
    {1, kDTS, "COD_SUC", 129, 200, 104, "COD_SUC", 129, 4, 0, 0, 24, kClave},
    {2, kDTS, "ARTI", 129, 200, 104, "ARTI", 129, 10, 0, 0, 24, kClave},
    {3, kDTS, "PROV", 129, 200, 104, "PROV", 129, 13, 0, 0, 24, kClave},
    {4, kDTS, "NPRO", 130, 25, 104, "NPRO", 129, 15, 0, 0, 24},
};

constexpr ColumnMap kImpoProv[] = {
    {1, kDTS, "COD_SUC", 129, 4, 0, "COD_SUC", 129, 4, 0, 0, 24, kClave},
    {2, kDTS, "CODIGO", 129, 200, 96, "codigo", 129, 13, 0, 0, 24, kClave},
    {3, kDTS, "DESCRI", 130, 50, 96, "descri", 129, 50, 0, 0, 120},
    {4, kDTS, "CUIT", 130, 4000, 96, "cuit", 129, 11, 0, 0, 120},
    {5, kDTS, "CONDIVA", 129, 1, 0, "condiva", 129, 1, 0, 0, 120},
    {6, kDTS, "TIPOACT", 129, 1, 0, "TIPOACT", 129, 1, 0, 0, 24},
    {7, kDTS, "TIPOACT_ORIG", 129, 1, 0, "TIPOACT_ORIG", 129, 1, 0, 0, 24},
    {8, kDTS, "OBSERV", 129, 0, 0, "OBSERV", 129, 30, 0, 0, 24},
};

constexpr ColumnMap kOfertas[] = {
    {1, kDTS, "COD_SUC", 129, 200, 96, "COD_SUC", 129, 4, 0, 0, 24, kClave},
    {2, kDTS, "COD_OFE", 3, 0, 24, "COD_OFE", 3, 0, 0, 0, 24, kClave},
    {3, kDTS, "DESCRI", 130, 250, 104, "DESCRI", 129, 50, 0, 0, 24},
    {4, kDTS, "MANUAL", 129, 1, 0, "MANUAL", 11, 0, 0, 0, 24},
    {5, kDTS, "FDESDE", 135, 0, 120, "FDESDE", 135, 0, 0, 0, 24},
    {6, kDTS, "FHASTA", 135, 0, 120, "FHASTA", 135, 0, 0, 0, 24},
    {7, kDTS, "ACTIVO", 129, 1, 0, "ACTIVO", 11, 0, 0, 0, 24},
    {8, kDTS, "ARTI", 129, 200, 96, "ARTI", 129, 10, 0, 0, 24, kClave},
    {9, kDTS, "PBASE", 6, 0, 120, "PBASE", 131, 0, 18, 3, 24},
    {10, kDTS, "Dto1", 129, 1, 0, "DTO1", 131, 0, 18, 3, 24},
    {11, kDTS, "Dto2", 129, 1, 0, "DTO2", 131, 0, 18, 3, 24},
    {12, kDTS, "MARGEN", 6, 0, 112, "MARGEN", 131, 0, 18, 3, 24},
    {13, kDTS, "RECARGO1", 5, 0, 120, "RECARGO1", 131, 0, 18, 3, 24},
    {14, kDTS, "RECARGO2", 5, 0, 120, "RECARGO2", 131, 0, 18, 3, 24},
    {15, kDTS, "IMPINT", 129, 1, 0, "IMPINT", 131, 0, 18, 3, 24},
    {16, kDTS, "PVENTA", 6, 0, 24, "PVENTA", 131, 0, 18, 3, 24},
    {17, kDTS, "TIPOACT", 129, 1, 0, "TIPOACT", 129, 1, 0, 0, 24},
    {18, kDTS, "TIPOACT_ORIG", 129, 1, 0, "TIPOACT_ORIG", 129, 1, 0, 0, 24},
    {19, kDTS, "OBSERV", 129, 0, 0, "OBSERV", 129, 250, 0, 0, 24},
    {20, kDTS, "PROV", 129, 200, 96, "PROV", 129, 13, 0, 0, 120},
};

// A copy task: its name, description, source (a query or an object), destination table and
// column table.
struct CopyTask {
    const char* name;
    const char* description;
    QString sourceSQLStatement;
    QString sourceObjectName;
    const char* destinationTable;
    std::span<const ColumnMap> columns;
};

const char* const kDescripcionPatron = "Tarea Transformar datos: no_definido";

// The source query that reads every row of a head-office view.
QString VistaSQL(const char* view) {
    return QStringLiteral("SELECT * FROM [VOLMA].[dbo].[%1] ").arg(QLatin1String(view));
}

// The source query of a step that sends only the changes in normal mode.
QString NovedadesSQL(const char* view, const QString& TipoTransmision) {
    if (TipoTransmision == QLatin1String("N")) return VistaSQL(view) + QStringLiteral("WHERE TIPOACT = 'M'");
    return VistaSQL(view);
}

void AddColumn(dts::Columns& columns, const char* name, long flags, long size, long type, long precision, long scale) {
    auto column = columns.New(QLatin1String(name), 1);
    column->setName(QLatin1String(name));
    column->setOrdinal(1);
    column->setFlags(flags);
    column->setSize(size);
    column->setDataType(type);
    column->setPrecision(precision);
    column->setNumericScale(scale);
    column->setNullable((flags & dts::DBCOLUMNFLAGS_ISNULLABLE) != 0);
    columns.Add(column);
}

// A key column's transformation: the default flags without string or numeric truncation.
constexpr long kFlagsClave = dts::DTSTransformFlag_Default & ~(dts::DTSTransformFlag_AllowStringTruncation |
                                                                dts::DTSTransformFlag_AllowNumericTruncation);

// The column builder: one column-copy transformation from a row of a column table.
void AgregaTransformacion(dts::DataPumpTask& pump, const ColumnMap& row) {
    auto transformation = pump.Transformations().New(QLatin1String(row.klass));
    transformation->setName(QStringLiteral("DTSTransformation__%1").arg(row.number));
    transformation->setTransformFlags(row.key ? kFlagsClave : 63);
    transformation->setForceSourceBlobsBuffered(0);
    transformation->setForceBlobsInMemory(false);
    transformation->setInMemoryBlobSize(1048576);
    transformation->setTransformPhases(4);
    AddColumn(transformation->SourceColumns(), row.sourceName, row.sourceFlags, row.sourceSize, row.sourceType, 0, 0);
    AddColumn(transformation->DestinationColumns(), row.destinationName, row.destinationFlags, row.destinationSize,
              row.destinationType, row.destinationPrecision, row.destinationScale);
    pump.Transformations().Add(transformation);
}

// The task builder shared by the six copy steps.
void AgregaTareaCopia(dts::Package& package, const CopyTask& def) {
    auto task = package.Tasks().New(QStringLiteral("DTSDataPumpTask"));
    task->setName(QLatin1String(def.name));
    auto pump = dts::CustomTaskAs<dts::DataPumpTask>(*task);
    pump->setName(QLatin1String(def.name));
    pump->setDescription(QString::fromUtf8(def.description));
    pump->setSourceConnectionID(1);
    if (!def.sourceObjectName.isEmpty())
        pump->setSourceObjectName(def.sourceObjectName);
    else
        pump->setSourceSQLStatement(def.sourceSQLStatement);
    pump->setDestinationConnectionID(2);
    pump->setDestinationObjectName(QStringLiteral("[korvane_interfases].[dbo].[%1]").arg(QLatin1String(def.destinationTable)));
    pump->setProgressRowCount(1000);
    pump->setMaximumErrorCount(0);
    pump->setFetchBufferSize(1);
    pump->setUseFastLoad(true);
    pump->setInsertCommitSize(0);
    pump->setExceptionFileColumnDelimiter(QStringLiteral("|"));
    pump->setExceptionFileRowDelimiter(QStringLiteral("\r\n"));
    pump->setAllowIdentityInserts(false);
    pump->setFirstRow(QStringLiteral("0"));
    pump->setLastRow(QStringLiteral("0"));
    pump->setFastLoadOptions(2);
    pump->setExceptionFileOptions(1);
    pump->setDataPumpOptions(0);
    for (const ColumnMap& row : def.columns)
        AgregaTransformacion(*pump, row);
    package.Tasks().Add(task);
}

}  // namespace

void AgregaTareaVaciarTablas(dts::Package& package, const QString&) {
    auto task = package.Tasks().New(QStringLiteral("DTSExecuteSQLTask"));
    task->setName(QStringLiteral("DTSTask_DTSExecuteSQLTask_1"));
    auto sql = dts::CustomTaskAs<dts::ExecuteSQLTask>(*task);
    sql->setName(QStringLiteral("DTSTask_DTSExecuteSQLTask_1"));
    sql->setDescription(QStringLiteral("VACIAR TABLAS"));
    sql->setSQLStatement(QStringLiteral("TRUNCATE TABLE IMPONOVARTI\r\n"));
    sql->setSQLStatement(sql->SQLStatement() + QStringLiteral("TRUNCATE TABLE IMPONOVBARRAS\r\n"));
    sql->setSQLStatement(sql->SQLStatement() + QStringLiteral("TRUNCATE TABLE IMPONOVBULTOS\r\n"));
    sql->setSQLStatement(sql->SQLStatement() + QStringLiteral("TRUNCATE TABLE IMPONOVPROV\r\n"));
    sql->setSQLStatement(sql->SQLStatement() + QStringLiteral("TRUNCATE TABLE OFERTAS\r\n"));
    sql->setSQLStatement(sql->SQLStatement() + QStringLiteral("TRUNCATE TABLE IMPOPROV"));
    sql->setConnectionID(2);
    sql->setCommandTimeout(0);
    sql->setOutputAsRecordset(false);
    package.Tasks().Add(task);
}

void AgregaTareaImpoNovArti(dts::Package& package, const QString& TipoTransmision) {
    AgregaTareaCopia(package, {"DTSTask_DTSDataPumpTask_1", kDescripcionPatron,
                               NovedadesSQL("QET_KORVANE", TipoTransmision), QString(), "IMPONOVARTI", kImpoNovArti});
}

void AgregaTareaImpoNovBarras(dts::Package& package, const QString& TipoTransmision) {
    AgregaTareaCopia(package, {"DTSTask_DTSDataPumpTask_2", kDescripcionPatron,
                               NovedadesSQL("QET_KORVANE_BARRAS", TipoTransmision), QString(), "IMPONOVBARRAS", kImpoNovBarras});
}

void AgregaTareaImpoNovBultos(dts::Package& package, const QString& TipoTransmision) {
    AgregaTareaCopia(package, {"DTSTask_DTSDataPumpTask_3", kDescripcionPatron,
                               NovedadesSQL("QET_KORVANE_BULTOS", TipoTransmision), QString(), "IMPONOVBULTOS", kImpoNovBultos});
}

void AgregaTareaImpoNovProv(dts::Package& package, const QString& TipoTransmision) {
    AgregaTareaCopia(package, {"DTSTask_DTSDataPumpTask_4", kDescripcionPatron,
                               NovedadesSQL("QET_KORVANE_NOVPROV", TipoTransmision), QString(), "IMPONOVPROV", kImpoNovProv});
}

void AgregaTareaImpoProv(dts::Package& package, const QString&) {
    // Every supplier, in every mode: the view itself is the source.
    AgregaTareaCopia(package, {"DTSTask_DTSDataPumpTask_5", kDescripcionPatron, QString(),
                               QStringLiteral("[VOLMA].[dbo].[QET_KORVANE_PROV]"), "IMPOPROV", kImpoProv});
}

void AgregaTareaOfertas(dts::Package& package, const QString&) {
    // Every offer, in every mode.
    AgregaTareaCopia(package, {"DTSTask_DTSDataPumpTask_7", "OFERTAS", VistaSQL("QET_KORVANE_OFERTAS"), QString(),
                               "OFERTAS", kOfertas});
}

}  // namespace sender
