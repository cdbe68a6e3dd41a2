#include "db/Connection.h"

#include <QRegularExpression>
#include <atomic>

#include "db/Backend.h"
#include "db/sql/AccessFunctions.h"
#include "db/sql/AccessValues.h"
#include "db/sql/Lexer.h"
#include "db/sql/SqlError.h"
#include "db/sql/Translate.h"
#include "platform/Conversions.h"

namespace tarvel::db {
namespace {

std::atomic<int> busyTimeoutMs{Connection::kBusyTimeoutMs};

// Statements in an engine's own words, passed as they stand: changes of the schema and the like,
// which tools and tests send and the program's texts never are.
bool IsNative(const QString& text) {
  static const QRegularExpression first(
      QStringLiteral("^\\s*(create|drop|alter|lock|pragma|begin|commit|rollback|savepoint|"
                     "release|vacuum|analyze|reindex|attach|detach|set|reset)\\b"),
      QRegularExpression::CaseInsensitiveOption);
  return first.match(text).hasMatch();
}

// A parameter's value as its declaration types it; an undeclared one given as text is read as a
// number or a date where it is one.
Value ParameterValue(const Value& given, sql::SqlType declared) {
  if (given.IsNull()) return given;
  const QString text = given.ToText().trimmed();
  const auto asDate = [&]() -> std::optional<Value> {
    QString inside = text;
    if (inside.startsWith(u'#') && inside.endsWith(u'#') && inside.size() > 1)
      inside = inside.mid(1, inside.size() - 2);
    if (const auto ole = sql::ParseDateText(inside)) return Value(sql::StoredFromOle(*ole));
    return std::nullopt;
  };
  const auto asNumber = [&](bool real) {
    const double number = NumericValue(text);
    const bool whole = number == static_cast<double>(static_cast<qint64>(number));
    return whole && !real && !text.contains(u'.') ? Value(static_cast<qint64>(number))
                                                  : Value(number);
  };
  // A number given for a parameter of a numeric type, as that type holds it: a whole type's value
  // rounded half to even and within its range, a Single rounded to one, Currency to
  // ten-thousandths. Beyond the range: Access's overflow.
  const auto typedNumber = [&](double number) -> Value {
    const auto whole = [&](double low, double high) {
      const double rounded = sql::RoundWhole(number);
      if (!(rounded >= low && rounded <= high))
        throw DbError(
            QStringLiteral("參數值「%1」%2（%3 的範圍之外）。")
                .arg(text, sql::OverflowMessage(), QString::fromLatin1(sql::TypeName(declared))));
      return Value(static_cast<qint64>(rounded));
    };
    try {
      switch (declared) {
        case sql::SqlType::Byte:
          return whole(0, 255);
        case sql::SqlType::Integer:
          return whole(-32768, 32767);
        case sql::SqlType::Long:
          return whole(-2147483648.0, 2147483647.0);
        case sql::SqlType::Single:
          return Value(sql::SingleValue(number));
        case sql::SqlType::Currency:
          return Value(sql::CurrencyToDouble(sql::CurrencyFromDouble(number)));
        default:
          return Value(number);
      }
    } catch (const sql::AccessError& e) {
      throw DbError(QStringLiteral("參數值「%1」%2（%3 的範圍之外）。")
                        .arg(text, e.message, QString::fromLatin1(sql::TypeName(declared))));
    }
  };
  switch (declared) {
    case sql::SqlType::Date:
      if (!given.IsText()) return given;
      if (const auto date = asDate()) return *date;
      throw DbError(QStringLiteral("參數值「%1」不是日期。").arg(text));
    case sql::SqlType::Boolean:
      if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return Value(-1);
      if (text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return Value(0);
      if (given.IsNumber()) return Value(given.Number() != 0 ? -1 : 0);
      if (!IsNumeric(text)) throw DbError(QStringLiteral("參數值「%1」不是數字。").arg(text));
      return Value(NumericValue(text) != 0 ? -1 : 0);
    case sql::SqlType::Byte:
    case sql::SqlType::Integer:
    case sql::SqlType::Long:
    case sql::SqlType::Single:
    case sql::SqlType::Double:
    case sql::SqlType::Currency:
    case sql::SqlType::Decimal:
      if (given.IsNumber())
        return typedNumber(given.IsInteger() ? static_cast<double>(given.AsInteger())
                                             : given.AsReal());
      if (!IsNumeric(text)) throw DbError(QStringLiteral("參數值「%1」不是數字。").arg(text));
      return typedNumber(NumericValue(text));
    case sql::SqlType::Text:
      return given.IsText() ? given : Value(given.ToText());
    default:
      if (!given.IsText()) return given;
      if (IsNumeric(text)) return asNumber(false);
      if (const auto date = asDate()) return *date;
      return given;
  }
}

}  // namespace

QString ParameterKey(const QString& typed) {
  try {
    QStringList parts;
    QString separators;
    QString word;
    for (const sql::Token& t : sql::Tokenize(typed)) {
      if (t.kind == sql::TokenKind::End) break;
      if (t.IsSymbol(u".") || t.IsSymbol(u"!")) {
        parts << word;
        word.clear();
        separators += t.text;
      } else {
        if (!word.isEmpty()) word += u' ';
        word += t.text;
      }
    }
    parts << word;
    return sql::BindingName(parts, separators).toLower();
  } catch (const sql::SqlError&) {
    return typed.trimmed().toLower();
  }
}

ConnectionString ConnectionString::Parse(const QString& text) {
  ConnectionString result;
  const qsizetype size = text.size();
  qsizetype pos = 0;
  while (pos < size) {
    const qsizetype equals = text.indexOf(u'=', pos);
    const qsizetype semicolon = text.indexOf(u';', pos);
    if (equals < 0) break;
    if (semicolon >= 0 && semicolon < equals) {  // a part without "=" says nothing
      pos = semicolon + 1;
      continue;
    }
    const QString key = text.mid(pos, equals - pos).trimmed().toLower();
    pos = equals + 1;
    while (pos < size && text[pos].isSpace())
      ++pos;
    QString value;
    if (pos < size && (text[pos] == u'"' || text[pos] == u'\'')) {
      // Quoted: up to the matching quote, a doubled quote standing for one. Whatever stands
      // between the closing quote and the next ";" is not part of the value.
      const QChar quote = text[pos++];
      while (pos < size) {
        if (text[pos] == quote) {
          if (pos + 1 < size && text[pos + 1] == quote) {
            value += quote;
            pos += 2;
            continue;
          }
          ++pos;
          break;
        }
        value += text[pos++];
      }
      const qsizetype next = text.indexOf(u';', pos);
      pos = next < 0 ? size : next + 1;
    } else {
      const qsizetype next = text.indexOf(u';', pos);
      const qsizetype stop = next < 0 ? size : next;
      value = text.mid(pos, stop - pos).trimmed();
      pos = stop + 1;
    }
    if (key == QLatin1String("provider")) {
      result.provider = value;
    } else if (key == QLatin1String("data source")) {
      result.dataSource = value;
    } else if (key == QLatin1String("jet oledb:database password") ||
               key == QLatin1String("password")) {
      result.password = value;
    }
  }
  return result;
}

int Connection::BusyTimeoutMs() {
  return busyTimeoutMs.load();
}

ScopedBusyTimeout::ScopedBusyTimeout(int milliseconds)
    : previous_(busyTimeoutMs.exchange(milliseconds)) {}

ScopedBusyTimeout::~ScopedBusyTimeout() {
  busyTimeoutMs.store(previous_);
}

Connection::Connection(std::unique_ptr<Backend> backend) : backend_(std::move(backend)) {}

Connection::~Connection() = default;

const std::vector<StoredQueryReport>& Backend::StoredQueries() const {
  static const std::vector<StoredQueryReport> none;
  return none;
}

Backend& BackendOf(Connection& connection) {
  return *connection.backend_;
}

const QString& Connection::FilePath() const {
  return backend_->Name();
}

sql::Catalog& Connection::Catalog() {
  return backend_->Catalog();
}

bool Connection::Can(Capability capability) const {
  return backend_->Can().testFlag(capability);
}

void Connection::CreateSchema(const QString& sqliteSchema) {
  backend_->CreateSchema(sqliteSchema);
}

const std::vector<StoredQueryReport>& Connection::StoredQueries() const {
  return backend_->StoredQueries();
}

// A text translated for this connection's engine, with the values of its named parameters.
struct Connection::Prepared {
  sql::Translation translation;
  /// One per placeholder slot; NULL for the text's own "?" markers, bound later.
  std::vector<Value> values;
};

// The type of a value given for a parameter the statement does not declare.
static sql::SqlType GivenType(const Value& given) {
  const Value v = ParameterValue(given, sql::SqlType::Unknown);
  switch (v.GetKind()) {
    case Value::Kind::Integer:
      return v.AsInteger() >= -2147483648LL && v.AsInteger() <= 2147483647LL ? sql::SqlType::Long
                                                                             : sql::SqlType::Double;
    case Value::Kind::Real:
      return sql::SqlType::Double;
    case Value::Kind::Text:
      return sql::IsStoredDate(v.TextView()) ? sql::SqlType::Date : sql::SqlType::Text;
    default:
      return sql::SqlType::Unknown;
  }
}

Connection::Prepared Connection::PrepareQuery(const QString& accessSql,
                                              const QueryOptions& options) {
  Prepared p;
  sql::TranslateOptions translate{
      options.accessWildcards ? sql::Wildcards::Access : sql::Wildcards::Ansi,
      options.queryOnly,
      options.unordered,
      {}};
  for (auto given = options.parameters.cbegin(); given != options.parameters.cend(); ++given)
    translate.parameterTypes.insert(given.key(), GivenType(given.value()));
  // What Access SQL refuses reaches the program as the access layer's error, as the engines' do.
  try {
    p.translation = sql::Translate(accessSql, backend_->Engine(), &backend_->Catalog(), translate);
  } catch (const sql::QueryTooComplex& e) {
    throw QueryTooComplex(e.Description(), e.Statement());
  } catch (const sql::SqlError& e) {
    throw DbError(e.Description(), e.Statement());
  }
  for (const QString& name : p.translation.placeholders) {
    if (name.isEmpty()) {
      p.values.emplace_back();
      continue;
    }
    const auto given = options.parameters.constFind(name.toLower());
    if (given == options.parameters.cend()) {
      throw DbError(
          QStringLiteral("查詢需要參數「%1」的值（資料來源沒有這個名稱的欄位）。").arg(name),
          accessSql);
    }
    sql::SqlType declared = sql::SqlType::Unknown;
    for (const sql::DeclaredParameter& d : p.translation.declared)
      if (d.name.compare(name, Qt::CaseInsensitive) == 0) declared = d.type;
    try {
      p.values.push_back(ParameterValue(*given, declared));
    } catch (const DbError& e) {
      throw DbError(QStringLiteral("參數「%1」：").arg(name) + e.Description(), accessSql);
    }
  }
  return p;
}

QString Connection::EngineSql(const QString& accessSql, const QueryOptions& options) {
  return PrepareQuery(accessSql, options).translation.sql;
}

void Connection::Execute(const QString& jetSql) {
  if (IsNative(jetSql)) {
    backend_->RunNative(jetSql);
    return;
  }
  const Prepared p = PrepareQuery(jetSql, {});
  backend_->Execute(p.translation, p.values, jetSql);
}

Recordset Connection::ReadNative(const QString& query) {
  return backend_->ReadNative(query);
}

void Connection::ExecuteScript(const QString& nativeScript) {
  backend_->RunScript(nativeScript);
}

Recordset Connection::OpenRecordset(const QString& jetSql) {
  return OpenRecordset(jetSql, QueryOptions{});
}

Recordset Connection::OpenRecordset(const QString& accessSql, const QueryOptions& options) {
  const Prepared p = PrepareQuery(accessSql, options);
  return backend_->Read(p.translation, p.values, accessSql);
}

Cursor Connection::OpenCursor(const QString& jetSql) {
  return OpenCursor(jetSql, QueryOptions{});
}

Cursor Connection::OpenCursor(const QString& accessSql, const QueryOptions& options) {
  const Prepared p = PrepareQuery(accessSql, options);
  return backend_->OpenCursor(p.translation, p.values, accessSql);
}

qint64 Connection::CountRows(const QString& jetSql) {
  const Recordset count = OpenRecordset(
      QStringLiteral("select count(*) as n from (") + jetSql + QStringLiteral("\n) as counted"),
      {.unordered = true});
  return count.RecordCount() > 0 ? count.Field(0).AsInteger() : 0;
}

void Connection::Interrupt() noexcept {
  backend_->Interrupt();
}

bool Connection::HasRows(const QString& jetSql) {
  const Prepared p = PrepareQuery(jetSql, {.unordered = true});
  return backend_->HasRows(p.translation, p.values, jetSql);
}

Command Connection::Prepare(const QString& jetSql) {
  const Prepared p = PrepareQuery(jetSql, {});
  return Command(backend_->Prepare(p.translation, jetSql), jetSql);
}

UpdatableRecordset Connection::OpenForUpdate(const QString& jetSql) {
  const Prepared p = PrepareQuery(jetSql, {});
  return UpdatableRecordset(backend_->OpenForUpdate(p.translation, jetSql), jetSql);
}

void Connection::BeginTransaction() {
  backend_->Begin();
}
void Connection::Commit() {
  backend_->Commit();
}
void Connection::Rollback() {
  ExecuteScript(QStringLiteral("ROLLBACK"));
}

Transaction::Transaction(Connection& connection) : connection_(connection) {
  connection_.BeginTransaction();
}

Transaction::~Transaction() {
  if (open_) connection_.backend_->RollbackQuietly();
}

void Transaction::Commit() {
  connection_.Commit();
  open_ = false;
}

ReadSnapshot::ReadSnapshot(Connection& connection) : connection_(connection) {
  open_ = connection.Can(Capability::ReadSnapshot);
  if (open_) connection.backend_->BeginReadSnapshot();
}

ReadSnapshot::~ReadSnapshot() {
  if (open_) connection_.backend_->EndReadSnapshot();
}

Command::Command(std::unique_ptr<PreparedStatement> statement, QString sql)
    : statement_(std::move(statement)), sql_(std::move(sql)) {}
Command::Command(Command&&) noexcept = default;
Command& Command::operator=(Command&&) noexcept = default;
Command::~Command() = default;

Command& Command::Bind(int index, const Value& value) {
  statement_->Bind(index, value);
  return *this;
}

void Command::Execute() {
  statement_->Execute();
}

Recordset Command::Query() {
  return statement_->Query();
}

}  // namespace tarvel::db
