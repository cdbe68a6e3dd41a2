// The helpers through which every value and name spliced into an SQL text passes.
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

/// `name` as an SQL identifier in double quotes, a quote inside it doubled: "工單""明細". For the
/// names of tables and columns the program writes into the statements it makes itself.
inline QString QuotedName(const QString& name) {
  QString quoted = name;
  quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
  return QLatin1Char('"') + quoted + QLatin1Char('"');
}

}  // namespace tarvel::db
