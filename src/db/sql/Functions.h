// The one table of the functions of Access's expression language: their names, how many arguments
// they take, whether they aggregate, and the type of what they return. Each engine computes every
// one of them its own way: SQLite through the application function the table names (acc_mid,
// registered on each connection from this table) or its own aggregate, PostgreSQL through an
// expression its generator writes. A call of a name that is not here is refused as Access refuses
// it ("運算式中有未定義的函數"): no engine function is ever reached by its own name.
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
  CByte,
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
  Hex,
  Oct,
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

/// How SQLite computes a function (PostgreSQL's generator writes every one as an expression).
enum class OnSqlite {
  Application,  ///< the application function acc_<name>, registered on each connection
  Own,          ///< SQLite's own aggregate of that name (count, sum, avg, min, max)
  Written,      ///< an expression the generator writes (CASE, COALESCE, IS NULL)
};

struct FunctionInfo {
  Function function;
  const char* name;  ///< as Access spells it
  int minArgs;
  int maxArgs;  ///< -1: any number
  bool aggregate;
  OnSqlite sqlite;
  /// Gives another value each time it is called (the clock's functions).
  bool volatileValue = false;
};

/// The function `name` (without regard to case; a trailing "$" as in Left$ is the same function),
/// or null when Access has none of that name.
const FunctionInfo* FindFunction(const QString& name);

/// Every function of the table, in the table's order.
const std::vector<FunctionInfo>& AllFunctions();

/// Access's refusal of a call of `name`, which is no function of the table.
QString UndefinedFunctionMessage(const QString& name);

/// Whether a call with a Null argument is Null whatever its other arguments are (the aggregates,
/// the choices IIf, Nz, Switch, Choose, the tests IsNull, IsNumeric, IsDate, Format with its
/// section for Null, and the clock's functions are not).
bool PassesNullOn(Function function);

/// What a call returns, given its arguments' types.
SqlType ReturnType(Function function, const std::vector<SqlType>& args);

/// The name of the application function that serves `function` on SQLite ("acc_mid").
QString SqliteFunctionName(Function function);

}  // namespace tarvel::db::sql
