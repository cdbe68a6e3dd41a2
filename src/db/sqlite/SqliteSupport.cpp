#include "db/sqlite/SqliteSupport.h"

#include <algorithm>
#include <iterator>

#include "db/DbError.h"

namespace tarvel::db::detail {

QString LockedDescription(const QString& path) {
  return QStringLiteral("資料庫 %1 正被其他程式鎖定，請稍後再試。").arg(path);
}

QString EngineErrorDescription(sqlite3* db) {
  // SQLITE_LOCKED is a conflict inside this connection, not another program's lock: it keeps
  // the engine's words.
  if ((sqlite3_extended_errcode(db) & 0xff) == SQLITE_BUSY) {
    const char* file = sqlite3_db_filename(db, "main");
    return LockedDescription(file ? QString::fromUtf8(file) : QString());
  }
  const int code = sqlite3_extended_errcode(db) & 0xff;
  if (code == SQLITE_CORRUPT || code == SQLITE_NOTADB) {
    const char* file = sqlite3_db_filename(db, "main");
    return QStringLiteral("資料庫檔案 %1 已損壞，無法讀取（%2）")
        .arg(file ? QString::fromUtf8(file) : QString(), QString::fromUtf8(sqlite3_errmsg(db)));
  }
  return QString::fromUtf8(sqlite3_errmsg(db));
}

void ThrowEngineError(sqlite3* db, const QString& statement) {
  throw DbError(EngineErrorDescription(db), statement);
}

StatementPtr PrepareSingle(sqlite3* db, const QString& sql, const QString& jetSql) {
  const QByteArray utf8 = sql.toUtf8();
  sqlite3_stmt* raw = nullptr;
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(db, utf8.constData(), static_cast<int>(utf8.size()), &raw, &tail) !=
      SQLITE_OK) {
    ThrowEngineError(db, jetSql);
  }
  StatementPtr stmt(raw);
  if (!stmt) throw DbError(QStringLiteral("SQL 陳述式是空的。"), jetSql);
  for (const char* p = tail; p && p < utf8.constData() + utf8.size(); ++p) {
    if (*p != ' ' && *p != ';' && *p != '\t' && *p != '\r' && *p != '\n') {
      throw DbError(QStringLiteral("在 SQL 陳述式結尾之後找到字元。"), jetSql);
    }
  }
  return stmt;
}

void BindValue(sqlite3_stmt* stmt, int index, const Value& value, const QString& jetSql) {
  int rc = SQLITE_OK;
  switch (value.GetKind()) {
    case Value::Kind::Null:
      rc = sqlite3_bind_null(stmt, index);
      break;
    case Value::Kind::Integer:
      rc = sqlite3_bind_int64(stmt, index, value.AsInteger());
      break;
    case Value::Kind::Real:
      rc = sqlite3_bind_double(stmt, index, value.AsReal());
      break;
    case Value::Kind::Text: {
      // An empty text has no characters and may have no buffer either; the engine would take a
      // null pointer for NULL, and the suite tells '' from NULL.
      static constexpr char16_t kEmpty[] = u"";
      const QStringView text = value.TextView();
      const void* chars = text.isEmpty() ? static_cast<const void*>(kEmpty) : text.utf16();
      rc = sqlite3_bind_text16(stmt, index, chars, static_cast<int>(text.size() * 2),
                               SQLITE_TRANSIENT);
      break;
    }
    case Value::Kind::Blob: {
      const QByteArray bytes = value.AsBlob();
      rc = sqlite3_bind_blob(stmt, index, bytes.constData(), static_cast<int>(bytes.size()),
                             SQLITE_TRANSIENT);
      break;
    }
  }
  if (rc != SQLITE_OK) ThrowEngineError(sqlite3_db_handle(stmt), jetSql);
}

Value ColumnValue(sqlite3_stmt* stmt, int column) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
      return Value(static_cast<qint64>(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
      return Value(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT:
      return Value::FromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                             sqlite3_column_bytes(stmt, column));
    case SQLITE_BLOB: {
      const void* bytes = sqlite3_column_blob(stmt, column);
      return Value::FromBytes(bytes, sqlite3_column_bytes(stmt, column));
    }
    default:
      return Value();
  }
}

void ReadColumnNames(sqlite3_stmt* stmt, int first, QStringList& names, QStringList& qualified) {
  const int columns = sqlite3_column_count(stmt);
  for (int c = first; c < columns; ++c) {
    names.push_back(QString::fromUtf8(sqlite3_column_name(stmt, c)));
    const char* table = sqlite3_column_table_name(stmt, c);
    const char* origin = sqlite3_column_origin_name(stmt, c);
    qualified.push_back(
        table && origin ? QString::fromUtf8(table) + u'.' + QString::fromUtf8(origin) : QString());
  }
}

Recordset ReadAll(sqlite3* db, sqlite3_stmt* stmt, const QString& jetSql,
                  std::vector<qint64>* rowids) {
  const int first = rowids ? 1 : 0;
  const int columns = sqlite3_column_count(stmt);
  QStringList names;
  QStringList qualified;
  ReadColumnNames(stmt, first, names, qualified);
  // The row count is unknown until the end: fill fixed-size chunks, then move them once into
  // the snapshot's single array instead of regrowing (and moving) one array again and again.
  constexpr size_t kChunkCells = 1 << 16;
  std::vector<std::vector<Value>> chunks;
  size_t total = 0;
  for (;;) {
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE) break;
    if (rc != SQLITE_ROW) ThrowEngineError(db, jetSql);
    if (rowids) rowids->push_back(sqlite3_column_int64(stmt, 0));
    if (chunks.empty() || chunks.back().size() + static_cast<size_t>(columns) > kChunkCells) {
      chunks.emplace_back().reserve(std::max(kChunkCells, static_cast<size_t>(columns)));
    }
    auto& chunk = chunks.back();
    for (int c = first; c < columns; ++c)
      chunk.push_back(ColumnValue(stmt, c));
    total += static_cast<size_t>(columns - first);
  }
  std::vector<Value> cells;
  if (chunks.size() == 1) {
    cells = std::move(chunks.front());
  } else {
    cells.reserve(total);
    for (auto& chunk : chunks) {
      std::move(chunk.begin(), chunk.end(), std::back_inserter(cells));
      std::vector<Value>().swap(chunk);
    }
  }
  return Recordset(std::move(names), std::move(cells), std::move(qualified));
}

}  // namespace tarvel::db::detail
