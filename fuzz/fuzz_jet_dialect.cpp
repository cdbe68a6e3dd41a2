// The Jet dialect's translation, on any text and on real statements against a small table.
//
// Invariants: Translate (for SQLite and for PostgreSQL) throws nothing but DbError; "select top N *
// from CUST" followed by any tail that opens no other select (no parenthesis, compound operator or
// ";") returns at most N rows when the engine runs it: a comment or anything else in the tail never
// loses the limit.
#include <fuzzer/FuzzedDataProvider.h>
#include <sqlite3.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdint>
#include <memory>

#include "FuzzCheck.h"
#include "db/Connection.h"
#include "db/DbError.h"
#include "db/JetDialect.h"
#include "db/PgDialect.h"

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
    sqlite3_progress_handler(opened->Handle(), 100, &CountSteps, nullptr);
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

  try {
    (void)tarvel::db::JetDialect::Translate(tail);
  } catch (const tarvel::db::DbError&) {
  }
  try {
    (void)tarvel::db::PgDialect::Translate(tail);
  } catch (const tarvel::db::DbError&) {
  }

  const QString statement = QStringLiteral("select top %1 * from CUST").arg(top) + tail;
  stepsLeft = kStepBudget;
  try {
    const qint64 rows = Database().OpenRecordset(statement).RecordCount();
    if (!MayHoldAnotherSelect(tail)) {
      Check(rows <= top, "top N returns at most N rows", statement,
            tarvel::db::JetDialect::Translate(statement));
    }
  } catch (const tarvel::db::DbError&) {
    // not a statement the engine takes (or over its step budget)
  }
  return 0;
}
