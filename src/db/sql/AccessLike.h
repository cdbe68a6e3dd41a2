// Access's Like patterns (*, ?, #, [a-z], [!a-z]): matched here, or turned into the engines' own
// LIKE and regular-expression patterns where a pattern is a constant.
#pragma once

#include <QString>
#include <optional>

namespace tarvel::db::sql {

/// Whether `text` matches the Access pattern `pattern`, without regard to case (as Jet compares).
bool MatchAccessPattern(QStringView text, QStringView pattern);

/// The pattern as an SQL LIKE pattern with "\" as its escape character ("ab*" → "ab%", "50[%]" →
/// "50\%"), or nullopt when it needs more than LIKE has (#, character lists and ranges).
std::optional<QString> AccessPatternAsLike(const QString& pattern);

/// The pattern as an anchored POSIX regular expression ("a#[!x-z]*" → "^a[0-9][^x-z].*$"), for
/// PostgreSQL's case-insensitive match.
QString AccessPatternAsRegex(const QString& pattern);

}  // namespace tarvel::db::sql
