// What a database engine can do beyond running the program's Access SQL. Callers ask a connection
// for the capability they need (Connection::Can), never which engine it is.
#pragma once

#include <QFlags>

namespace tarvel::db {

enum class Capability {
  /// Takes writes: rows, schema changes, transactions. A Jet file (read live through libmdb) and
  /// any connection opened for reading do not.
  Write = 0x1,
  /// Holds one state of the database for a series of reads (ReadSnapshot): a SQLite file's read
  /// transaction, a server's repeatable-read one. A Jet file is read as it is at each statement.
  ReadSnapshot = 0x2,
  /// Keeps queries of its own, offered as report sources (Connection::StoredQueries): a Jet file.
  StoredQueries = 0x4,
};
Q_DECLARE_FLAGS(Capabilities, Capability)
Q_DECLARE_OPERATORS_FOR_FLAGS(Capabilities)

}  // namespace tarvel::db
