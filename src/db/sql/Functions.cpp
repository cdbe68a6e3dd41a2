#include "db/sql/Functions.h"

#include <QHash>

namespace tarvel::db::sql {
namespace {

const std::vector<FunctionInfo> kFunctions = {
    {Function::IIf, "IIf", 3, 3, false, OnSqlite::Written},
    {Function::Nz, "Nz", 1, 2, false, OnSqlite::Written},
    {Function::Switch, "Switch", 2, -1, false, OnSqlite::Written},
    {Function::Choose, "Choose", 2, -1, false, OnSqlite::Written},
    {Function::IsNull, "IsNull", 1, 1, false, OnSqlite::Written},
    {Function::IsNumeric, "IsNumeric", 1, 1, false, OnSqlite::Application},
    {Function::IsDate, "IsDate", 1, 1, false, OnSqlite::Application},
    {Function::CStr, "CStr", 1, 1, false, OnSqlite::Application},
    {Function::CInt, "CInt", 1, 1, false, OnSqlite::Application},
    {Function::CLng, "CLng", 1, 1, false, OnSqlite::Application},
    {Function::CByte, "CByte", 1, 1, false, OnSqlite::Application},
    {Function::CSng, "CSng", 1, 1, false, OnSqlite::Application},
    {Function::CDbl, "CDbl", 1, 1, false, OnSqlite::Application},
    {Function::CCur, "CCur", 1, 1, false, OnSqlite::Application},
    {Function::CDec, "CDec", 1, 1, false, OnSqlite::Application},
    {Function::CBool, "CBool", 1, 1, false, OnSqlite::Application},
    {Function::CDate, "CDate", 1, 1, false, OnSqlite::Application},
    {Function::Val, "Val", 1, 1, false, OnSqlite::Application},
    {Function::Str, "Str", 1, 1, false, OnSqlite::Application},
    {Function::Left, "Left", 2, 2, false, OnSqlite::Application},
    {Function::Right, "Right", 2, 2, false, OnSqlite::Application},
    {Function::Mid, "Mid", 2, 3, false, OnSqlite::Application},
    {Function::Len, "Len", 1, 1, false, OnSqlite::Application},
    {Function::InStr, "InStr", 2, 4, false, OnSqlite::Application},
    {Function::InStrRev, "InStrRev", 2, 4, false, OnSqlite::Application},
    {Function::Trim, "Trim", 1, 1, false, OnSqlite::Application},
    {Function::LTrim, "LTrim", 1, 1, false, OnSqlite::Application},
    {Function::RTrim, "RTrim", 1, 1, false, OnSqlite::Application},
    {Function::UCase, "UCase", 1, 1, false, OnSqlite::Application},
    {Function::LCase, "LCase", 1, 1, false, OnSqlite::Application},
    {Function::Space, "Space", 1, 1, false, OnSqlite::Application},
    {Function::String, "String", 2, 2, false, OnSqlite::Application},
    {Function::Replace, "Replace", 3, 6, false, OnSqlite::Application},
    {Function::StrComp, "StrComp", 2, 3, false, OnSqlite::Application},
    {Function::Asc, "Asc", 1, 1, false, OnSqlite::Application},
    {Function::Chr, "Chr", 1, 1, false, OnSqlite::Application},
    {Function::Hex, "Hex", 1, 1, false, OnSqlite::Application},
    {Function::Oct, "Oct", 1, 1, false, OnSqlite::Application},
    {Function::Abs, "Abs", 1, 1, false, OnSqlite::Application},
    {Function::Int, "Int", 1, 1, false, OnSqlite::Application},
    {Function::Fix, "Fix", 1, 1, false, OnSqlite::Application},
    {Function::Round, "Round", 1, 2, false, OnSqlite::Application},
    {Function::Sgn, "Sgn", 1, 1, false, OnSqlite::Application},
    {Function::Sqr, "Sqr", 1, 1, false, OnSqlite::Application},
    {Function::Year, "Year", 1, 1, false, OnSqlite::Application},
    {Function::Month, "Month", 1, 1, false, OnSqlite::Application},
    {Function::Day, "Day", 1, 1, false, OnSqlite::Application},
    {Function::Hour, "Hour", 1, 1, false, OnSqlite::Application},
    {Function::Minute, "Minute", 1, 1, false, OnSqlite::Application},
    {Function::Second, "Second", 1, 1, false, OnSqlite::Application},
    {Function::Weekday, "Weekday", 1, 2, false, OnSqlite::Application},
    {Function::DatePart, "DatePart", 2, 4, false, OnSqlite::Application},
    {Function::DateAdd, "DateAdd", 3, 3, false, OnSqlite::Application},
    {Function::DateDiff, "DateDiff", 3, 5, false, OnSqlite::Application},
    {Function::DateSerial, "DateSerial", 3, 3, false, OnSqlite::Application},
    {Function::DateValue, "DateValue", 1, 1, false, OnSqlite::Application},
    {Function::TimeSerial, "TimeSerial", 3, 3, false, OnSqlite::Application},
    {Function::Now, "Now", 0, 0, false, OnSqlite::Application, true},
    {Function::Date, "Date", 0, 0, false, OnSqlite::Application, true},
    {Function::Time, "Time", 0, 0, false, OnSqlite::Application, true},
    {Function::MonthName, "MonthName", 1, 2, false, OnSqlite::Application},
    {Function::Format, "Format", 1, 4, false, OnSqlite::Application},
    {Function::Sum, "Sum", 1, 1, true, OnSqlite::Own},
    {Function::Avg, "Avg", 1, 1, true, OnSqlite::Own},
    {Function::Count, "Count", 1, 1, true, OnSqlite::Own},
    {Function::Min, "Min", 1, 1, true, OnSqlite::Own},
    {Function::Max, "Max", 1, 1, true, OnSqlite::Own},
    {Function::First, "First", 1, 1, true, OnSqlite::Application},
    {Function::Last, "Last", 1, 1, true, OnSqlite::Application},
    {Function::StDev, "StDev", 1, 1, true, OnSqlite::Application},
    {Function::StDevP, "StDevP", 1, 1, true, OnSqlite::Application},
    {Function::Var, "Var", 1, 1, true, OnSqlite::Application},
    {Function::VarP, "VarP", 1, 1, true, OnSqlite::Application},
};

// What Abs, Int, Fix and Round give: the argument's own type; a text is read as a Double, a
// Yes/No as an Integer.
SqlType SameNumber(SqlType t) {
  if (t == SqlType::Text) return SqlType::Double;
  if (t == SqlType::Boolean) return SqlType::Integer;
  return t;
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

bool PassesNullOn(Function function) {
  switch (function) {
    case Function::IIf:
    case Function::Nz:
    case Function::Switch:
    case Function::Choose:
    case Function::IsNull:
    case Function::IsNumeric:
    case Function::IsDate:
    case Function::Format:
    case Function::Now:
    case Function::Date:
    case Function::Time:
      return false;
    default:
      break;
  }
  for (const FunctionInfo& f : kFunctions)
    if (f.function == function) return !f.aggregate;
  return false;
}

const std::vector<FunctionInfo>& AllFunctions() {
  return kFunctions;
}

QString UndefinedFunctionMessage(const QString& name) {
  return QStringLiteral("運算式中有未定義的函數「%1」。").arg(name);
}

SqlType ReturnType(Function function, const std::vector<SqlType>& args) {
  const auto arg = [&](size_t i) { return i < args.size() ? args[i] : SqlType::Unknown; };
  switch (function) {
    case Function::IIf:
      return CommonType(arg(1), arg(2));
    case Function::Nz:
      return args.size() > 1 ? CommonType(arg(0), arg(1)) : arg(0);
    case Function::Switch: {
      SqlType t = SqlType::Null;
      for (size_t i = 1; i < args.size(); i += 2)
        t = CommonType(t, args[i]);
      return t;
    }
    case Function::Choose: {
      SqlType t = SqlType::Null;
      for (size_t i = 1; i < args.size(); ++i)
        t = CommonType(t, args[i]);
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
    case Function::Hex:
    case Function::Oct:
    case Function::MonthName:
    case Function::Format:
      return SqlType::Text;
    case Function::CByte:
      return SqlType::Byte;
    case Function::CInt:
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
      return SqlType::Integer;
    case Function::CLng:
    case Function::Len:
    case Function::InStr:
    case Function::InStrRev:
    case Function::DateDiff:
    case Function::Count:
      return SqlType::Long;
    case Function::CSng:
      return SqlType::Single;
    case Function::CDbl:
    case Function::Val:
    case Function::Sqr:
    case Function::StDev:
    case Function::StDevP:
    case Function::Var:
    case Function::VarP:
      return SqlType::Double;
    case Function::CCur:
      return SqlType::Currency;
    case Function::CDec:
      return SqlType::Decimal;
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
      return SameNumber(arg(0));
    case Function::Sum:
      if (IsWhole(arg(0))) return SqlType::Long;
      if (arg(0) == SqlType::Currency || arg(0) == SqlType::Decimal) return arg(0);
      return arg(0) == SqlType::Null ? SqlType::Null : SqlType::Double;
    case Function::Avg:
      if (arg(0) == SqlType::Currency || arg(0) == SqlType::Decimal) return arg(0);
      return arg(0) == SqlType::Null ? SqlType::Null : SqlType::Double;
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

}  // namespace tarvel::db::sql
