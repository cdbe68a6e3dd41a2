#include "db/JetDialect.h"

#include <sqlite3.h>

#include "db/DbError.h"
#include "db/JetRewriter.h"
#include "platform/Conversions.h"

namespace tarvel::db::JetDialect {
namespace {

// "-12.50", "0.00", "7": the texts that Jet would read back as the same number.
bool IsPlainNumber(QStringView text) {
  qsizetype i = 0;
  if (i < text.size() && text[i] == u'-') ++i;
  const qsizetype digits = i;
  while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
    ++i;
  if (i == digits) return false;
  if (i - digits > 1 && text[digits] == u'0') return false;  // "0012" is a code, not a number
  if (i == text.size()) return true;
  if (text[i] != u'.') return false;
  const qsizetype decimals = ++i;
  while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
    ++i;
  return i > decimals && i == text.size();
}

QString ArgumentText(sqlite3_value* value) {
  const auto* units = static_cast<const char16_t*>(sqlite3_value_text16(value));
  const int bytes = sqlite3_value_bytes16(value);
  return units ? QString::fromUtf16(units, bytes / 2) : QString();
}

void FormatFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  const int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  const QString pattern = ArgumentText(argv[1]);
  QString text;
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
    const double number = sqlite3_value_double(argv[0]);
    text = pattern.isEmpty() ? NumberText(number) : FormatNumber(number, pattern);
  } else {
    text = ArgumentText(argv[0]);
    if (!pattern.isEmpty()) text = Format(text, pattern);
  }
  if (IsPlainNumber(text)) {
    bool ok = false;
    if (!text.contains(u'.')) {
      const qint64 whole = text.toLongLong(&ok);
      if (ok) {
        sqlite3_result_int64(context, whole);
        return;
      }
    }
    const double real = text.toDouble(&ok);
    if (ok) {
      sqlite3_result_double(context, real);
      return;
    }
  }
  sqlite3_result_text16(context, text.utf16(), static_cast<int>(text.size() * 2), SQLITE_TRANSIENT);
}

}  // namespace

QString Translate(const QString& jetSql) {
  return detail::Rewrite(jetSql, detail::Engine::Sqlite).sql;
}

void InstallFunctions(sqlite3* db) {
  const int rc = sqlite3_create_function_v2(db, "format", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                            nullptr, &FormatFunction, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
}

}  // namespace tarvel::db::JetDialect
