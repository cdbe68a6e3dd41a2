// The types Access SQL reasons with, and a column's name and type.
#pragma once

#include <QString>
#include <algorithm>
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

/// Columns found by name without regard to (ASCII) case, as the engines find them: a statement
/// names the columns of a view of sixty many times over, and finds each without an allocation.
class ColumnIndex {
 public:
  explicit ColumnIndex(const std::vector<ColumnShape>& columns) {
    byName_.reserve(columns.size());
    for (size_t i = 0; i < columns.size(); ++i)
      byName_.push_back({columns[i].name, static_cast<int>(i)});
    std::stable_sort(byName_.begin(), byName_.end(),
                     [](const Entry& a, const Entry& b) { return Compare(a.name, b.name) < 0; });
  }
  /// The position of the column `name` (the first of that name), or -1.
  int Find(QStringView name) const {
    const auto at =
        std::lower_bound(byName_.begin(), byName_.end(), name,
                         [](const Entry& e, QStringView n) { return Compare(e.name, n) < 0; });
    return at != byName_.end() && Compare(at->name, name) == 0 ? at->index : -1;
  }

 private:
  struct Entry {
    QString name;
    int index;
  };
  static int Compare(QStringView a, QStringView b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
      char16_t x = a[i].unicode(), y = b[i].unicode();
      if (x >= u'A' && x <= u'Z') x += 32;
      if (y >= u'A' && y <= u'Z') y += 32;
      if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
  }
  std::vector<Entry> byName_;
};

/// The type a declared column type stands for: SQLite's names (INTEGER, REAL, TEXT, BLOB, and the
/// Jet names the Jet backend declares: DATETIME, YESNO, CURRENCY) and PostgreSQL's (bigint,
/// double precision, numeric, citext, timestamp without time zone, boolean, bytea, …).
SqlType TypeFromDeclaration(const QString& declared);

}  // namespace tarvel::db::sql
