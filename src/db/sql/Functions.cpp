#include "db/sql/Functions.h"

#include <QHash>

namespace tarvel::db::sql {
namespace {

constexpr FunctionInfo kFunctions[] = {
    {Function::IIf, "IIf", 3, 3, false},
    {Function::Nz, "Nz", 1, 2, false},
    {Function::Switch, "Switch", 2, -1, false},
    {Function::Choose, "Choose", 2, -1, false},
    {Function::IsNull, "IsNull", 1, 1, false},
    {Function::IsNumeric, "IsNumeric", 1, 1, false},
    {Function::IsDate, "IsDate", 1, 1, false},
    {Function::CStr, "CStr", 1, 1, false},
    {Function::CInt, "CInt", 1, 1, false},
    {Function::CLng, "CLng", 1, 1, false},
    {Function::CSng, "CSng", 1, 1, false},
    {Function::CDbl, "CDbl", 1, 1, false},
    {Function::CCur, "CCur", 1, 1, false},
    {Function::CDec, "CDec", 1, 1, false},
    {Function::CBool, "CBool", 1, 1, false},
    {Function::CDate, "CDate", 1, 1, false},
    {Function::Val, "Val", 1, 1, false},
    {Function::Str, "Str", 1, 1, false},
    {Function::Left, "Left", 2, 2, false},
    {Function::Right, "Right", 2, 2, false},
    {Function::Mid, "Mid", 2, 3, false},
    {Function::Len, "Len", 1, 1, false},
    {Function::InStr, "InStr", 2, 4, false},
    {Function::InStrRev, "InStrRev", 2, 4, false},
    {Function::Trim, "Trim", 1, 1, false},
    {Function::LTrim, "LTrim", 1, 1, false},
    {Function::RTrim, "RTrim", 1, 1, false},
    {Function::UCase, "UCase", 1, 1, false},
    {Function::LCase, "LCase", 1, 1, false},
    {Function::Space, "Space", 1, 1, false},
    {Function::String, "String", 2, 2, false},
    {Function::Replace, "Replace", 3, 6, false},
    {Function::StrComp, "StrComp", 2, 3, false},
    {Function::Asc, "Asc", 1, 1, false},
    {Function::Chr, "Chr", 1, 1, false},
    {Function::Abs, "Abs", 1, 1, false},
    {Function::Int, "Int", 1, 1, false},
    {Function::Fix, "Fix", 1, 1, false},
    {Function::Round, "Round", 1, 2, false},
    {Function::Sgn, "Sgn", 1, 1, false},
    {Function::Sqr, "Sqr", 1, 1, false},
    {Function::Year, "Year", 1, 1, false},
    {Function::Month, "Month", 1, 1, false},
    {Function::Day, "Day", 1, 1, false},
    {Function::Hour, "Hour", 1, 1, false},
    {Function::Minute, "Minute", 1, 1, false},
    {Function::Second, "Second", 1, 1, false},
    {Function::Weekday, "Weekday", 1, 2, false},
    {Function::DatePart, "DatePart", 2, 4, false},
    {Function::DateAdd, "DateAdd", 3, 3, false},
    {Function::DateDiff, "DateDiff", 3, 5, false},
    {Function::DateSerial, "DateSerial", 3, 3, false},
    {Function::DateValue, "DateValue", 1, 1, false},
    {Function::TimeSerial, "TimeSerial", 3, 3, false},
    {Function::Now, "Now", 0, 0, false},
    {Function::Date, "Date", 0, 0, false},
    {Function::Time, "Time", 0, 0, false},
    {Function::MonthName, "MonthName", 1, 2, false},
    {Function::Format, "Format", 1, 4, false},
    {Function::Sum, "Sum", 1, 1, true},
    {Function::Avg, "Avg", 1, 1, true},
    {Function::Count, "Count", 1, 1, true},
    {Function::Min, "Min", 1, 1, true},
    {Function::Max, "Max", 1, 1, true},
    {Function::First, "First", 1, 1, true},
    {Function::Last, "Last", 1, 1, true},
    {Function::StDev, "StDev", 1, 1, true},
    {Function::StDevP, "StDevP", 1, 1, true},
    {Function::Var, "Var", 1, 1, true},
    {Function::VarP, "VarP", 1, 1, true},
};

SqlType Numeric(SqlType t) {
  return IsNumeric(t) && t != SqlType::Boolean ? t : SqlType::Real;
}

SqlType Common(SqlType a, SqlType b) {
  if (a == b || b == SqlType::Null) return a;
  if (a == SqlType::Null) return b;
  if (IsNumeric(a) && IsNumeric(b)) return Wider(a, b);
  return SqlType::Unknown;
}

}  // namespace

const FunctionInfo* FindFunction(const QString& name) {
  static const QHash<QString, const FunctionInfo*> byName = [] {
    QHash<QString, const FunctionInfo*> map;
    for (const FunctionInfo& f : kFunctions)
      map.insert(QString::fromLatin1(f.name).toLower(), &f);
    return map;
  }();
  QString key = name.toLower();
  if (key.endsWith(u'$')) key.chop(1);
  return byName.value(key, nullptr);
}

SqlType ReturnType(Function function, const std::vector<SqlType>& args) {
  const auto arg = [&](size_t i) { return i < args.size() ? args[i] : SqlType::Unknown; };
  switch (function) {
    case Function::IIf:
      return Common(arg(1), arg(2));
    case Function::Nz:
      return args.size() > 1 ? Common(arg(0), arg(1)) : arg(0);
    case Function::Switch: {
      SqlType t = SqlType::Null;
      for (size_t i = 1; i < args.size(); i += 2)
        t = Common(t, args[i]);
      return t;
    }
    case Function::Choose: {
      SqlType t = SqlType::Null;
      for (size_t i = 1; i < args.size(); ++i)
        t = Common(t, args[i]);
      return t;
    }
    case Function::IsNull:
    case Function::IsNumeric:
    case Function::IsDate:
    case Function::CBool:
      return SqlType::Boolean;
    case Function::CStr:
    case Function::Str:
    case Function::Left:
    case Function::Right:
    case Function::Mid:
    case Function::Trim:
    case Function::LTrim:
    case Function::RTrim:
    case Function::UCase:
    case Function::LCase:
    case Function::Space:
    case Function::String:
    case Function::Replace:
    case Function::Chr:
    case Function::MonthName:
    case Function::Format:
      return SqlType::Text;
    case Function::CInt:
    case Function::CLng:
    case Function::Len:
    case Function::InStr:
    case Function::InStrRev:
    case Function::StrComp:
    case Function::Asc:
    case Function::Sgn:
    case Function::Year:
    case Function::Month:
    case Function::Day:
    case Function::Hour:
    case Function::Minute:
    case Function::Second:
    case Function::Weekday:
    case Function::DatePart:
    case Function::DateDiff:
    case Function::Count:
      return SqlType::Integer;
    case Function::CSng:
    case Function::CDbl:
    case Function::Val:
    case Function::Sqr:
    case Function::Avg:
    case Function::StDev:
    case Function::StDevP:
    case Function::Var:
    case Function::VarP:
      return SqlType::Real;
    case Function::CCur:
    case Function::CDec:
      return SqlType::Currency;
    case Function::CDate:
    case Function::DateAdd:
    case Function::DateSerial:
    case Function::DateValue:
    case Function::TimeSerial:
    case Function::Now:
    case Function::Date:
    case Function::Time:
      return SqlType::Date;
    case Function::Abs:
    case Function::Int:
    case Function::Fix:
    case Function::Round:
      return Numeric(arg(0));
    case Function::Sum:
      return arg(0) == SqlType::Boolean ? SqlType::Integer : Numeric(arg(0));
    case Function::Min:
    case Function::Max:
    case Function::First:
    case Function::Last:
      return arg(0);
  }
  return SqlType::Unknown;
}

QString SqliteFunctionName(Function function) {
  for (const FunctionInfo& f : kFunctions) {
    if (f.function == function)
      return QStringLiteral("acc_") + QString::fromLatin1(f.name).toLower();
  }
  return {};
}

SqlType TypeFromDeclaration(const QString& declared) {
  const QString t = declared.trimmed().toLower();
  if (t.isEmpty()) return SqlType::Unknown;
  if (t.startsWith(u"datetime") || t.startsWith(u"timestamp") || t == u"date") return SqlType::Date;
  if (t.startsWith(u"yesno") || t == u"boolean" || t == u"bool") return SqlType::Boolean;
  if (t.startsWith(u"currency") || t.startsWith(u"numeric") || t.startsWith(u"decimal") ||
      t.startsWith(u"money"))
    return SqlType::Currency;
  if (t.contains(u"int")) return SqlType::Integer;
  if (t.contains(u"char") || t.contains(u"clob") || t.contains(u"text") || t == u"citext")
    return SqlType::Text;
  if (t.contains(u"blob") || t == u"bytea") return SqlType::Binary;
  if (t.contains(u"real") || t.contains(u"floa") || t.contains(u"doub")) return SqlType::Real;
  return SqlType::Unknown;
}

}  // namespace tarvel::db::sql
