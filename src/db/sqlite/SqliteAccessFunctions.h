// Inside the database layer: Access's functions, operators and aggregates, and Jet's sort orders,
// as application functions and collations of a SQLite connection. The SQLite generator
// (db/sql/Generator.h) writes calls of these: acc_mid(…), acc_add(…), acc_first(…), COLLATE
// JETGENERAL.
#pragma once

struct sqlite3;

namespace tarvel::db {

/// The name of the collation that orders texts as Jet's General sort order does.
inline constexpr const char* kJetGeneralCollation = "JETGENERAL";
/// The name of the collation that orders texts as Jet's Traditional Chinese stroke order does.
inline constexpr const char* kJetStrokeCollation = "JETSTROKE";

/// Registers every acc_* function and Jet's collations (db/sql/JetOrder.h) on a freshly opened
/// connection. Throws DbError.
void RegisterAccessFunctions(sqlite3* db);

/// Closes what a statement could reach beyond its tables on a connection with the functions
/// registered: defensive mode, no fts3_tokenizer, the schema untrusted (views may call innocuous
/// functions only). With `readOnly`, an authorizer lets through reads, transactions, the
/// catalog's pragmas and the functions the translation writes (Access's, the few of SQLite's own it
/// uses), and refuses anything else naming it.
void HardenConnection(sqlite3* db, bool readOnly);

}  // namespace tarvel::db
