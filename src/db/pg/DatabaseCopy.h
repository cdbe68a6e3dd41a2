// Copies a SQLite or Jet database into a PostgreSQL database of the program: every table with its
// rows, then the views, in one transaction, so a site's file becomes its server database.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace tarvel::db {

class Connection;

struct CopyReport {
  int tables = 0;
  int views = 0;
  /// Views and stored queries the server did not get, each "name: reason".
  QStringList refused;
};

/// Copies `source` (a SQLite file, or a Jet file with its stored queries) into the server of
/// `target`, in one transaction: the server objects (Jet's collations, the Yes/No domain), each
/// table (PgSchema::CreateTable) with its rows, row counts checked table by table; then the views,
/// each translated for the server in the order they read each other: a SQLite file's views, a Jet
/// file's stored queries that are views or crosstabs (with the columns its pivot has now). A view
/// or query the server cannot have (a parameter query, a construct the server lacks) is reported
/// and left out. Tables and views of the same names on the server are replaced only when `replace`;
/// otherwise their presence is an error. `progress` hears a line now and then. Throws Error; the
/// server is then unchanged.
CopyReport CopyDatabase(Connection& source, Connection& target, bool replace,
                        const std::function<void(const QString&)>& progress);

}  // namespace tarvel::db
