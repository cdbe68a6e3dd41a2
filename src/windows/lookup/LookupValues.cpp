#include "windows/lookup/LookupValues.h"

#include <algorithm>

#include "platform/UserInterface.h"

namespace tarvel {
namespace {

/// The runtime's Trim: spaces only, as every text read from a row is trimmed.
QString TrimSpaces(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text[begin] == u' ')
    ++begin;
  while (end > begin && text[end - 1] == u' ')
    --end;
  return text.mid(begin, end - begin);
}

}  // namespace

bool FindInList(std::span<const std::vector<QString>> rows, const QString& key,
                LookupValues& values) {
  values.ClearResult();
  // A list wider than LookupResult cannot be handed back whole. It is refused before any row is
  // compared, so a wrong list shows itself on every look-up and not only on the one that matches.
  const bool tooWide = std::any_of(rows.begin(), rows.end(), [](const std::vector<QString>& row) {
    return row.size() > static_cast<size_t>(kLookupResultSize);
  });
  if (tooWide) {
    ShowMessage(QStringLiteral("陣列索引超出範圍"), kCritical,
                QStringLiteral("依條件搜尋陣列錯誤"));
    return false;
  }
  if (rows.empty() || rows.front().size() < 2) return false;
  for (const std::vector<QString>& row : rows) {
    const bool byCode = !row.empty() && TrimSpaces(row[0]) == key;
    const bool byName = row.size() > 1 && TrimSpaces(row[1]) == key;
    if (!byCode && !byName) continue;
    for (size_t field = 0; field < row.size(); ++field)
      values.LookupResult[field] = TrimSpaces(row[field]);
    return true;
  }
  return false;
}

}  // namespace tarvel
