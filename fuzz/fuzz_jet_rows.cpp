// The Jet reader's row path on damaged data pages: a real Jet 4 or Jet 3 file whose data pages
// (rows, moved rows' pointers, long values; never the catalog's, so the damage reaches the rows)
// get the input's bytes written over them, then every user table scanned and every value decoded:
// the row table, deleted and moved rows, the row's counts, null mask and offsets, memo chains.
// Input: a byte choosing the file, then patches (two bytes choosing a data page, two an offset in
// it, one a length, then that many bytes).
//
// Invariants: nothing but DbError is thrown; a refused row names the file and its table; no
// crash, sanitizer report or hang.
#include <fuzzer/FuzzedDataProvider.h>

#include <QFile>
#include <cstdint>
#include <vector>

#include "FuzzCheck.h"
#include "db/DbError.h"
#include "db/jet/JetFile.h"

namespace {

struct Base {
  QByteArray bytes;
  int pageSize = 0;
  std::vector<int> dataPages;  // data pages that are not the catalog's
};

Base Load(const char* name) {
  QFile file(QStringLiteral(TARVEL_JET_FIXTURES "/") + QLatin1String(name));
  file.open(QIODevice::ReadOnly);
  Base base;
  base.bytes = file.readAll();
  if (base.bytes.size() < 0x80) return base;
  base.pageSize = base.bytes[0x14] == 0 ? 2048 : 4096;
  constexpr quint32 kCatalogPage = 2;
  for (int page = 1; page < base.bytes.size() / base.pageSize; ++page) {
    const auto* p =
        reinterpret_cast<const unsigned char*>(base.bytes.constData()) + page * base.pageSize;
    const quint32 owner = p[4] | p[5] << 8 | p[6] << 16 | static_cast<quint32>(p[7]) << 24;
    if (p[0] == 0x01 && owner != kCatalogPage) base.dataPages.push_back(page);
  }
  return base;
}

const Base& Fixture(int which) {
  static const Base files[] = {Load("overflowTestV2003.mdb"), Load("testV1997.mdb"),
                               Load("testUnicodeCompV2003.mdb"), Load("delTestV2003.mdb")};
  return files[which];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using tarvel::fuzz::Check;
  FuzzedDataProvider input(data, size);
  const Base& base = Fixture(input.ConsumeIntegralInRange(0, 3));
  if (base.dataPages.empty()) return 0;
  QByteArray bytes = base.bytes;
  while (input.remaining_bytes() > 5) {
    const int page = base.dataPages[input.ConsumeIntegral<std::uint16_t>() % base.dataPages.size()];
    const int offset = input.ConsumeIntegral<std::uint16_t>() % base.pageSize;
    const std::string patch = input.ConsumeBytesAsString(input.ConsumeIntegralInRange(1, 16));
    for (size_t i = 0; i < patch.size() && offset + static_cast<int>(i) < base.pageSize; ++i)
      bytes[page * base.pageSize + offset + static_cast<int>(i)] = patch[i];
  }
  std::shared_ptr<tarvel::db::jet::File> file;
  try {
    file = tarvel::db::jet::File::OpenBytes(bytes, QStringLiteral("fuzz.mdb"));
  } catch (const tarvel::db::DbError&) {
    return 0;  // a damaged page of a system table the catalog reads: refused in words
  }
  for (const QString& table : file->Tables()) {
    try {
      const auto scan = file->OpenScan(table);
      while (scan->Next()) {
        for (int c = 0; c < scan->ColumnCount(); ++c)
          scan->Value(c);
      }
    } catch (const tarvel::db::jet::InconsistentPage& error) {
      Check(error.Description().contains(QStringLiteral("fuzz.mdb")) &&
                error.Description().contains(table),
            "a refused row names the file and its table", error.Description(), table);
    } catch (const tarvel::db::DbError&) {
      // a value the program cannot read (an ACCDB attachment): refused in words
    }
  }
  return 0;
}
