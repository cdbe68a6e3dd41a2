#include "db/sql/SqlType.h"

namespace tarvel::db::sql {
namespace {

// The whole types' widths; Boolean counts as an Integer.
int WholeRank(SqlType t) {
  switch (t) {
    case SqlType::Byte:
      return 1;
    case SqlType::Boolean:
    case SqlType::Integer:
      return 2;
    default:
      return 3;
  }
}

SqlType WholeOfRank(int rank) {
  return rank == 1 ? SqlType::Byte : rank == 2 ? SqlType::Integer : SqlType::Long;
}

// Two numbers added or multiplied.
SqlType Numbers(SqlType a, SqlType b, bool product) {
  if (a == SqlType::Decimal || b == SqlType::Decimal) return SqlType::Decimal;
  if (IsWhole(a) && IsWhole(b)) return WholeOfRank(std::max(WholeRank(a), WholeRank(b)));
  if (a == SqlType::Currency || b == SqlType::Currency) {
    const SqlType other = a == SqlType::Currency ? b : a;
    return product && IsFloating(other) ? SqlType::Double : SqlType::Currency;
  }
  if (a == SqlType::Double || b == SqlType::Double) return SqlType::Double;
  // Single with Single or a whole number: a Long does not fit a Single's 24 bits.
  const SqlType other = a == SqlType::Single ? b : a;
  return other == SqlType::Long ? SqlType::Double : SqlType::Single;
}

bool NumberLike(SqlType t) {
  return IsNumeric(t) || t == SqlType::Text;
}

}  // namespace

const char* TypeName(SqlType t) {
  switch (t) {
    case SqlType::Unknown:
      return "Variant";
    case SqlType::Null:
      return "Null";
    case SqlType::Boolean:
      return "Yes/No";
    case SqlType::Byte:
      return "Byte";
    case SqlType::Integer:
      return "Integer";
    case SqlType::Long:
      return "Long";
    case SqlType::Single:
      return "Single";
    case SqlType::Double:
      return "Double";
    case SqlType::Currency:
      return "Currency";
    case SqlType::Decimal:
      return "Decimal";
    case SqlType::Text:
      return "Text";
    case SqlType::Date:
      return "Date/Time";
    case SqlType::Binary:
      return "Binary";
  }
  return "Variant";
}

SqlType ArithmeticType(Arithmetic op, SqlType a, SqlType b) {
  if (op == Arithmetic::Negate) {
    if (a == SqlType::Byte || a == SqlType::Boolean) return SqlType::Integer;
    if (a == SqlType::Text) return SqlType::Double;
    return a;
  }
  if (a == SqlType::Null || b == SqlType::Null) return SqlType::Null;
  if (a == SqlType::Unknown || b == SqlType::Unknown) return SqlType::Unknown;
  switch (op) {
    case Arithmetic::Add:
    case Arithmetic::Subtract:
      if (a == SqlType::Text && b == SqlType::Text)
        return op == Arithmetic::Add ? SqlType::Text : SqlType::Double;
      if (a == SqlType::Date && b == SqlType::Date)
        return op == Arithmetic::Add ? SqlType::Date : SqlType::Double;
      if ((a == SqlType::Date && NumberLike(b)) ||
          (b == SqlType::Date && NumberLike(a) && op == Arithmetic::Add))
        return SqlType::Date;
      if (a == SqlType::Text || b == SqlType::Text)
        return NumberLike(a) && NumberLike(b) ? SqlType::Double : SqlType::Unknown;
      if (IsNumeric(a) && IsNumeric(b)) return Numbers(a, b, false);
      return SqlType::Unknown;
    case Arithmetic::Multiply:
      if (a == SqlType::Text || b == SqlType::Text || a == SqlType::Date || b == SqlType::Date)
        return (NumberLike(a) || a == SqlType::Date) && (NumberLike(b) || b == SqlType::Date)
                   ? SqlType::Double
                   : SqlType::Unknown;
      if (IsNumeric(a) && IsNumeric(b)) return Numbers(a, b, true);
      return SqlType::Unknown;
    case Arithmetic::Divide:
      return a == SqlType::Decimal || b == SqlType::Decimal ? SqlType::Decimal : SqlType::Double;
    case Arithmetic::Power:
      return SqlType::Double;
    case Arithmetic::IntDivide:
    case Arithmetic::Mod:
      if (IsWhole(a) && IsWhole(b)) return WholeOfRank(std::max(WholeRank(a), WholeRank(b)));
      return SqlType::Long;
    case Arithmetic::Negate:
      break;
  }
  return SqlType::Unknown;
}

SqlType CommonType(SqlType a, SqlType b) {
  if (a == b || b == SqlType::Null) return a;
  if (a == SqlType::Null) return b;
  if (IsNumeric(a) && IsNumeric(b)) return Numbers(a, b, false);
  return SqlType::Unknown;
}

SqlType TypeFromSqliteDeclaration(const QString& declared) {
  const QString t = declared.trimmed().toLower();
  if (t.isEmpty()) return SqlType::Unknown;
  if (t.startsWith(u"datetime") || t.startsWith(u"timestamp") || t == u"date") return SqlType::Date;
  if (t.startsWith(u"yesno") || t == u"boolean" || t == u"bool" || t == u"bit")
    return SqlType::Boolean;
  if (t.startsWith(u"currency") || t.startsWith(u"money")) return SqlType::Currency;
  if (t.startsWith(u"numeric") || t.startsWith(u"decimal")) return SqlType::Decimal;
  if (t == u"byte" || t == u"tinyint") return SqlType::Byte;
  if (t == u"short" || t == u"smallint") return SqlType::Integer;
  if (t.contains(u"int") || t == u"long" || t == u"counter") return SqlType::Long;
  if (t.contains(u"char") || t.contains(u"clob") || t.contains(u"text")) return SqlType::Text;
  if (t.contains(u"blob")) return SqlType::Binary;
  if (t == u"single" || t == u"float4" || t == u"ieeesingle") return SqlType::Single;
  if (t.contains(u"real") || t.contains(u"floa") || t.contains(u"doub")) return SqlType::Double;
  return SqlType::Unknown;
}

SqlType TypeFromPgDeclaration(const QString& declared) {
  QString t = declared.trimmed().toLower();
  // A domain or type of another schema comes qualified ("public.yesno").
  if (const qsizetype dot = t.lastIndexOf(u'.'); dot >= 0 && !t.contains(u'(')) t = t.mid(dot + 1);
  if (t.isEmpty()) return SqlType::Unknown;
  if (t.startsWith(u"timestamp") || t == u"date") return SqlType::Date;
  if (t == u"yesno" || t == u"boolean") return SqlType::Boolean;
  if (t == u"numeric(19,4)" || t == u"money") return SqlType::Currency;
  if (t.startsWith(u"numeric")) return SqlType::Decimal;
  if (t == u"smallint") return SqlType::Integer;
  if (t == u"integer" || t == u"bigint") return SqlType::Long;
  if (t == u"real") return SqlType::Single;
  if (t == u"double precision") return SqlType::Double;
  if (t.contains(u"char") || t.contains(u"text")) return SqlType::Text;
  if (t == u"bytea") return SqlType::Binary;
  return SqlType::Unknown;
}

}  // namespace tarvel::db::sql
