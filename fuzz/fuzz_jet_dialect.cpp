// Access SQL's translation, on any text and on real statements against a small table.
//
// Invariants: translating for SQLite and for PostgreSQL throws nothing but SqlError (or the
// database's DbError) and never hangs; "select top N * from CUST" followed by any tail that opens
// no other select (no parenthesis, compound operator or ";") returns at most N rows when the engine
// runs it: a comment or anything else in the tail never loses the limit; a statement whose literal
// carries quotes keeps its shape: "select * from CUST where ID = '<text>'" finds exactly the rows
// whose ID equals that text in Jet's order.
#include <fuzzer/FuzzedDataProvider.h>
#include <sqlite3.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>

#include "FuzzCheck.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/SqlText.h"
#include "db/sql/JetOrder.h"
#include "db/sql/SqlError.h"
#include "db/sql/Translate.h"
#include "db/sqlite/SqliteBackend.h"

namespace {

using tarvel::fuzz::Check;
constexpr int kRows = 5;

// Steps the engine may take for one statement; a tail that joins the table to itself many times
// is cut short instead of running for hours.
constexpr int kStepBudget = 200000;
int stepsLeft = 0;
int CountSteps(void*) {
  return --stepsLeft < 0 ? 1 : 0;
}

tarvel::db::Connection& Database() {
  static QTemporaryDir dir;
  static const std::unique_ptr<tarvel::db::Connection> connection = [] {
    auto opened = tarvel::db::Connection::OpenFile(dir.filePath(QStringLiteral("korv.mdb")), true);
    opened->ExecuteScript(QStringLiteral(
        "create table CUST (ID text collate nocase, N integer);"
        "insert into CUST values ('a', 1), ('b', 2), ('c', 3), ('d', 4), ('e', 5);"));
    sqlite3_progress_handler(
        static_cast<tarvel::db::SqliteBackend&>(tarvel::db::BackendOf(*opened)).Handle(), 100,
        &CountSteps, nullptr);
    return opened;
  }();
  return *connection;
}

// Whether the tail may hold another select, whose own rows the outer top does not limit.
bool MayHoldAnotherSelect(const QString& tail) {
  for (const char* word : {"union", "except", "intersect", "(", ")", ";"}) {
    if (tail.contains(QLatin1String(word), Qt::CaseInsensitive)) return true;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 2048) return 0;
  FuzzedDataProvider input(data, size);
  const int top = input.ConsumeIntegralInRange(1, kRows - 1);
  const QString tail = QString::fromStdString(input.ConsumeRemainingBytesAsString());

  using tarvel::db::sql::Engine;
  for (const Engine engine : {Engine::Sqlite, Engine::Postgres}) {
    for (const auto wildcards :
         {tarvel::db::sql::Wildcards::Ansi, tarvel::db::sql::Wildcards::Access}) {
      try {
        (void)tarvel::db::sql::Translate(tail, engine, &Database().Catalog(), {wildcards});
      } catch (const tarvel::db::sql::SqlError&) {
      } catch (const tarvel::db::DbError&) {
        // the database's own, reading a crosstab's pivot values
      }
    }
  }

  const QString statement = QStringLiteral("select top %1 * from CUST").arg(top) + tail;
  stepsLeft = kStepBudget;
  try {
    const qint64 rows = Database().OpenRecordset(statement).RecordCount();
    if (!MayHoldAnotherSelect(tail)) {
      Check(rows <= top, "top N returns at most N rows", statement,
            tarvel::db::sql::Translate(statement, Engine::Sqlite, &Database().Catalog()).sql);
    }
  } catch (const tarvel::db::DbError&) {
    // not a statement the engine takes (or over its step budget)
  }

  // A literal that carries quotes, percent signs or comment marks stays one literal.
  const QString literal = tail.left(40);
  // Texts SQLite stores as they are: no NUL (SqlEscape drops it), no lone surrogate.
  if (literal.contains(QChar(u'\0')) || QString::fromUtf8(literal.toUtf8()) != literal) return 0;
  const QString lookup = QStringLiteral("select * from CUST where ID = '") +
                         tarvel::db::SqlEscape(literal) + QStringLiteral("'");
  stepsLeft = kStepBudget;
  try {
    const qint64 rows = Database().OpenRecordset(lookup).RecordCount();
    // The rows whose ID equals the literal in Jet's order, which passes over what Jet passes
    // over (control characters, for one: 'E' followed by U+000F finds 'e').
    qint64 equal = 0;
    for (const char* id : {"a", "b", "c", "d", "e"})
      equal += tarvel::db::sql::CompareJet(tarvel::db::sql::SortOrder::General,
                                           QString::fromLatin1(id), literal) == 0;
    Check(rows == equal, "a quoted literal stays a literal", lookup,
          tarvel::db::sql::Translate(lookup, Engine::Sqlite, &Database().Catalog()).sql);
  } catch (const tarvel::db::DbError&) {
    Check(false, "a quoted literal is a statement", lookup, QString());
  }
  return 0;
}
