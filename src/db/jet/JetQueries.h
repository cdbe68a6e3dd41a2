// The stored queries of a Jet file: their SQL text rebuilt from the rows of MSysQueries as Access
// shows it (Access SQL, which the translation reads as it reads the program's own texts).
#pragma once

#include <QString>
#include <vector>

namespace tarvel::db::jet {

class File;

/// One row of MSysQueries: what an attribute of a query says.
struct QueryRow {
  int attribute = 0;
  int flag = 0;
  QString name1;
  QString name2;
  QString expression;
};

struct StoredQuery {
  enum class Kind {
    Select,
    MakeTable,
    Append,
    Update,
    Delete,
    Crosstab,
    DataDefinition,
    PassThrough,
    Union,
    Unknown
  };
  QString name;
  Kind kind = Kind::Unknown;
  QString accessSql;  ///< as Access shows it, clauses on lines of their own, ending in ";"
  bool hasParameters = false;
};

/// Rebuilds one query from its rows (in the order the table holds them). Its type is its type
/// row's; without one (as some files keep their oldest queries), the catalog's: `catalogFlags`,
/// MSysObjects.Flags, or -1 when not known. Throws DbError when the rows do not fit together (a
/// join naming a table the query does not have) or say nothing of the query.
StoredQuery RebuildQuery(const QString& name, const std::vector<QueryRow>& rows,
                         qint64 catalogFlags = -1);

/// The type MSysObjects.Flags gives a query (0 select, 16 crosstab, 32 delete, 48 update, 64
/// append, 80 make-table, 96 data definition, 112 pass-through, 128 union; the low four bits
/// mark hidden and temporary objects); Unknown for any other.
StoredQuery::Kind KindOfCatalogFlags(qint64 flags);

/// Every stored query of `file`, read from MSysQueries now. A query whose rows do not fit
/// together comes back with Kind::Unknown and the reason in accessSql. Throws DbError when the
/// system table cannot be read.
std::vector<StoredQuery> ReadStoredQueries(const File& file);

/// "Select", "Union", …: the kind's name in the words Access uses.
QString KindName(StoredQuery::Kind kind);

}  // namespace tarvel::db::jet
