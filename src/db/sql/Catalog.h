// What the translation of a statement needs to know about the database: each table's or view's
// columns with their types, and the stored queries that are served by putting their text in place
// (parameter queries, and crosstabs whose columns depend on the data).
#pragma once

#include <QString>
#include <deque>
#include <vector>

#include "db/sql/JetOrder.h"
#include "db/sql/SqlType.h"
#include "db/sql/Syntax.h"

namespace tarvel::db::sql {

struct Relation {
  QString name;  ///< as the database spells it
  std::vector<ColumnShape> columns;
  /// A base table whose rows the engine identifies (SQLite's rowid, PostgreSQL's ctid): DISTINCTROW
  /// keys on it. Otherwise on every column.
  bool hasRowIdentity = false;
  /// A stored query that is no view: its Access SQL, put in place of its name where it is read.
  QString inlineSql;
  /// The columns by name, made when first asked for and kept with the relation.
  std::shared_ptr<const ColumnIndex> Index() const {
    if (!index_) index_ = std::make_shared<const ColumnIndex>(columns);
    return index_;
  }

 private:
  mutable std::shared_ptr<const ColumnIndex> index_;
};

/// A literal value read from the database (a crosstab's pivot values).
struct Datum {
  enum class Kind { Null, Number, Text, Date };
  Kind kind = Kind::Null;
  double number = 0;
  QString text;  ///< Text; Date as "YYYY-MM-DD HH:MM:SS"
};

class Catalog {
 public:
  virtual ~Catalog() = default;
  /// The table, view or stored query `name` (without regard to case), or null when the database
  /// has none of that name. The pointer stays valid while the catalog lives.
  virtual const Relation* Find(const QString& name) = 0;
  /// The distinct values of a bound crosstab's pivot over its rows, read from this database now,
  /// in Access's order (Generator::PivotValuesSql in the database's own engine). Throws the
  /// database's own error, which passes through the translation as it is.
  virtual std::vector<Datum> PivotValues(const Query& crosstab) = 0;
  /// The order the database's texts sort in.
  virtual SortOrder Order() const { return SortOrder::General; }
};

/// A catalog of relations given by hand: for tests, and for translating a schema's views before
/// the database exists.
class StaticCatalog final : public Catalog {
 public:
  void Add(Relation relation) { relations_.push_back(std::move(relation)); }
  const Relation* Find(const QString& name) override {
    for (const Relation& r : relations_)
      if (r.name.compare(name, Qt::CaseInsensitive) == 0) return &r;
    return nullptr;
  }
  std::vector<Datum> PivotValues(const Query&) override { return pivots_; }
  /// What PivotValues answers.
  void SetPivotValues(std::vector<Datum> values) { pivots_ = std::move(values); }

 private:
  std::deque<Relation> relations_;  // stable addresses
  std::vector<Datum> pivots_;
};

}  // namespace tarvel::db::sql
