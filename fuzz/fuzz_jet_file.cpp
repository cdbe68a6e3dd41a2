// The Jet reader on damaged files: a real Jet 4 or Jet 3 file with the input's bytes written over
// it (each patch: four bytes of offset, a length, then that many bytes to write), read as the
// program reads it: catalog, every table through the SQLite virtual tables, the stored queries and
// their views.
//
// Invariants: nothing but DbError is thrown; no crash, sanitizer report or hang.
#include <fuzzer/FuzzedDataProvider.h>
#include <sqlite3.h>

#include <QFile>
#include <cstdint>
#include <memory>

#include "db/DbError.h"
#include "db/jet/JetFile.h"
#include "db/jet/JetModule.h"
#include "db/sqlite/SqliteAccessFunctions.h"
#include "db/sqlite/SqliteCatalog.h"

namespace {

QByteArray Fixture(const char* name) {
  QFile file(QStringLiteral(TARVEL_JET_FIXTURES "/") + QLatin1String(name));
  file.open(QIODevice::ReadOnly);
  return file.readAll();
}

const QByteArray& Base(int which) {
  static const QByteArray files[] = {Fixture("queryTestV1997.mdb"), Fixture("delTestV2003.mdb"),
                                     Fixture("overflowTestV2003.mdb")};
  return files[which];
}

void ReadEverything(const std::shared_ptr<tarvel::db::jet::Source>& source) {
  sqlite3* db = nullptr;
  sqlite3_open(":memory:", &db);
  const std::unique_ptr<sqlite3, int (*)(sqlite3*)> closer(db, &sqlite3_close_v2);
  tarvel::db::RegisterAccessFunctions(db);
  tarvel::db::SqliteCatalog catalog(db);
  tarvel::db::jet::Attach(db, source, catalog);
  for (const QString& table : source->file->Tables()) {
    const QByteArray sql = (QStringLiteral("select * from \"") + table + u'"').toUtf8();
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr) != SQLITE_OK) continue;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      for (int c = 0; c < sqlite3_column_count(stmt); ++c)
        (void)sqlite3_column_bytes(stmt, c);
    }
    sqlite3_finalize(stmt);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  QByteArray bytes = Base(input.ConsumeIntegralInRange(0, 2));
  if (bytes.isEmpty()) return 0;
  while (input.remaining_bytes() > 3) {
    const auto offset = static_cast<qsizetype>(input.ConsumeIntegral<std::uint32_t>() %
                                               static_cast<std::uint32_t>(bytes.size()));
    const std::string patch = input.ConsumeBytesAsString(input.ConsumeIntegralInRange(1, 16));
    for (size_t i = 0; i < patch.size() && offset + static_cast<qsizetype>(i) < bytes.size(); ++i)
      bytes[offset + static_cast<qsizetype>(i)] = patch[i];
  }
  auto source = std::make_shared<tarvel::db::jet::Source>();
  try {
    source->file = tarvel::db::jet::File::OpenBytes(bytes, QStringLiteral("fuzz.mdb"));
    ReadEverything(source);
  } catch (const tarvel::db::DbError&) {
    // a damaged file refused in words: what should happen
  }
  return 0;
}
