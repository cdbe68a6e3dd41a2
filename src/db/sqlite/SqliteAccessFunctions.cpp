#include "db/sqlite/SqliteAccessFunctions.h"

#include <sqlite3.h>

#include <QSet>

#include <algorithm>
#include <cmath>
#include <vector>

#include "db/DbError.h"
#include "db/sql/AccessFunctions.h"
#include "db/sql/AccessLike.h"
#include "db/sql/JetOrder.h"
#include "db/sql/SqliteHelpers.h"
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

// The subtype acc_txt gives a value the statement types as a text: never read as a date.
constexpr unsigned kTextSubtype = 'T';

// A value as Access's functions see it: a text shaped "YYYY-MM-DD HH:MM:SS" is a date, unless the
// statement says it is a text.
Variant VariantOf(sqlite3_value* value) {
  if (sqlite3_value_subtype(value) == kTextSubtype && sqlite3_value_type(value) == SQLITE_TEXT)
    return Variant::OfText(TextOf(value));
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

void ResultError(sqlite3_context* context, const QString& message) {
  const QByteArray utf8 = message.toUtf8();
  sqlite3_result_error(context, utf8.constData(), static_cast<int>(utf8.size()));
}

// Where Access would show #Error in the cell, the cell is NULL; an overflow stops the statement.
template <typename F>
void Guarded(sqlite3_context* context, F&& compute) {
  try {
    Result(context, compute());
  } catch (const AccessError& e) {
    if (e.overflow)
      ResultError(context, e.message);
    else
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
// is no number is no value (Access's type mismatch), so the comparison is neither true nor false.
void ToNumber(sqlite3_context* context, int, sqlite3_value** argv) {
  const Variant v = VariantOf(argv[0]);
  if (v.kind == Variant::Kind::Text) {
    try {
      Result(context, Variant::Of(sql::ToNumber(v)));
    } catch (const AccessError&) {
      sqlite3_result_null(context);
    }
    return;
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

// A text the statement types as a text, marked for the functions it is handed to.
void MarkText(sqlite3_context* context, int, sqlite3_value** argv) {
  sqlite3_result_value(context, argv[0]);
  if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) sqlite3_result_subtype(context, kTextSubtype);
}

// A number rounded to a Single (exact), and a Single as it is shown.
void Single(sqlite3_context* context, int, sqlite3_value** argv) {
  const int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  Guarded(context, [&] {
    const bool shown = sqlite3_user_data(context) != nullptr;
    const double value = type == SQLITE_INTEGER || type == SQLITE_FLOAT
                             ? sqlite3_value_double(argv[0])
                             : sql::ToNumber(VariantOf(argv[0]));
    return Variant::Of(shown ? sql::SingleShown(value) : sql::SingleValue(value));
  });
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
  // Floating numbers are gathered and added up in ascending order at the end, as the server is
  // told to: a sum of doubles depends on its order, and the engines scan rows in orders of their
  // own.
  std::vector<double> values;
  double count = 0;
  qint64 scaled = 0;  // a Currency sum, in ten-thousandths
  bool overflow = false;
};

enum class Aggregate {
  First,
  Last,
  StDev,
  StDevP,
  Var,
  VarP,
  CurrencySum,
  CurrencyAvg,
  FloatSum,
  FloatAvg
};

// The count, sum and sum of squared deviations of values in ascending order, accumulated as Youngs
// and Cramer do (as PostgreSQL does for double precision).
struct Moments {
  double count = 0, sum = 0, squares = 0;
};
Moments MomentsOf(std::vector<double>& values) {
  std::sort(values.begin(), values.end());
  Moments m;
  for (const double x : values) {
    const double before = m.count;
    m.count += 1;
    m.sum += x;
    if (before > 0) {
      const double deviation = x * m.count - m.sum;
      m.squares += deviation * deviation / (m.count * before);
    }
  }
  return m;
}

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
  if (which == Aggregate::CurrencySum || which == Aggregate::CurrencyAvg) {
    // Sums of Currency are exact: whole ten-thousandths added up in 64 bits.
    try {
      const Variant v = VariantOf(argv[0]);
      const qint64 scaled = v.integral ? sql::CurrencyFromWhole(static_cast<qint64>(v.number))
                                       : sql::CurrencyFromDouble(sql::ToNumber(v));
      if (__builtin_add_overflow(state->scaled, scaled, &state->scaled)) state->overflow = true;
      state->count += 1;
    } catch (const AccessError& e) {
      if (e.overflow) state->overflow = true;
    }
    return;
  }
  double x = 0;
  try {
    x = sql::ToNumber(VariantOf(argv[0]));
  } catch (const AccessError&) {
    return;
  }
  state->values.push_back(x);
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
    case Aggregate::CurrencySum:
    case Aggregate::CurrencyAvg: {
      if (state->overflow) {
        ResultError(context, sql::OverflowMessage());
        break;
      }
      if (state->count < 1) {
        sqlite3_result_null(context);
        break;
      }
      qint64 scaled = state->scaled;
      if (which == Aggregate::CurrencyAvg) {
        // The mean rounded half to even to ten-thousandths.
        const auto n = static_cast<qint64>(state->count);
        qint64 q = scaled / n;
        const qint64 r = scaled % n;
        const qint64 twice = (r < 0 ? -r : r) * 2;
        if (twice > n || (twice == n && q % 2 != 0)) q += scaled < 0 ? -1 : 1;
        scaled = q;
      }
      Result(context, Variant::Of(sql::CurrencyToDouble(scaled)));
      break;
    }
    case Aggregate::FloatSum:
    case Aggregate::FloatAvg: {
      const Moments m = MomentsOf(state->values);
      if (m.count < 1)
        sqlite3_result_null(context);
      else
        sqlite3_result_double(context, which == Aggregate::FloatSum ? m.sum : m.sum / m.count);
      break;
    }
    case Aggregate::StDev:
    case Aggregate::Var: {
      const Moments m = MomentsOf(state->values);
      if (m.count < 2)
        sqlite3_result_null(context);
      else
        sqlite3_result_double(context, which == Aggregate::Var
                                           ? m.squares / (m.count - 1)
                                           : std::sqrt(m.squares / (m.count - 1)));
      break;
    }
    case Aggregate::StDevP:
    case Aggregate::VarP: {
      const Moments m = MomentsOf(state->values);
      if (m.count < 1)
        sqlite3_result_null(context);
      else
        sqlite3_result_double(context, which == Aggregate::VarP ? m.squares / m.count
                                                                : std::sqrt(m.squares / m.count));
      break;
    }
  }
  delete state;
}

// The collations of Jet's orders: the order itself, and its total form for ORDER BY.
template <sql::SortOrder order, bool total>
int CompareTexts(void*, int aBytes, const void* a, int bBytes, const void* b) {
  const QStringView x(static_cast<const char16_t*>(a), aBytes / 2);
  const QStringView y(static_cast<const char16_t*>(b), bBytes / 2);
  return total ? sql::CompareJetTotal(order, x, y) : sql::CompareJet(order, x, y);
}

// The same on UTF-8 texts, the encoding of the program's databases: registered for it, the
// collations spare the engine a conversion of both texts, with an allocation, at every
// comparison.
template <sql::SortOrder order, bool total>
int CompareUtf8Texts(void*, int aBytes, const void* a, int bBytes, const void* b) {
  return sql::CompareJetUtf8(order, total,
                             std::string_view(static_cast<const char*>(a), std::size_t(aBytes)),
                             std::string_view(static_cast<const char*>(b), std::size_t(bBytes)));
}

void Check(sqlite3* db, int rc) {
  if (rc != SQLITE_OK) throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
}

void* Tag(int value) {
  return reinterpret_cast<void*>(static_cast<std::intptr_t>(value));
}

using ScalarCall = void (*)(sqlite3_context*, int, sqlite3_value**);

// What computes a scalar helper, and the tag it is registered with.
std::pair<ScalarCall, int> Computation(sql::SqliteHelper helper) {
  using H = sql::SqliteHelper;
  using O = sql::Operator;
  const auto op = [](O o) {
    return std::pair<ScalarCall, int>{&CallOperator, static_cast<int>(o)};
  };
  switch (helper) {
    case H::Add:
      return op(O::Add);
    case H::Subtract:
      return op(O::Subtract);
    case H::Multiply:
      return op(O::Multiply);
    case H::Divide:
      return op(O::Divide);
    case H::IntDivide:
      return op(O::IntDivide);
    case H::Mod:
      return op(O::Mod);
    case H::Power:
      return op(O::Power);
    case H::Concat:
      return op(O::Concat);
    case H::CurrencyAdd:
      return op(O::CurrencyAdd);
    case H::CurrencySubtract:
      return op(O::CurrencySubtract);
    case H::CurrencyMultiply:
      return op(O::CurrencyMultiply);
    case H::Number:
      return {&ToNumber, 0};
    case H::Like:
      return {&Like, 0};
    case H::FormatNumber:
      return {&FormatNumber, 0};
    case H::Single:
      return {&Single, 0};
    case H::SingleShown:
      return {&Single, 1};
    case H::Text:
      return {&MarkText, 0};
    default:
      break;
  }
  throw DbError(QStringLiteral("no computation for %1").arg(sql::SqliteHelperName(helper)));
}

Aggregate AggregateOf(sql::SqliteHelper helper) {
  switch (helper) {
    case sql::SqliteHelper::CurrencySum:
      return Aggregate::CurrencySum;
    case sql::SqliteHelper::CurrencyAvg:
      return Aggregate::CurrencyAvg;
    case sql::SqliteHelper::FloatSum:
      return Aggregate::FloatSum;
    default:
      return Aggregate::FloatAvg;
  }
}

// The functions a statement may call on a connection for reading: every one registered here, and
// SQLite's own that the translation writes.
const QSet<QByteArray>& ReadableFunctions() {
  static const QSet<QByteArray> names = [] {
    QSet<QByteArray> set = {"count", "sum",  "avg",        "min",      "max",   "total",
                            "like",  "rank", "row_number", "coalesce", "nullif"};
    for (const sql::SqliteHelperInfo& h : sql::SqliteHelpers())
      set.insert(h.name);
    for (const sql::FunctionInfo& f : sql::AllFunctions())
      set.insert(sql::SqliteFunctionName(f.function).toLatin1());
    return set;
  }();
  return names;
}

int ReadOnlyAuthorizer(void*, int action, const char* a, const char* b, const char*, const char*) {
  switch (action) {
    case SQLITE_SELECT:
    case SQLITE_READ:
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
    case SQLITE_RECURSIVE:
      return SQLITE_OK;
    case SQLITE_FUNCTION:  // the function's name comes second
      return b && ReadableFunctions().contains(QByteArray(b).toLower()) ? SQLITE_OK : SQLITE_DENY;
    case SQLITE_PRAGMA: {
      static const QSet<QByteArray> reading = {"table_info",   "table_xinfo",  "schema_version",
                                               "data_version", "query_only",   "index_list",
                                               "index_info",   "database_list"};
      return a && reading.contains(QByteArray(a).toLower()) ? SQLITE_OK : SQLITE_DENY;
    }
    default:
      return SQLITE_DENY;
  }
}

}  // namespace

void HardenConnection(sqlite3* db, bool readOnly) {
  int done = 0;
  sqlite3_db_config(db, SQLITE_DBCONFIG_DEFENSIVE, 1, &done);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, 0, &done);
  sqlite3_db_config(db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, &done);
  sqlite3_db_config(db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, &done);
  if (readOnly) sqlite3_set_authorizer(db, &ReadOnlyAuthorizer, nullptr);
}

void RegisterAccessFunctions(sqlite3* db) {
  using sql::Function;
  constexpr int kFlags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  // Access's functions, from the one table: those SQLite computes through an application function.
  for (const sql::FunctionInfo& f : sql::AllFunctions()) {
    if (f.sqlite != sql::OnSqlite::Application || f.aggregate) continue;
    const QByteArray name = sql::SqliteFunctionName(f.function).toLatin1();
    // The clock's functions give another value each day: not deterministic.
    const int flags = f.volatileValue ? SQLITE_UTF8 | SQLITE_INNOCUOUS : kFlags;
    Check(db, sqlite3_create_function_v2(db, name.constData(), -1, flags,
                                         Tag(static_cast<int>(f.function)), &CallFunction, nullptr,
                                         nullptr, nullptr));
  }
  // The helpers of the generator's own, each to what computes it.
  for (const sql::SqliteHelperInfo& h : sql::SqliteHelpers()) {
    if (h.aggregate) {
      Check(db, sqlite3_create_function_v2(db, h.name, h.arguments, SQLITE_UTF8 | SQLITE_INNOCUOUS,
                                           Tag(static_cast<int>(AggregateOf(h.helper))), nullptr,
                                           &AggregateStep, &AggregateFinal, nullptr));
      continue;
    }
    auto [call, tag] = Computation(h.helper);
    Check(db, sqlite3_create_function_v2(db, h.name, h.arguments, kFlags, Tag(tag), call, nullptr,
                                         nullptr, nullptr));
  }
  // Access's aggregates SQLite has none of.
  for (const auto& [function, aggregate] :
       {std::pair{Function::First, Aggregate::First}, std::pair{Function::Last, Aggregate::Last},
        std::pair{Function::StDev, Aggregate::StDev},
        std::pair{Function::StDevP, Aggregate::StDevP}, std::pair{Function::Var, Aggregate::Var},
        std::pair{Function::VarP, Aggregate::VarP}}) {
    const QByteArray name = sql::SqliteFunctionName(function).toLatin1();
    Check(db, sqlite3_create_function_v2(db, name.constData(), 1, SQLITE_UTF8 | SQLITE_INNOCUOUS,
                                         Tag(static_cast<int>(aggregate)), nullptr, &AggregateStep,
                                         &AggregateFinal, nullptr));
  }
  using sql::SortOrder;
  using Compare = int (*)(void*, int, const void*, int, const void*);
  const struct {
    const char* name;
    Compare utf16;
    Compare utf8;
  } collations[] = {
      {sql::SqliteCollation(SortOrder::General), &CompareTexts<SortOrder::General, false>,
       &CompareUtf8Texts<SortOrder::General, false>},
      {sql::SqliteCollation(SortOrder::General, true), &CompareTexts<SortOrder::General, true>,
       &CompareUtf8Texts<SortOrder::General, true>},
      {sql::SqliteCollation(SortOrder::TraditionalChineseStroke),
       &CompareTexts<SortOrder::TraditionalChineseStroke, false>,
       &CompareUtf8Texts<SortOrder::TraditionalChineseStroke, false>},
      {sql::SqliteCollation(SortOrder::TraditionalChineseStroke, true),
       &CompareTexts<SortOrder::TraditionalChineseStroke, true>,
       &CompareUtf8Texts<SortOrder::TraditionalChineseStroke, true>},
  };
  // Each in both encodings: the engine takes the one of the database's.
  for (const auto& c : collations) {
    Check(db,
          sqlite3_create_collation_v2(db, c.name, SQLITE_UTF16_ALIGNED, nullptr, c.utf16, nullptr));
    Check(db, sqlite3_create_collation_v2(db, c.name, SQLITE_UTF8, nullptr, c.utf8, nullptr));
  }
}

}  // namespace tarvel::db
