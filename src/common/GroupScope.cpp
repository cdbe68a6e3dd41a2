#include "common/GroupScope.h"

#include <algorithm>

#include "db/SqlText.h"

namespace tarvel {

QString GroupScopeFilter(const QString& condition, const QString& tablePrefix,
                         const UserGroups& groups) {
  const QString qualifier = tablePrefix.isEmpty() ? QString() : tablePrefix + u'.';
  const auto filled = std::count_if(groups.begin(), groups.end(),
                                    [](const QString& group) { return !group.isEmpty(); });
  QString result = condition;
  // About 30 characters per alternative plus the qualifier and the value; reserving avoids
  // regrowing a text of up to 400 alternatives.
  result.reserve(condition.size() + filled * kGroupCount * (32 + qualifier.size()));
  for (const QString& group : groups) {
    if (group.isEmpty()) continue;
    const QString value = db::SqlEscape(group);
    for (int column = 0; column < kGroupCount; ++column) {
      result += QStringLiteral(" or ") + qualifier + QStringLiteral("[GROUP");
      if (column > 0) result += QString::number(column);
      result += QStringLiteral("] = '") + value + QStringLiteral("' ");
    }
  }
  return result;
}

}  // namespace tarvel
