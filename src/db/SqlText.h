// The one helper through which every value spliced into an SQL text passes.
#pragma once

#include <QString>

namespace tarvel::db {

/// `value` with every apostrophe doubled, ready to stand between the single quotes of an SQL
/// fragment: "where ID = '" + SqlEscape(id) + "'". A text without apostrophes is returned as is.
inline QString SqlEscape(const QString& value) {
  QString escaped = value;
  escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
  return escaped;
}

}  // namespace tarvel::db
