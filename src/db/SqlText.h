// The one helper through which every value spliced into an SQL text passes.
#pragma once

#include <QString>

namespace tarvel::db {

/// `value` with every apostrophe doubled, ready to stand between the single quotes of an SQL
/// fragment: "where ID = '" + SqlEscape(id) + "'". A text without apostrophes is returned as is.
/// A NUL character is left out: the engine reads a statement only up to its first NUL, so one in
/// a value would cut the statement inside the literal (and no stored text holds one).
inline QString SqlEscape(const QString& value) {
  QString escaped = value;
  escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
  escaped.remove(QChar(u'\0'));
  return escaped;
}

}  // namespace tarvel::db
