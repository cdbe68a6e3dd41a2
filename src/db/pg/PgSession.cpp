#include "db/pg/PgSession.h"

#include <charconv>

#include <cmath>

#include "db/Connection.h"
#include "db/DbError.h"
#include "db/pg/ServerUri.h"
#include "db/sql/AccessValues.h"
#include "db/sqlite/SqliteSupport.h"

namespace tarvel::db::pg {
namespace {

// The type OIDs of pg_type.h that are read as something other than text.
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
              kFloat8 = 701, kNumeric = 1700;
// SQLSTATE lock_not_available: lock_timeout ran out.
constexpr char kLockNotAvailable[] = "55P03";

QString Trimmed(const char* text) {
  return QString::fromUtf8(text ? text : "").trimmed();
}

double RealFromText(QByteArrayView text) {
  if (text == "NaN") return std::nan("");
  if (text == "Infinity") return HUGE_VAL;
  if (text == "-Infinity") return -HUGE_VAL;
  return text.toDouble();
}

// The text form of a parameter; the server reads it by the type the statement gives the slot.
struct Parameters {
  explicit Parameters(const std::vector<Value>& values) {
    texts.reserve(values.size());
    for (const Value& value : values) {
      switch (value.GetKind()) {
        case Value::Kind::Null:
          texts.emplace_back();
          break;
        case Value::Kind::Integer:
          texts.push_back(QByteArray::number(value.AsInteger()));
          break;
        case Value::Kind::Real: {
          const double r = value.AsReal();
          // The shortest text that reads back as the same double: 12.3456, not 12.345599999….
          char shortest[32];
          const auto end = std::to_chars(shortest, shortest + sizeof shortest, r).ptr;
          texts.push_back(std::isnan(r)   ? QByteArray("NaN")
                          : std::isinf(r) ? QByteArray(r > 0 ? "Infinity" : "-Infinity")
                                          : QByteArray(shortest, end - shortest));
          break;
        }
        case Value::Kind::Text:
          texts.push_back(value.TextView().toUtf8());
          if (texts.back().isNull()) texts.back() = QByteArray("");  // '' is not NULL
          break;
        case Value::Kind::Blob:
          texts.push_back("\\x" + value.AsBlob().toHex());
          break;
      }
    }
    for (const QByteArray& text : texts)
      pointers.push_back(text.isNull() ? nullptr : text.constData());
  }
  int Count() const { return static_cast<int>(pointers.size()); }
  std::vector<QByteArray> texts;
  std::vector<const char*> pointers;
};

}  // namespace

Session::Session(const QString& uri, bool readOnly)
    : name_(RedactUri(uri.trimmed())), secrets_(UriSecrets(uri)) {
  const QByteArray target = NormalizedServerUri(uri).toUtf8();
  // JIT compilation pays off for long analytic scans, not for the program's statements, whose
  // Access expressions are written out long: compiling one could take longer than running it.
  const QByteArray lockWait = "-c lock_timeout=" + QByteArray::number(Connection::BusyTimeoutMs()) +
                              " -c jit=off" +
                              (readOnly ? " -c default_transaction_read_only=on" : "");
  // Before the URI: defaults it may override. After it: what the program depends on.
  const char* keys[] = {"application_name", "connect_timeout", "options",
                        "dbname",           "client_encoding", nullptr};
  const char* values[] = {"tarvel",           "10",   lockWait.constData(),
                          target.constData(), "UTF8", nullptr};
  conn_ = PQconnectdbParams(keys, values, 1);
  if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
    const QString reason =
        conn_ ? Scrub(Trimmed(PQerrorMessage(conn_))) : QStringLiteral("記憶體不足");
    PQfinish(conn_);
    conn_ = nullptr;
    throw DbError(QStringLiteral("無法連線到資料庫伺服器 %1（%2）").arg(name_, reason));
  }
  // The server's notices ("table … does not exist, skipping") are not for the user; libpq would
  // print them on the standard error.
  PQsetNoticeProcessor(
      conn_, [](void*, const char*) {}, nullptr);
  // Both are reported at start-up; a server set otherwise is set right for this session. With
  // standard strings off a backslash in a spliced value would escape its closing quote.
  QStringList settings;
  if (qstrcmp(PQparameterStatus(conn_, "standard_conforming_strings"), "on") != 0)
    settings << QStringLiteral("SET standard_conforming_strings = on");
  if (!QByteArray(PQparameterStatus(conn_, "DateStyle")).startsWith("ISO"))
    settings << QStringLiteral("SET DateStyle = ISO, YMD");
  // Options of the URI's own replace the ones above: a reading session stays one regardless.
  if (readOnly && qstrcmp(PQparameterStatus(conn_, "default_transaction_read_only"), "on") != 0)
    settings << QStringLiteral("SET default_transaction_read_only = on");
  if (!settings.isEmpty()) {
    try {
      RunScript(settings.join(u';'));
    } catch (...) {
      PQfinish(conn_);
      throw;
    }
  }
  cancel_ = PQgetCancel(conn_);
}

Session::~Session() {
  if (cancel_ != nullptr) PQfreeCancel(cancel_);
  PQfinish(conn_);
}

QString Session::Scrub(QString text) const {
  for (const QString& secret : secrets_)
    text.replace(secret, QStringLiteral("***"));
  return text;
}

QString Session::FailureDescription(const PGresult* result) const {
  if (PQstatus(conn_) != CONNECTION_OK) {
    return QStringLiteral("與資料庫伺服器 %1 的連線中斷（%2）")
        .arg(name_, Scrub(Trimmed(PQerrorMessage(conn_))));
  }
  if (!result) return Scrub(Trimmed(PQerrorMessage(conn_)));
  const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
  if (state && qstrcmp(state, kLockNotAvailable) == 0) return detail::LockedDescription(name_);
  const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
  const QString words = Scrub(primary ? Trimmed(primary) : Trimmed(PQresultErrorMessage(result)));
  // A database the program did not make: Jet's orders are missing there.
  if (state && qstrcmp(state, "42704") == 0 && words.contains(QLatin1String("jet_")))
    return QStringLiteral(
               "伺服器資料庫 %1 沒有 Jet 的排序方式（定序 jet_general、jet_stroke）："
               "請由資料庫的管理者以 tarvel-cli copy-db 或 demo-db --server 建立資料庫"
               "（%2）")
        .arg(name_, words);
  // A number, date or interval beyond its range is Access's overflow, with the server's words.
  if (state && (qstrcmp(state, "22003") == 0 || qstrcmp(state, "22008") == 0 ||
                qstrcmp(state, "22015") == 0))
    return sql::OverflowMessage() + QStringLiteral("（") + words + QStringLiteral("）");
  return words;
}

void Session::Fail(const PGresult* result, const QString& statement) const {
  throw DbError(FailureDescription(result), statement);
}

ResultPtr Session::Check(PGresult* raw, const QString& statement) const {
  ResultPtr result(raw);
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) Fail(result.get(), statement);
  return result;
}

void Session::Settle() noexcept {
  // The owner's Collect receives the result, which frees the connection.
  if (pending_ != nullptr) pending_->Collect();
  pending_ = nullptr;
}

void Session::Send(const QString& sql, PendingResult* owner, const QString& jetSql) {
  Settle();
  if (PQsendQuery(conn_, sql.toUtf8().constData()) != 1) Fail(nullptr, jetSql);
  pending_ = owner;
}

ResultPtr Session::Receive(const QString& jetSql) {
  pending_ = nullptr;
  // One statement sent, one result; the null that ends it frees the connection.
  ResultPtr first(PQgetResult(conn_));
  while (PGresult* more = PQgetResult(conn_))
    PQclear(more);
  return Check(first.release(), jetSql);
}

void Session::Cancel() noexcept {
  char error[256];
  if (cancel_ != nullptr) PQcancel(cancel_, error, sizeof error);
}

void Session::TakeIn() noexcept {
  if (pending_ != nullptr) PQconsumeInput(conn_);
}

ResultPtr Session::Run(const QString& sql, const std::vector<Value>& parameters,
                       const QString& jetSql) {
  Settle();
  const QByteArray text = sql.toUtf8();
  const Parameters p(parameters);
  return Check(PQexecParams(conn_, text.constData(), p.Count(), nullptr, p.pointers.data(), nullptr,
                            nullptr, 0),
               jetSql);
}

void Session::RunScript(const QString& script) {
  Settle();
  Check(PQexec(conn_, script.toUtf8().constData()), script);
}

void Session::RunQuietly(const char* sql) noexcept {
  Settle();
  PQclear(PQexec(conn_, sql));
}

QByteArray Session::Prepare(const QString& sql, const QString& jetSql) {
  Settle();
  const QByteArray name = NewName("tarvel_");
  Check(PQprepare(conn_, name.constData(), sql.toUtf8().constData(), 0, nullptr), jetSql);
  return name;
}

ResultPtr Session::RunPrepared(const QByteArray& name, const std::vector<Value>& parameters,
                               const QString& jetSql) {
  Settle();
  const Parameters p(parameters);
  return Check(
      PQexecPrepared(conn_, name.constData(), p.Count(), p.pointers.data(), nullptr, nullptr, 0),
      jetSql);
}

void Session::Deallocate(const QByteArray& name) noexcept {
  Settle();
  if (PQstatus(conn_) == CONNECTION_OK && PQtransactionStatus(conn_) != PQTRANS_INERROR)
    RunQuietly(("DEALLOCATE " + name).constData());
}

void Session::EndCursor(const QByteArray& name, bool ownTransaction) noexcept {
  Settle();
  if (PQtransactionStatus(conn_) == PQTRANS_INERROR) {
    if (ownTransaction) RunQuietly("ROLLBACK");
    return;
  }
  RunQuietly(("CLOSE " + name).constData());
  if (ownTransaction) RunQuietly("COMMIT");
}

Value Session::CellValue(const PGresult* result, int row, int column) {
  if (PQgetisnull(result, row, column)) return Value();
  const char* raw = PQgetvalue(result, row, column);
  const QByteArrayView text(raw, PQgetlength(result, row, column));
  switch (PQftype(result, column)) {
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
      return Value(static_cast<qint64>(text.toLongLong()));
    case kFloat4:
    case kFloat8:
      return Value(RealFromText(text));
    case kNumeric: {
      // sum() of bigint and the like: whole results stay whole numbers, as SQLite gives them.
      bool whole = false;
      const qint64 integer = text.toLongLong(&whole);
      if (whole) return Value(integer);
      return Value(RealFromText(text));
    }
    case kBool:
      return Value(qint64{text == "t" ? -1 : 0});
    case kBytea: {
      size_t length = 0;
      unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(raw), &length);
      Value value = Value::FromBytes(bytes, static_cast<qsizetype>(length));
      PQfreemem(bytes);
      return value;
    }
    default:
      return Value::FromUtf8(raw, text.size());
  }
}

Recordset Session::Snapshot(const PGresult* result, const QHash<QString, QString>& spellings,
                            int firstColumn) {
  const int columns = PQnfields(result);
  const int rows = PQntuples(result);
  QStringList names;
  for (int c = firstColumn; c < columns; ++c) {
    const QString name = QString::fromUtf8(PQfname(result, c));
    names << spellings.value(name, name);
  }
  std::vector<Value> cells;
  cells.reserve(static_cast<size_t>(rows) * static_cast<size_t>(columns - firstColumn));
  for (int r = 0; r < rows; ++r) {
    for (int c = firstColumn; c < columns; ++c)
      cells.push_back(CellValue(result, r, c));
  }
  return Recordset(std::move(names), std::move(cells));
}

}  // namespace tarvel::db::pg
