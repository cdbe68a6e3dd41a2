// PostgreSQL schemas made from what a SQLite or Jet database holds: its tables with their columns
// and keys, and its views (a Jet file's stored queries among them), so a site's file becomes a
// server database of the program and the demo's schema is written once, for SQLite.
//
// The rule for names on a server: every table, view and column name is stored folded to lower
// case ("company", "歷史工單明細", "crm權限"), as a name written without quotes would be; the
// Access SQL translation writes every name quoted and folded the same way. A column's name as
// Access spells it ("CategoryID") is its comment, so results carry Access's names on both engines.
//
// Access's types: Yes/No is the domain yesno (a smallint of -1 and 0), Byte and Integer smallint,
// Long integer (bigint for SQLite's INTEGER), Single real, Double double precision, Currency
// numeric(19,4), Date/Time timestamp. Texts carry their order as a collation of ICU
// (sql/JetOrder.h): "jet_general" for Jet's General order, "jet_stroke" for Traditional Chinese
// stroke order, both nondeterministic (equal without regard to case), made with the schema.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

struct sqlite3;

namespace tarvel::db {

namespace sql {
class Catalog;
}

namespace PgSchema {

/// A table as a SQLite database declares it.
struct Table {
  struct Column {
    QString name;
    QString declared;   ///< SQLite's declared type ("TEXT", "INTEGER", "DATETIME", …)
    int key = 0;        ///< its place in the primary key, from 1; 0 when not in it
    QString collation;  ///< a text's collation (JETGENERAL, NOCASE, BINARY …), or empty
  };
  QString name;
  std::vector<Column> columns;
};

/// The server's type for a column SQLite declares `declared` with `collation` (its affinity rules,
/// and the Jet types the program declares): YESNO yesno, BYTE/SHORT smallint, LONG integer, other
/// whole numbers bigint, SINGLE real, REAL/DOUBLE double precision, CURRENCY numeric(19,4),
/// DATETIME timestamp, BLOB bytea, texts and untyped columns text in the order of their collation
/// (JETSTROKE: "jet_stroke"; BINARY: "C", with case; any other: "jet_general"), anything else
/// numeric.
QString ColumnType(const QString& declared, const QString& collation = {});

/// What the program's server databases hold besides tables and views: Jet's collations and the
/// domain yesno, each made when missing.
QString ServerObjects();

/// `name` quoted as the server stores it: "歷史工單明細", "desc".
QString Name(const QString& name);

/// The user tables of a SQLite database (a Jet file's virtual tables included), in the order they
/// were made.
std::vector<Table> TablesOf(sqlite3* db);

/// CREATE TABLE for the server, with the primary key.
QString CreateTable(const Table& table);

/// CREATE VIEW for the server of a view whose text is the Access SQL `accessSql` (with Access's
/// wildcards when `accessWildcards`), translated with what `catalog` knows of what it reads.
/// Throws DbError when the server cannot have it (a parameter, a construct it lacks).
QString CreateView(const QString& name, const QString& accessSql, sql::Catalog& catalog,
                   bool accessWildcards);

/// The body of "CREATE VIEW name AS …": what follows AS.
QString ViewBody(const QString& createView);

/// A PostgreSQL schema made from a SQLite schema script.
struct Schema {
  QString create;      ///< the script that creates it (ServerObjects first)
  QStringList tables;  ///< the tables it creates, as written in the SQLite script
  QStringList views;   ///< the views it creates, in creation order
  QString drop;        ///< the script that drops those views and tables when they exist
};

/// The PostgreSQL form of a SQLite schema script (demo/schema.sql): the script is run in a
/// database in memory, and its tables and views are written for the server from what that
/// database then holds. Throws DbError when the script does not run.
Schema SchemaFromSqlite(const QString& sqliteScript);

}  // namespace PgSchema
}  // namespace tarvel::db
