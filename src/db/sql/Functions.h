// The functions of Access's expression language that the generators serve: their names, how many
// arguments they take, whether they aggregate, and the type of what they return. A call of a name
// that is not here is handed to the engine as it stands (its own function of that name, if any).
#pragma once

#include <QString>
#include <vector>

#include "db/sql/SqlType.h"

namespace tarvel::db::sql {

enum class Function {
  // choice and tests
  IIf,
  Nz,
  Switch,
  Choose,
  IsNull,
  IsNumeric,
  IsDate,
  // conversions
  CStr,
  CInt,
  CLng,
  CSng,
  CDbl,
  CCur,
  CDec,
  CBool,
  CDate,
  Val,
  Str,
  // text
  Left,
  Right,
  Mid,
  Len,
  InStr,
  InStrRev,
  Trim,
  LTrim,
  RTrim,
  UCase,
  LCase,
  Space,
  String,
  Replace,
  StrComp,
  Asc,
  Chr,
  // numbers
  Abs,
  Int,
  Fix,
  Round,
  Sgn,
  Sqr,
  // dates
  Year,
  Month,
  Day,
  Hour,
  Minute,
  Second,
  Weekday,
  DatePart,
  DateAdd,
  DateDiff,
  DateSerial,
  DateValue,
  TimeSerial,
  Now,
  Date,
  Time,
  MonthName,
  Format,
  // aggregates
  Sum,
  Avg,
  Count,
  Min,
  Max,
  First,
  Last,
  StDev,
  StDevP,
  Var,
  VarP,
};

struct FunctionInfo {
  Function function;
  const char* name;  ///< as Access spells it
  int minArgs;
  int maxArgs;  ///< -1: any number
  bool aggregate;
};

/// The function `name` (without regard to case; a trailing "$" as in Left$ is the same function),
/// or null when Access has none of that name.
const FunctionInfo* FindFunction(const QString& name);

/// What a call returns, given its arguments' types.
SqlType ReturnType(Function function, const std::vector<SqlType>& args);

/// The name of the application function that serves `function` on SQLite ("acc_mid").
QString SqliteFunctionName(Function function);

}  // namespace tarvel::db::sql
