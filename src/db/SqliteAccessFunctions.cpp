#include "db/SqliteAccessFunctions.h"

#include <sqlite3.h>

#include <cmath>
#include <vector>

#include "db/DbError.h"
#include "db/sql/AccessFunctions.h"
#include "db/sql/AccessLike.h"
#include "platform/Conversions.h"

namespace tarvel::db {
namespace {

using sql::AccessError;
using sql::Variant;

QString TextOf(sqlite3_value* value) {
  const auto* units = static_cast<const char16_t*>(sqlite3_value_text16(value));
  const int bytes = sqlite3_value_bytes16(value);
  return units ? QString::fromUtf16(units, bytes / 2) : QString();
}

// A value as Access's functions see it: a text shaped "YYYY-MM-DD HH:MM:SS" is a date.
Variant VariantOf(sqlite3_value* value) {
  switch (sqlite3_value_type(value)) {
    case SQLITE_INTEGER:
      return Variant::Whole(sqlite3_value_int64(value));
    case SQLITE_FLOAT:
      return Variant::Of(sqlite3_value_double(value));
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
      QString text = TextOf(value);
      if (const auto date = sql::OleFromStored(text)) return Variant::OfDate(*date);
      return Variant::OfText(std::move(text));
    }
    default:
      return {};
  }
}

void Result(sqlite3_context* context, const Variant& v) {
  switch (v.kind) {
    case Variant::Kind::Null:
      sqlite3_result_null(context);
      return;
    case Variant::Kind::Number:
      if (v.integral && std::fabs(v.number) < 9.2e18 && v.number == std::trunc(v.number))
        sqlite3_result_int64(context, static_cast<sqlite3_int64>(v.number));
      else
        sqlite3_result_double(context, v.number);
      return;
    case Variant::Kind::Text:
      sqlite3_result_text16(context, v.text.utf16(), static_cast<int>(v.text.size() * 2),
                            SQLITE_TRANSIENT);
      return;
    case Variant::Kind::Date: {
      const QString text = sql::StoredFromOle(v.number);
      sqlite3_result_text16(context, text.utf16(), static_cast<int>(text.size() * 2),
                            SQLITE_TRANSIENT);
      return;
    }
  }
}

std::vector<Variant> Arguments(int argc, sqlite3_value** argv) {
  std::vector<Variant> args;
  args.reserve(static_cast<size_t>(argc));
  for (int i = 0; i < argc; ++i)
    args.push_back(VariantOf(argv[i]));
  return args;
}

// Where Access would show #Error in the cell, the cell is NULL.
template <typename F>
void Guarded(sqlite3_context* context, F&& compute) {
  try {
    Result(context, compute());
  } catch (const AccessError&) {
    sqlite3_result_null(context);
  } catch (const std::bad_alloc&) {
    sqlite3_result_error_nomem(context);
  }
}

void CallFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
  const auto function =
      static_cast<sql::Function>(reinterpret_cast<std::intptr_t>(sqlite3_user_data(context)));
  Guarded(context, [&] { return sql::Evaluate(function, Arguments(argc, argv)); });
}

void CallOperator(sqlite3_context* context, int argc, sqlite3_value** argv) {
  const auto op =
      static_cast<sql::Operator>(reinterpret_cast<std::intptr_t>(sqlite3_user_data(context)));
  Guarded(context, [&] { return sql::Apply(op, Arguments(argc, argv)); });
}

// A text that meets a number in a comparison is read as a number, as Jet reads it; a text that
// is no number stays a text (and compares above every number, as before).
void ToNumber(sqlite3_context* context, int, sqlite3_value** argv) {
  const Variant v = VariantOf(argv[0]);
  if (v.kind == Variant::Kind::Text) {
    try {
      Result(context, Variant::Of(sql::ToNumber(v)));
      return;
    } catch (const AccessError&) {
    }
  }
  sqlite3_result_value(context, argv[0]);
}

// Format(x, "0.00") read back as a number where it meets one: the number rounded as Format rounds
// it (half away from zero, on the figure's 15-digit decimal text), without writing the text where
// the binary value is not that close to a half.
void FormatNumber(sqlite3_context* context, int, sqlite3_value** argv) {
  const int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  double value = 0;
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
    value = sqlite3_value_double(argv[0]);
  } else {
    const QString text = TextOf(argv[0]);
    if (!tarvel::IsNumeric(text)) {
      sqlite3_result_value(context, argv[0]);  // a text that is no number stays a text
      return;
    }
    value = tarvel::NumericValue(text);
  }
  const int places = sqlite3_value_int(argv[1]);
  const double scale = std::pow(10.0, places);
  const double scaled = value * scale;
  const double fraction = std::fabs(scaled - std::trunc(scaled));
  if (std::fabs(fraction - 0.5) > 1e-6 && std::isfinite(scaled)) {
    sqlite3_result_double(context, std::round(scaled) / scale);
    return;
  }
  const QString pattern =
      places > 0 ? QStringLiteral("0.") + QString(places, u'0') : QStringLiteral("0");
  sqlite3_result_double(context, tarvel::NumericValue(tarvel::FormatNumber(value, pattern)));
}

void Like(sqlite3_context* context, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  const QString text = TextOf(argv[0]);
  const QString pattern = TextOf(argv[1]);
  sqlite3_result_int(context, sql::MatchAccessPattern(text, pattern) ? -1 : 0);
}

// Aggregates: First and Last keep a value; the deviations and variances a running sum.
struct Running {
  bool seen = false;
  Variant value;
  double count = 0, mean = 0, squares = 0;  // Welford's running mean and squared deviations
};

enum class Aggregate { First, Last, StDev, StDevP, Var, VarP };

Running* StateOf(sqlite3_context* context, bool create) {
  auto** slot =
      static_cast<Running**>(sqlite3_aggregate_context(context, create ? sizeof(Running*) : 0));
  if (!slot) return nullptr;
  if (!*slot && create) *slot = new (std::nothrow) Running();
  return *slot;
}

void AggregateStep(sqlite3_context* context, int, sqlite3_value** argv) {
  Running* state = StateOf(context, true);
  if (!state) {
    sqlite3_result_error_nomem(context);
    return;
  }
  const auto which =
      static_cast<Aggregate>(reinterpret_cast<std::intptr_t>(sqlite3_user_data(context)));
  if (which == Aggregate::First || which == Aggregate::Last) {
    if (which == Aggregate::Last || !state->seen) state->value = VariantOf(argv[0]);
    state->seen = true;
    return;
  }
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
  double x = 0;
  try {
    x = sql::ToNumber(VariantOf(argv[0]));
  } catch (const AccessError&) {
    return;
  }
  state->count += 1;
  const double delta = x - state->mean;
  state->mean += delta / state->count;
  state->squares += delta * (x - state->mean);
}

void AggregateFinal(sqlite3_context* context) {
  Running* state = StateOf(context, false);
  const auto which =
      static_cast<Aggregate>(reinterpret_cast<std::intptr_t>(sqlite3_user_data(context)));
  if (!state) {
    sqlite3_result_null(context);
    return;
  }
  switch (which) {
    case Aggregate::First:
    case Aggregate::Last:
      Result(context, state->value);
      break;
    case Aggregate::StDev:
    case Aggregate::Var:
      if (state->count < 2)
        sqlite3_result_null(context);
      else
        sqlite3_result_double(context, which == Aggregate::Var
                                           ? state->squares / (state->count - 1)
                                           : std::sqrt(state->squares / (state->count - 1)));
      break;
    case Aggregate::StDevP:
    case Aggregate::VarP:
      if (state->count < 1)
        sqlite3_result_null(context);
      else
        sqlite3_result_double(context, which == Aggregate::VarP
                                           ? state->squares / state->count
                                           : std::sqrt(state->squares / state->count));
      break;
  }
  delete state;
}

int CompareGeneral(void*, int aBytes, const void* a, int bBytes, const void* b) {
  return sql::CompareGeneral(QStringView(static_cast<const char16_t*>(a), aBytes / 2),
                             QStringView(static_cast<const char16_t*>(b), bBytes / 2));
}

void Check(sqlite3* db, int rc) {
  if (rc != SQLITE_OK) throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
}

void* Tag(int value) {
  return reinterpret_cast<void*>(static_cast<std::intptr_t>(value));
}

}  // namespace

void RegisterAccessFunctions(sqlite3* db) {
  using sql::Function;
  constexpr int kFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  const Function scalars[] = {
      Function::IsNumeric,  Function::IsDate,    Function::CStr,       Function::CInt,
      Function::CLng,       Function::CSng,      Function::CDbl,       Function::CCur,
      Function::CDec,       Function::CBool,     Function::CDate,      Function::Val,
      Function::Str,        Function::Left,      Function::Right,      Function::Mid,
      Function::Len,        Function::InStr,     Function::InStrRev,   Function::Trim,
      Function::LTrim,      Function::RTrim,     Function::UCase,      Function::LCase,
      Function::Space,      Function::String,    Function::Replace,    Function::StrComp,
      Function::Asc,        Function::Chr,       Function::Abs,        Function::Int,
      Function::Fix,        Function::Round,     Function::Sgn,        Function::Sqr,
      Function::Year,       Function::Month,     Function::Day,        Function::Hour,
      Function::Minute,     Function::Second,    Function::Weekday,    Function::DatePart,
      Function::DateAdd,    Function::DateDiff,  Function::DateSerial, Function::DateValue,
      Function::TimeSerial, Function::MonthName, Function::Format,
  };
  for (Function f : scalars) {
    const QByteArray name = sql::SqliteFunctionName(f).toLatin1();
    Check(db, sqlite3_create_function_v2(db, name.constData(), -1, kFlags, Tag(static_cast<int>(f)),
                                         &CallFunction, nullptr, nullptr, nullptr));
  }
  // The clock's functions give another value each day: not deterministic.
  for (Function f : {Function::Now, Function::Date, Function::Time}) {
    const QByteArray name = sql::SqliteFunctionName(f).toLatin1();
    Check(db, sqlite3_create_function_v2(db, name.constData(), 0, SQLITE_UTF8 | SQLITE_INNOCUOUS,
                                         Tag(static_cast<int>(f)), &CallFunction, nullptr, nullptr,
                                         nullptr));
  }
  const struct {
    const char* name;
    sql::Operator op;
    int arguments;
  } operators[] = {
      {"acc_add", sql::Operator::Add, 2},        {"acc_sub", sql::Operator::Subtract, 2},
      {"acc_concat", sql::Operator::Concat, -1}, {"acc_intdiv", sql::Operator::IntDivide, 2},
      {"acc_mod", sql::Operator::Mod, 2},        {"acc_pow", sql::Operator::Power, 2},
  };
  for (const auto& o : operators) {
    Check(db,
          sqlite3_create_function_v2(db, o.name, o.arguments, kFlags, Tag(static_cast<int>(o.op)),
                                     &CallOperator, nullptr, nullptr, nullptr));
  }
  Check(db, sqlite3_create_function_v2(db, "acc_num", 1, kFlags, nullptr, &ToNumber, nullptr,
                                       nullptr, nullptr));
  Check(db, sqlite3_create_function_v2(db, "acc_like", 2, kFlags, nullptr, &Like, nullptr, nullptr,
                                       nullptr));
  Check(db, sqlite3_create_function_v2(db, "acc_formatnum", 2, kFlags, nullptr, &FormatNumber,
                                       nullptr, nullptr, nullptr));
  const struct {
    Function function;
    Aggregate aggregate;
  } aggregates[] = {
      {Function::First, Aggregate::First}, {Function::Last, Aggregate::Last},
      {Function::StDev, Aggregate::StDev}, {Function::StDevP, Aggregate::StDevP},
      {Function::Var, Aggregate::Var},     {Function::VarP, Aggregate::VarP},
  };
  for (const auto& a : aggregates) {
    const QByteArray name = sql::SqliteFunctionName(a.function).toLatin1();
    Check(db, sqlite3_create_function_v2(db, name.constData(), 1, SQLITE_UTF8 | SQLITE_INNOCUOUS,
                                         Tag(static_cast<int>(a.aggregate)), nullptr,
                                         &AggregateStep, &AggregateFinal, nullptr));
  }
  Check(db, sqlite3_create_collation_v2(db, kJetGeneralCollation, SQLITE_UTF16_ALIGNED, nullptr,
                                        &CompareGeneral, nullptr));
}

}  // namespace tarvel::db
