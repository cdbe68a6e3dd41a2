#include "db/jet/JetModule.h"

#include <sqlite3.h>

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <unordered_map>

#include "db/DbError.h"
#include "db/SqlText.h"
#include "db/jet/JetFile.h"
#include "db/sql/JetOrder.h"
#include "db/sql/Translate.h"
#include "db/sqlite/SqliteAccessFunctions.h"
#include "db/sqlite/SqliteCatalog.h"

namespace tarvel::db::jet {
namespace {

// The declared type of a Jet column: Access's name of its type (SQLite takes its affinity from it,
// the translation its type). Texts sort in the file's own sort order (`collation`).
QString DeclaredType(const Column& column, const char* collation) {
  switch (static_cast<ColumnType>(column.type)) {
    case ColumnType::Text:
    case ColumnType::Memo:
      return QStringLiteral("TEXT COLLATE ") + QLatin1String(collation);
    case ColumnType::Boolean:
      return QStringLiteral("YESNO");
    // Access's own names, so the translation types each number as Access does (INTEGER affinity
    // for the whole numbers, REAL for the others, NUMERIC for SHORT and SINGLE).
    case ColumnType::Byte:
      return QStringLiteral("BYTE");
    case ColumnType::Integer:
      return QStringLiteral("SHORT");
    case ColumnType::Long:
      return QStringLiteral("LONG INTEGER");
    case ColumnType::Money:
      return QStringLiteral("CURRENCY");
    case ColumnType::Single:
      return QStringLiteral("SINGLE");
    case ColumnType::Double:
      return QStringLiteral("DOUBLE");
    case ColumnType::Numeric:
      return QStringLiteral("NUMERIC");
    case ColumnType::DateTime:
      return QStringLiteral("DATETIME");
    case ColumnType::ReplicationId:
      return QStringLiteral("TEXT");
    case ColumnType::Binary:
    case ColumnType::Ole:
      break;
  }
  // Access 2016's Large Number: a whole number of 64 bits (read as a Long by the translation).
  if (column.type == kBigIntColumn) return QStringLiteral("BIGINT");
  return QStringLiteral("BLOB");
}

// A table read whole for one statement, with an index per column looked up: the inner side of a
// join is then read once per statement instead of once per outer row.
struct Rows {
  quint64 statement = 0;
  std::vector<std::vector<Cell>> cells;
  std::vector<qint64> keys;
  std::unordered_map<int, std::unordered_multimap<std::string, size_t>> indexes;
};

struct Table : sqlite3_vtab {
  std::shared_ptr<Source> source;
  QString name;
  int columns = 0;
  double rows = 0;
  std::vector<bool> textColumns;
  std::shared_ptr<Rows> held;
};

struct Cursor : sqlite3_vtab_cursor {
  std::unique_ptr<Scan> scan;  // a streaming scan, or
  std::shared_ptr<Rows> rows;  // the statement's copy and the matching rows in it
  std::vector<size_t> matches;
  size_t at = 0;
  bool eof = true;
};

// A value as a lookup key: texts by their equality in the file's order (equal but for case, as
// the columns' collation compares them), numbers as doubles, so 3 and 3.0 meet. Lookups keep
// SQLite's own test (the constraint is not omitted), so a key only has to find every row that may
// match; other rows are filtered out afterwards.
std::string KeyOf(const Cell& cell, sql::SortOrder order) {
  switch (cell.kind) {
    case Cell::Kind::Text: {
      const QByteArray equal = sql::JetEqualityKey(
          order, QString::fromUtf8(cell.bytes.data(), static_cast<qsizetype>(cell.bytes.size())));
      return "t" + equal.toStdString();
    }
    case Cell::Kind::Integer:
    case Cell::Kind::Real: {
      const double v =
          cell.kind == Cell::Kind::Integer ? static_cast<double>(cell.integer) : cell.real;
      char text[40];
      std::snprintf(text, sizeof text, "n%.17g", v);
      return text;
    }
    default:
      return {};
  }
}

// The key of a constraint's value, or nothing when its kind is not the column's: every row is then
// a candidate.
std::optional<std::string> KeyOf(sqlite3_value* value, bool textColumn, sql::SortOrder order) {
  Cell cell;
  switch (sqlite3_value_type(value)) {
    case SQLITE_TEXT:
      if (!textColumn) return std::nullopt;
      cell.kind = Cell::Kind::Text;
      cell.bytes.assign(reinterpret_cast<const char*>(sqlite3_value_text(value)),
                        static_cast<size_t>(sqlite3_value_bytes(value)));
      return KeyOf(cell, order);
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
      if (textColumn) return std::nullopt;
      cell.kind = Cell::Kind::Real;
      cell.real = sqlite3_value_double(value);
      return KeyOf(cell, order);
    default:
      return std::nullopt;
  }
}

Table* TableOf(sqlite3_vtab_cursor* cursor) {
  return static_cast<Table*>(cursor->pVtab);
}

// Hands a failure to SQLite as the table's error text; a page in flux also marks the source, so
// the connection knows the statement may be run again.
int Fail(sqlite3_vtab* vtab, const DbError& error, bool torn) {
  auto* table = static_cast<Table*>(vtab);
  if (torn) table->source->torn = true;
  sqlite3_free(vtab->zErrMsg);
  vtab->zErrMsg = sqlite3_mprintf("%s", error.Description().toUtf8().constData());
  return SQLITE_ERROR;
}

template <typename F>
int Guarded(sqlite3_vtab* vtab, F&& action) {
  try {
    return action();
  } catch (const InconsistentPage& error) {
    return Fail(vtab, error, true);
  } catch (const DbError& error) {
    return Fail(vtab, error, false);
  } catch (const std::bad_alloc&) {
    return SQLITE_NOMEM;
  }
}

int Connect(sqlite3* db, void* aux, int argc, const char* const* argv, sqlite3_vtab** out,
            char** error) {
  const auto& source = *static_cast<std::shared_ptr<Source>*>(aux);
  if (argc < 4) {
    *error = sqlite3_mprintf("jet: which table?");
    return SQLITE_ERROR;
  }
  const int index = QByteArray(argv[3]).toInt();
  const QStringList& tables = source->file->Tables();
  if (index < 0 || index >= tables.size()) {
    *error = sqlite3_mprintf("jet: no table %s", argv[3]);
    return SQLITE_ERROR;
  }
  try {
    const QString& name = tables[index];
    const std::vector<Column> columns = source->file->Columns(name);
    QStringList declared;
    const char* collation = CollationOf(*source->file);
    for (const Column& c : columns)
      declared << QuotedName(c.name) + u' ' + DeclaredType(c, collation);
    if (declared.isEmpty()) declared << QStringLiteral("\"\" BLOB");
    const QString schema = QStringLiteral("CREATE TABLE x(") + declared.join(u',') + u')';
    const int rc = sqlite3_declare_vtab(db, schema.toUtf8().constData());
    // Reading a table has no side effect: the stored queries' views may read it also where the
    // schema is not trusted.
    if (rc == SQLITE_OK) sqlite3_vtab_config(db, SQLITE_VTAB_INNOCUOUS);
    if (rc != SQLITE_OK) {
      *error = sqlite3_mprintf("jet: %s: %s", name.toUtf8().constData(), sqlite3_errmsg(db));
      return rc;
    }
    auto table = std::make_unique<Table>();
    *static_cast<sqlite3_vtab*>(table.get()) = {};
    table->source = source;
    table->name = name;
    table->columns = static_cast<int>(columns.size());
    for (const Column& c : columns)
      table->textColumns.push_back(c.IsText());
    table->rows = static_cast<double>(source->file->RowCount(name));
    *out = table.release();
    return SQLITE_OK;
  } catch (const InconsistentPage& e) {
    source->torn = true;  // the connection sets its tables up again
    *error = sqlite3_mprintf("%s", e.Description().toUtf8().constData());
    return SQLITE_ERROR;
  } catch (const DbError& e) {
    *error = sqlite3_mprintf("%s", e.Description().toUtf8().constData());
    return SQLITE_ERROR;
  }
}

int Disconnect(sqlite3_vtab* vtab) {
  delete static_cast<Table*>(vtab);
  return SQLITE_OK;
}

// A plain scan streams the table; an equality on a column (the inner side of a join) is looked up
// in the statement's copy of the table. SQLite checks every row it gets either way.
int BestIndex(sqlite3_vtab* vtab, sqlite3_index_info* info) {
  const double rows = std::max(1.0, static_cast<Table*>(vtab)->rows);
  info->estimatedCost = rows * 10;
  info->estimatedRows = static_cast<sqlite3_int64>(rows);
  for (int i = 0; i < info->nConstraint; ++i) {
    const auto& c = info->aConstraint[i];
    if (c.usable && c.op == SQLITE_INDEX_CONSTRAINT_EQ && c.iColumn >= 0) {
      info->idxNum = c.iColumn + 1;
      info->aConstraintUsage[i].argvIndex = 1;
      info->aConstraintUsage[i].omit = 0;
      info->estimatedCost = std::log2(rows) + 10;
      info->estimatedRows = 10;
      break;
    }
  }
  return SQLITE_OK;
}

int Open(sqlite3_vtab*, sqlite3_vtab_cursor** out) {
  auto* cursor = new (std::nothrow) Cursor();
  if (!cursor) return SQLITE_NOMEM;
  *out = cursor;
  return SQLITE_OK;
}

int Close(sqlite3_vtab_cursor* cursor) {
  delete static_cast<Cursor*>(cursor);
  return SQLITE_OK;
}

int Next(sqlite3_vtab_cursor* base) {
  auto* cursor = static_cast<Cursor*>(base);
  if (cursor->rows) {
    cursor->eof = ++cursor->at >= cursor->matches.size();
    return SQLITE_OK;
  }
  return Guarded(base->pVtab, [&] {
    cursor->eof = !cursor->scan->Next();
    return SQLITE_OK;
  });
}

std::unique_ptr<Scan> OpenScan(Table* table) {
  auto scan = table->source->file->OpenScan(table->name);
  if (scan->ColumnCount() != table->columns) {
    throw InconsistentPage(
        QStringLiteral("Jet 資料表 %1 的欄位在讀取期間改變了。").arg(table->name));
  }
  return scan;
}

// The table read whole, once per statement.
std::shared_ptr<Rows> RowsOf(Table* table) {
  if (table->held && table->held->statement == table->source->statement) return table->held;
  auto rows = std::make_shared<Rows>();
  rows->statement = table->source->statement;
  auto scan = OpenScan(table);
  while (scan->Next()) {
    std::vector<Cell> row;
    row.reserve(static_cast<size_t>(table->columns));
    for (int c = 0; c < table->columns; ++c)
      row.push_back(scan->Value(c));
    rows->cells.push_back(std::move(row));
    rows->keys.push_back(scan->RowKey());
  }
  table->held = rows;
  return rows;
}

// A scan starts here, so it reads the table as the file holds it now.
int Filter(sqlite3_vtab_cursor* base, int idxNum, const char*, int argc, sqlite3_value** argv) {
  auto* cursor = static_cast<Cursor*>(base);
  Table* table = TableOf(base);
  return Guarded(base->pVtab, [&] {
    cursor->scan.reset();
    cursor->rows.reset();
    if (idxNum <= 0 || argc < 1) {
      cursor->scan = OpenScan(table);
      cursor->eof = !cursor->scan->Next();
      return SQLITE_OK;
    }
    const int column = idxNum - 1;
    cursor->rows = RowsOf(table);
    cursor->matches.clear();
    cursor->at = 0;
    const sql::SortOrder order = OrderOf(*table->source->file);
    const auto key = KeyOf(argv[0], table->textColumns[static_cast<size_t>(column)], order);
    if (!key) {
      for (size_t r = 0; r < cursor->rows->cells.size(); ++r)
        cursor->matches.push_back(r);
    } else if (!key->empty()) {
      auto& index = cursor->rows->indexes[column];
      if (index.empty()) {
        for (size_t r = 0; r < cursor->rows->cells.size(); ++r) {
          std::string k = KeyOf(cursor->rows->cells[r][static_cast<size_t>(column)], order);
          if (!k.empty()) index.emplace(std::move(k), r);
        }
      }
      const auto [from, to] = index.equal_range(*key);
      for (auto it = from; it != to; ++it)
        cursor->matches.push_back(it->second);
      std::sort(cursor->matches.begin(), cursor->matches.end());  // in the table's order
    }
    cursor->eof = cursor->matches.empty();
    return SQLITE_OK;
  });
}

int Eof(sqlite3_vtab_cursor* base) {
  return static_cast<Cursor*>(base)->eof;
}

int ColumnValue(sqlite3_vtab_cursor* base, sqlite3_context* context, int index) {
  auto* cursor = static_cast<Cursor*>(base);
  return Guarded(base->pVtab, [&] {
    if (index < 0 || index >= TableOf(base)->columns) {
      sqlite3_result_null(context);
      return SQLITE_OK;
    }
    const Cell& cell =
        cursor->rows ? cursor->rows->cells[cursor->matches[cursor->at]][static_cast<size_t>(index)]
                     : cursor->scan->Value(index);
    switch (cell.kind) {
      case Cell::Kind::Null:
        sqlite3_result_null(context);
        break;
      case Cell::Kind::Integer:
        sqlite3_result_int64(context, cell.integer);
        break;
      case Cell::Kind::Real:
        sqlite3_result_double(context, cell.real);
        break;
      case Cell::Kind::Text:
        sqlite3_result_text(context, cell.bytes.c_str(), static_cast<int>(cell.bytes.size()),
                            SQLITE_TRANSIENT);
        break;
      case Cell::Kind::Blob:
        sqlite3_result_blob(context, cell.bytes.data(), static_cast<int>(cell.bytes.size()),
                            SQLITE_TRANSIENT);
        break;
    }
    return SQLITE_OK;
  });
}

int Rowid(sqlite3_vtab_cursor* base, sqlite3_int64* rowid) {
  auto* cursor = static_cast<Cursor*>(base);
  *rowid = cursor->rows ? cursor->rows->keys[cursor->matches[cursor->at]] : cursor->scan->RowKey();
  return SQLITE_OK;
}

sqlite3_module MakeModule() {
  sqlite3_module module{};
  module.iVersion = 1;
  module.xCreate = &Connect;
  module.xConnect = &Connect;
  module.xBestIndex = &BestIndex;
  module.xDisconnect = &Disconnect;
  module.xDestroy = &Disconnect;
  module.xOpen = &Open;
  module.xClose = &Close;
  module.xFilter = &Filter;
  module.xNext = &Next;
  module.xEof = &Eof;
  module.xColumn = &ColumnValue;
  module.xRowid = &Rowid;
  // No xUpdate: SQLite refuses every write to these tables.
  return module;
}

const sqlite3_module kModule = MakeModule();

void Run(sqlite3* db, const QString& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
    const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
    sqlite3_free(message);
    throw DbError(text, sql);
  }
}

// Whether the view compiles (its tables, columns and functions exist); the engine's words if not.
QString Check(sqlite3* db, const QString& view) {
  sqlite3_stmt* stmt = nullptr;
  const QByteArray sql = (QStringLiteral("SELECT * FROM ") + QuotedName(view)).toUtf8();
  const int rc = sqlite3_prepare_v2(db, sql.constData(), -1, &stmt, nullptr);
  const QString reason = rc == SQLITE_OK ? QString() : QString::fromUtf8(sqlite3_errmsg(db));
  sqlite3_finalize(stmt);
  return reason;
}

}  // namespace

sql::SortOrder OrderOf(const File& file) {
  return file.SortOrder().kind == SortOrder::Kind::TraditionalChineseStroke
             ? sql::SortOrder::TraditionalChineseStroke
             : sql::SortOrder::General;
}

const char* CollationOf(const File& file) {
  switch (file.SortOrder().kind) {
    case SortOrder::Kind::General:
      return kJetGeneralCollation;
    case SortOrder::Kind::TraditionalChineseStroke:
      return kJetStrokeCollation;
    case SortOrder::Kind::Unknown:
      break;
  }
  // Read in another order, its texts would sort and compare otherwise than in Access.
  throw DbError(QStringLiteral("Jet 資料庫檔案 %1 記錄的排序方式是%2，本程式不認得這種排序方式"
                               "（只認得一般 %3 與繁體中文筆劃 %4），不以別的順序讀取它。")
                    .arg(file.Path(), file.SortOrder().Name())
                    .arg(SortOrder::kGeneral)
                    .arg(SortOrder::kTraditionalChineseStroke));
}

std::vector<QueryOutcome> Attach(sqlite3* db, const std::shared_ptr<Source>& source,
                                 SqliteCatalog& catalog) {
  CollationOf(*source->file);  // an order the program does not know is refused before anything
  catalog.SetOrder(OrderOf(*source->file));
  // The module's client data holds the source; SQLite deletes it with the connection.
  auto* held = new std::shared_ptr<Source>(source);
  if (sqlite3_create_module_v2(db, "jet", &kModule, held, [](void* p) {
        delete static_cast<std::shared_ptr<Source>*>(p);
      }) != SQLITE_OK) {
    throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
  }
  const QStringList& tables = source->file->Tables();
  for (int i = 0; i < tables.size(); ++i) {
    Run(db,
        QStringLiteral("CREATE VIRTUAL TABLE %1 USING jet(%2)").arg(QuotedName(tables[i])).arg(i));
  }

  std::vector<QueryOutcome> outcomes;
  for (StoredQuery& query : ReadStoredQueries(*source->file)) {
    QueryOutcome outcome;
    outcome.query = std::move(query);
    outcomes.push_back(std::move(outcome));
  }
  OfferViews(db, catalog, outcomes, tables);
  return outcomes;
}

namespace {

// Reads no data: a crosstab whose columns depend on the data is checked with none.
class NoPivotValues final : public sql::Catalog {
 public:
  explicit NoPivotValues(sql::Catalog& inner) : inner_(inner) {}
  const sql::Relation* Find(const QString& name) override { return inner_.Find(name); }
  std::vector<sql::Datum> PivotValues(const sql::Query&) override { return {}; }

 private:
  sql::Catalog& inner_;
};

bool IsQueryKind(StoredQuery::Kind kind) {
  return kind == StoredQuery::Kind::Select || kind == StoredQuery::Kind::Union ||
         kind == StoredQuery::Kind::Crosstab;
}

QString Body(const StoredQuery& q) {
  QString body = q.accessSql.trimmed();
  while (body.endsWith(u';'))
    body.chop(1);
  return body;
}

}  // namespace

void OfferViews(sqlite3* db, SqliteCatalog& catalog, std::vector<QueryOutcome>& outcomes,
                const QStringList& tables) {
  using Offer = StoredQueryReport::Offer;
  // The queries that may be offered, by name, with the stored queries each reads.
  QHash<QString, QueryOutcome*> candidates;
  QHash<QString, QStringList> reads;
  for (QueryOutcome& o : outcomes) {
    const StoredQuery& q = o.query;
    if (q.kind == StoredQuery::Kind::Unknown) {
      o.reason = QStringLiteral("無法重建：") + q.accessSql;
    } else if (!IsQueryKind(q.kind)) {
      o.reason = QStringLiteral("%1 查詢會改變資料或結構，本程式不執行。").arg(KindName(q.kind));
    } else if (tables.contains(q.name, Qt::CaseInsensitive)) {
      o.reason = QStringLiteral("與資料表同名。");
    } else {
      try {
        reads.insert(q.name.toLower(),
                     sql::SourceNames(sql::Parse(Body(q), {sql::Wildcards::Access})));
        candidates.insert(q.name.toLower(), &o);
      } catch (const Error& e) {
        o.reason = e.Description();
      }
    }
  }
  // Each query after the queries it reads; a query that reads itself, directly or not, is refused.
  QSet<QString> done, visiting;
  std::function<void(const QString&)> offer = [&](const QString& key) {
    if (done.contains(key)) return;
    QueryOutcome& o = *candidates.value(key);
    if (visiting.contains(key)) {
      o.reason = QStringLiteral("查詢讀取它自己（循環參照）。");
      return;
    }
    visiting.insert(key);
    for (const QString& name : reads.value(key)) {
      const QString dependency = name.toLower();
      if (dependency == key || !candidates.contains(dependency)) continue;
      offer(dependency);
      const QueryOutcome& d = *candidates.value(dependency);
      if (d.offer == Offer::No && o.reason.isEmpty())
        o.reason = QStringLiteral("它讀取的查詢 %1 無法使用：%2").arg(d.query.name, d.reason);
    }
    visiting.remove(key);
    done.insert(key);
    if (!o.reason.isEmpty()) return;
    const QString body = Body(o.query);
    try {
      NoPivotValues checking(catalog);
      const sql::Translation t =
          sql::Translate(body, sql::Engine::Sqlite, &checking, {sql::Wildcards::Access});
      const bool dataColumns =
          o.query.kind == StoredQuery::Kind::Crosstab &&
          !body.contains(QRegularExpression(QStringLiteral("\\bPIVOT\\b[\\s\\S]*\\bIN\\s*\\("),
                                            QRegularExpression::CaseInsensitiveOption));
      if (!t.placeholders.isEmpty() || !t.declared.empty() || dataColumns) {
        // Put in place where it is read: checked now as the engine would run it.
        sqlite3_stmt* stmt = nullptr;
        const int rc = sqlite3_prepare_v2(db, t.sql.toUtf8().constData(), -1, &stmt, nullptr);
        sqlite3_finalize(stmt);
        if (rc != SQLITE_OK) {
          o.reason = QString::fromUtf8(sqlite3_errmsg(db));
          return;
        }
        sql::Relation relation;
        relation.name = o.query.name;
        relation.inlineSql = body;
        catalog.Add(std::move(relation));
        o.offer = Offer::InPlace;
        return;
      }
      const QString create = QStringLiteral("CREATE VIEW ") + QuotedName(o.query.name) +
                             QStringLiteral(" AS ") + t.sql;
      char* message = nullptr;
      if (sqlite3_exec(db, create.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        o.reason = QString::fromUtf8(message ? message : "");
        sqlite3_free(message);
        return;
      }
      o.reason = Check(db, o.query.name);
      if (!o.reason.isEmpty()) {
        Run(db, QStringLiteral("DROP VIEW ") + QuotedName(o.query.name));
        return;
      }
      sql::Relation relation;
      relation.name = o.query.name;
      relation.columns = t.columns;
      catalog.Add(std::move(relation));
      o.offer = Offer::View;
    } catch (const Error& e) {
      o.reason = e.Description();
    }
  };
  for (QueryOutcome& o : outcomes)
    if (candidates.contains(o.query.name.toLower())) offer(o.query.name.toLower());
}

}  // namespace tarvel::db::jet
