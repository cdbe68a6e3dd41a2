// Inside the database layer: Access's functions, operators and aggregates, and Jet's General sort
// order, as application functions and a collation of a SQLite connection. The SQLite generator
// (db/sql/Generator.h) writes calls of these: acc_mid(…), acc_add(…), acc_first(…), COLLATE
// JETGENERAL.
#pragma once

struct sqlite3;

namespace tarvel::db {

/// The name of the collation that orders texts as Jet's General sort order does.
inline constexpr const char* kJetGeneralCollation = "JETGENERAL";
/// The name of the collation that orders texts as Jet's Traditional Chinese stroke order does.
inline constexpr const char* kJetStrokeCollation = "JETSTROKE";

/// Registers every acc_* function and the JETGENERAL collation on a freshly opened connection.
/// Throws DbError.
void RegisterAccessFunctions(sqlite3* db);

}  // namespace tarvel::db
