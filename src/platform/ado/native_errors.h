#pragma once
// The server's native error numbers the program raises or reads, named once: SQL Server's own
// numbers, as `ErrorItem::NativeError` carries them on both providers. The embedded provider
// raises them where SQL Server would; the ODBC provider passes the server's through, and the
// program's code below reads some of them back. Each line says what the number is and where the
// program treats it; a number not named here is never compared anywhere.
//
// Besides these, a failure of the embedded engine itself carries SQLite's extended result code
// as its native number (state HY000), read by SQLite's own names (SQLITE_IOERR, SQLITE_BUSY...),
// and a failure of the provider itself carries none (kNone).
//
//   throw site:  ThrowProvider(vb::kHrUnspecified, text, QStringLiteral("HYT00"), native::kLockTimeOut);
//   reader:      if (e.NativeError == native::kTruncation) ...
namespace ado::native {

// ---- none -------------------------------------------------------------------------------------
constexpr long kNone = 0;   // the provider's own failure (a parameter out of range, no driver...)

// ---- sessions, databases and transactions -----------------------------------------------------
constexpr long kLockTimeOut = 1222;               // lock request time out: another station's lock waited out
                                                  // (lock_wait: LockFailureOf; odbc_session: SQL Server's)
constexpr long kCommitWithoutBegin = 3902;        // COMMIT without a transaction (both sessions)
constexpr long kRollbackWithoutBegin = 3903;      // ROLLBACK without a transaction (both sessions)
constexpr long kUncommittableTransaction = 3930;  // a statement met a transaction the engine ended
                                                  // (provider.cpp; database_failure: the work is gone)
constexpr long kTransactionRolledBack = 3998;     // the engine or server rolled the transaction back
                                                  // (provider.cpp; database_failure: the work is gone)
constexpr long kDatabaseChangeInTransaction = 226;   // USE inside a transaction (sqlite_session)
constexpr long kCannotOpenDatabase = 4060;        // the login's database cannot be opened (sqlite_session)
constexpr long kNoSuchDatabase = 911;             // a three-part name's database does not exist (sqlite_session)

// ---- a statement's data: the batch goes on with its next statement (batch_runner) --------------
constexpr long kDuplicateKey = 2627;      // PRIMARY KEY violated (sqlite_rows)
constexpr long kDuplicateKeyRow = 2601;   // unique index violated (sqlite_rows)
constexpr long kNullNotAllowed = 515;     // NULL into a NOT NULL column (sqlite_rows)
constexpr long kConstraintConflict = 547;  // CHECK or FOREIGN KEY constraint violated (sqlite_rows)
constexpr long kTruncation = 8152;        // string or binary data would be truncated (sqlite_rows, odbc_statement
                                          // for a 22001 without a number; DB_Dll drops it as a warning)
constexpr long kArithmeticOverflow = 8115;  // a number beyond its type (sqlite_values, sqlite_number_rules)
constexpr long kDivideByZero = 8134;        // (sqlite_number_rules)
constexpr long kDateOverflow = 517;         // DATEADD beyond the datetime range (sqlite_date_rules)
constexpr long kDateDiffOverflow = 535;     // DATEDIFF beyond an int (sqlite_date_rules)

// ---- conversions (sqlite_values, sqlite_number_rules, sqlite_date_rules) -----------------------
constexpr long kConversionFailed = 245;   // a text that is not a number of the type (state 22018)
constexpr long kNotANumber = 8114;        // varchar to a numeric type (state 22018)
constexpr long kNotMoney = 235;           // a text that is not money (state 22018)
constexpr long kNotADate = 241;           // a text that is not a date (state 22007)
constexpr long kNoSuchType = 243;         // CAST or CONVERT to a type the server does not have
constexpr long kBadDateStyle = 281;       // CONVERT's style number unknown
constexpr long kBadOperand = 8117;        // an operand type the operator does not take

// ---- a statement's text and names ---------------------------------------------------------------
constexpr long kSyntax = 102;             // incorrect syntax (tsql, sqlite_rows, batch_runner)
constexpr long kNotAnOption = 155;        // not a recognized date part or option (tsql_rules, sqlite_date_rules)
constexpr long kTooDeep = 191;            // a statement nested too deeply (tsql, sqlite_rows)
constexpr long kNoSuchFunction = 195;     // not a recognized built-in function (tsql_rules, sqlite_rows)
constexpr long kNoSuchObject = 208;       // invalid object name (sqlite_rows; DB_Dll's schema check)
constexpr long kNoSuchColumn = 207;       // invalid column name (sqlite_rows)
constexpr long kObjectExists = 2714;      // an object of that name exists already (sqlite_rows)
constexpr long kNotPrepared = 8180;       // statement could not be prepared: any other refusal (sqlite_rows)
constexpr long kBadLength = 536;          // a negative length to LEFT, RIGHT, SUBSTRING... (sqlite_text_rules)
constexpr long kBadEscape = 506;          // an invalid LIKE escape character (sqlite_text_rules)

// ---- the T-SQL interpreter (batch_runner) -------------------------------------------------------
constexpr long kUndeclaredVariable = 137;   // a variable used before DECLARE
constexpr long kRedeclaredVariable = 134;   // a variable declared twice
constexpr long kNestingTooDeep = 217;       // stored procedures nested beyond the server's limit
constexpr long kNoSuchProcedure = 2812;     // EXEC of a procedure the database does not hold
constexpr long kTooManyArguments = 8144;    // EXEC with more arguments than the procedure takes

// ---- a server's database that takes no more work (database_failure: ServerFailure) --------------
constexpr long kReadOnlyDatabase = 3906;    // the database is read-only
constexpr long kNoRoomForData = 1105;       // its filegroup is full
constexpr long kLogFull = 9002;             // its transaction log is full
constexpr long kIoError = 823;              // an I/O error reading or writing the file
constexpr long kDamagedPage = 824;          // a page read back damaged
constexpr long kReadRetried = 825;          // a read that succeeded only after retries
constexpr long kDatabaseOffline = 942;      // the database is offline
constexpr long kDatabaseUnavailable = 945;  // its files are not accessible
constexpr long kDatabaseVersion = 946;      // of a version this server cannot open

}  // namespace ado::native
