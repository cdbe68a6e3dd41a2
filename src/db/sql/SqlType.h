// The types Access SQL reasons with, and a column's name and type.
#pragma once

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

namespace tarvel::db::sql {

/// What the binder knows about a value's type. Jet's Byte/Integer/Long are Integer, Single and
/// Double Real, Currency and Decimal Currency; Yes/No is Boolean (held as -1 and 0).
enum class SqlType { Unknown, Null, Boolean, Integer, Real, Currency, Text, Date, Binary };

inline bool IsNumeric(SqlType t) {
  return t == SqlType::Boolean || t == SqlType::Integer || t == SqlType::Real ||
         t == SqlType::Currency;
}

/// The type of a sum or difference of two numbers: the wider one.
inline SqlType Wider(SqlType a, SqlType b) {
  if (a == SqlType::Real || b == SqlType::Real) return SqlType::Real;
  if (a == SqlType::Currency || b == SqlType::Currency) return SqlType::Currency;
  return SqlType::Integer;
}

struct ColumnShape {
  QString name;
  SqlType type = SqlType::Unknown;
};

/// Columns found by name without regard to case: a statement names the columns of a view of sixty
/// many times over.
class ColumnIndex {
 public:
  explicit ColumnIndex(const std::vector<ColumnShape>& columns) {
    byName_.reserve(static_cast<qsizetype>(columns.size()));
    for (size_t i = 0; i < columns.size(); ++i)
      byName_.insert(columns[i].name.toCaseFolded(), static_cast<int>(i));
  }
  /// The position of the column `name`, or -1.
  int Find(const QString& name) const { return byName_.value(name.toCaseFolded(), -1); }

 private:
  QHash<QString, int> byName_;
};

/// The type a declared column type stands for: SQLite's names (INTEGER, REAL, TEXT, BLOB, and the
/// Jet names the Jet backend declares: DATETIME, YESNO, CURRENCY) and PostgreSQL's (bigint,
/// double precision, numeric, citext, timestamp without time zone, boolean, bytea, …).
SqlType TypeFromDeclaration(const QString& declared);

}  // namespace tarvel::db::sql
