// Jet 3 rows longer than 256 bytes, which no fixture holds: their variable columns' one-byte
// offsets get their high bytes from a table of jumps, with a spare jump when only the offsets
// themselves passed a 256-byte mark. Built here the way Access 97 lays a row out.
#include <gtest/gtest.h>

#include <QByteArray>

#include "db/jet/JetPage.h"

namespace tarvel::db::jet {
namespace {

// A Jet 3 row of variable columns only, all present: the column count, the values, the end
// offset's and each value's low byte (the last column's first), a spare jump where the row
// passes 256 bytes without an offset doing so, a jump for each column where the high byte rises,
// the count of variable columns and the null mask (every column present).
QByteArray Jet3Row(const std::vector<QByteArray>& values) {
  const int count = static_cast<int>(values.size());
  QByteArray row(1, static_cast<char>(count));
  std::vector<int> offsets;
  for (const QByteArray& v : values) {
    offsets.push_back(static_cast<int>(row.size()));
    row += v;
  }
  offsets.push_back(static_cast<int>(row.size()));  // where the values end
  for (int i = count; i >= 0; --i)
    row += static_cast<char>(offsets[static_cast<size_t>(i)] & 0xff);
  // A reader counts one jump per 256 bytes of the whole row: a spare one when the jumps the
  // offsets need fall short of that.
  const int maskSize = (count + 7) / 8;
  const int jumps = offsets.back() >> 8;
  if ((static_cast<int>(row.size()) + jumps + maskSize) / 256 > jumps) row += '\xff';
  for (int i = count; i > 0; --i) {
    for (int high = offsets[static_cast<size_t>(i) - 1] >> 8;
         high < offsets[static_cast<size_t>(i)] >> 8; ++high)
      row += static_cast<char>(i);
  }
  row += static_cast<char>(count);
  row += QByteArray(maskSize, '\xff');
  return row;
}

TEST(JetPage, Jet3RowsPastTheirFirst256BytesFindEveryColumn) {
  const std::vector<std::vector<QByteArray>> rows = {
      {QByteArray(300, 'a'), QByteArray("bb")},                         // a real jump
      {QByteArray(252, 'a')},                                           // only a spare jump
      {QByteArray(10, 'a'), QByteArray(600, 'b'), QByteArray(5, 'c')},  // two jumps at once
      {QByteArray(255, 'a'), QByteArray(), QByteArray(1, 'c')},  // an empty value on the mark
  };
  for (const auto& values : rows) {
    SCOPED_TRACE(values.front().size());
    QByteArray page(2048, '\0');
    const QByteArray row = Jet3Row(values);
    const int start = page.size() - static_cast<int>(row.size());
    page.replace(start, row.size(), row);
    std::vector<ColumnPlace> columns;
    for (size_t i = 0; i < values.size(); ++i)
      columns.push_back({static_cast<int>(i), false, false, 0, 0, static_cast<int>(i)});
    std::vector<FieldBytes> fields;
    QString why;
    const PageBytes bytes{reinterpret_cast<const unsigned char*>(page.constData()), 2048, true};
    ASSERT_TRUE(SplitRow(bytes, start, page.size(), true, columns, fields, why))
        << why.toStdString();
    for (size_t i = 0; i < values.size(); ++i) {
      EXPECT_FALSE(fields[i].null);
      EXPECT_EQ(page.mid(fields[i].start, fields[i].size), values[i]) << i;
    }
  }
}

}  // namespace
}  // namespace tarvel::db::jet
