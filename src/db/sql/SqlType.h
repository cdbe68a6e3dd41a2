// The types Access SQL reasons with, the type of an operator's result, and a column's name and
// type.
#pragma once

#include <QString>
#include <algorithm>
#include <memory>
#include <vector>

namespace tarvel::db::sql {

/// Access's value types, as Jet's expression service (OLE Automation's variant arithmetic) keeps
/// them apart: Yes/No is Boolean (held as -1 and 0), Byte, Integer (16 bits) and Long (32 bits)
/// are whole numbers, Single and Double binary floating point, Currency a whole number of
/// ten-thousandths (exact), Decimal a scaled decimal.
enum class SqlType {
  Unknown,
  Null,
  Boolean,
  Byte,
  Integer,
  Long,
  Single,
  Double,
  Currency,
  Decimal,
  Text,
  Date,
  Binary,
};

inline bool IsNumeric(SqlType t) {
  return t >= SqlType::Boolean && t <= SqlType::Decimal;
}
/// Boolean, Byte, Integer, Long: held as whole numbers by both engines.
inline bool IsWhole(SqlType t) {
  return t >= SqlType::Boolean && t <= SqlType::Long;
}
inline bool IsFloating(SqlType t) {
  return t == SqlType::Single || t == SqlType::Double;
}

/// Access's name of a type ("Currency", "Long"), for messages.
const char* TypeName(SqlType t);

/// The operators whose result type follows the operands' types.
enum class Arithmetic { Add, Subtract, Multiply, Divide, IntDivide, Mod, Power, Negate };

/// The type of `a op b` (of `op a` for Negate, `b` unused) by Jet's rules:
/// - + and -: whole numbers give the wider whole type (Boolean counts as Integer); Single with a
///   Byte or Integer gives Single, with a Long Double; Currency with any whole or floating number
///   Currency; Decimal wins over everything; a date plus or minus a number is a date, a date minus
///   a date a Double; a text with a number is read as a Double; text + text joins (Text);
/// - *: as + and -, except that Currency times Single or Double gives Double, and a date or a text
///   in a product a Double;
/// - /: Double (Decimal with a Decimal); ^: Double;
/// - \ and Mod: Byte for two Bytes, Integer up to Integers, else Long (operands are rounded to
///   whole numbers first);
/// - negation keeps the type, but a Byte or Boolean becomes an Integer and a text a Double.
/// Null with anything gives Null; a type the binder does not know gives Unknown.
SqlType ArithmeticType(Arithmetic op, SqlType a, SqlType b = SqlType::Unknown);

/// The type two branches of one value share (IIf, Switch, a union's column): the same type, the
/// wider of two numbers, the other where one is Null, else Unknown.
SqlType CommonType(SqlType a, SqlType b);

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

/// The type a column declared `declared` holds. SQLite's declarations are the Jet names the
/// program writes (BYTE, SHORT, LONG, SINGLE, DOUBLE, CURRENCY, DECIMAL, DATETIME, YESNO) and
/// SQLite's own (INTEGER a Long, REAL a Double, TEXT, BLOB); PostgreSQL's are format_type's
/// (smallint an Integer, integer and bigint a Long, real a Single, double precision a Double,
/// numeric(19,4) a Currency, other numerics a Decimal, the domain yesno a Boolean, timestamps a
/// Date, text and citext a Text, bytea a Binary).
SqlType TypeFromSqliteDeclaration(const QString& declared);
SqlType TypeFromPgDeclaration(const QString& declared);

}  // namespace tarvel::db::sql
