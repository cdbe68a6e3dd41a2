// The condition that lets a user restricted to his own customers see his groups' rows as well.
#pragma once

#include <QString>
#include <array>

namespace tarvel {

/// A user belongs to at most twenty groups, and every row carries as many group columns
/// ([GROUP], [GROUP1] … [GROUP19]).
inline constexpr int kGroupCount = 20;
using UserGroups = std::array<QString, kGroupCount>;

/// `condition` followed by one alternative per non-empty group of the user and per group column
/// of the row, groups in order and, within a group, the columns [GROUP], [GROUP1] … [GROUP19]:
///   " or [GROUP] = 'A1' "            (empty tablePrefix)
///   " or EMPLOYEE.[GROUP] = 'A1' "   (tablePrefix "EMPLOYEE")
/// With no group the condition comes back unchanged. The caller opens the parenthesis that the
/// alternatives extend and closes it. Each group value passes through db::SqlEscape, so a group
/// text holding an apostrophe compares as that text instead of breaking the statement.
QString GroupScopeFilter(const QString& condition, const QString& tablePrefix,
                         const UserGroups& groups);

}  // namespace tarvel
