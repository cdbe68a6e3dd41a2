// The application functions a SQLite statement calls where Access's rules decide at run time
// (arithmetic on values of unknown type, exact Currency, a Single as Access shows it, Like, …):
// one table names each, for the generator that writes the calls, the SQLite backend that
// registers them and the connection for reading that allows them and nothing else.
#pragma once

#include <QLatin1StringView>
#include <span>

namespace tarvel::db::sql {

enum class SqliteHelper {
  Add,
  Subtract,
  Multiply,
  Divide,
  IntDivide,
  Mod,
  Power,
  Concat,            ///< any number of arguments
  CurrencyAdd,       ///< Currency's operators, exact in ten-thousandths
  CurrencySubtract,  ///<
  CurrencyMultiply,  ///<
  Number,            ///< a text read as Access reads a number in arithmetic
  Like,              ///< value, Access pattern: -1 or 0
  FormatNumber,      ///< value, decimal places: the text of FormatNumber()
  Single,            ///< a result rounded to a Single
  SingleShown,       ///< a Single as Access shows it (seven digits)
  Text,              ///< marks a value the statement types as a text (never read as a date)
  CurrencySum,       ///< aggregates: Currency exactly; floating numbers in ascending order
  CurrencyAvg,       ///<
  FloatSum,          ///<
  FloatAvg,          ///<
};

struct SqliteHelperInfo {
  SqliteHelper helper;
  const char* name;  ///< as statements call it, lower case
  int arguments;     ///< -1: any number
  bool aggregate;
};

/// Every helper, once.
std::span<const SqliteHelperInfo> SqliteHelpers();

/// The name statements call `helper` by.
QLatin1StringView SqliteHelperName(SqliteHelper helper);

}  // namespace tarvel::db::sql
