#include "db/jet/JetQueries.h"

#include <QHash>
#include <iterator>
#include <memory>

#include "db/DbError.h"
#include "db/jet/JetFile.h"

namespace tarvel::db::jet {
namespace {

// MSysQueries.Attribute: what a row of a query says.
enum Attribute {
  kType = 1,
  kParameter = 2,
  kFlags = 3,
  kRemoteDatabase = 4,
  kTable = 5,
  kColumn = 6,
  kJoin = 7,
  kWhere = 8,
  kGroupBy = 9,
  kHaving = 10,
  kOrderBy = 11,
};

// The flags row: bits of the select.
constexpr int kSelectStar = 0x01;
constexpr int kDistinct = 0x02;
constexpr int kOwnerAccess = 0x04;
constexpr int kDistinctRow = 0x08;
constexpr int kTop = 0x10;
constexpr int kPercent = 0x20;
constexpr int kUnionAll = 0x01;

// Crosstab: the role of a column or group row.
constexpr int kCrosstabValue = 0;
constexpr int kCrosstabPivot = 1;
constexpr int kCrosstabRow = 2;

StoredQuery::Kind KindOf(int flag) {
  switch (flag) {
    case 1:
      return StoredQuery::Kind::Select;
    case 2:
      return StoredQuery::Kind::MakeTable;
    case 3:
      return StoredQuery::Kind::Append;
    case 4:
      return StoredQuery::Kind::Update;
    case 5:
      return StoredQuery::Kind::Delete;
    case 6:
      return StoredQuery::Kind::Crosstab;
    case 7:
      return StoredQuery::Kind::DataDefinition;
    case 8:
      return StoredQuery::Kind::PassThrough;
    case 9:
      return StoredQuery::Kind::Union;
    default:
      return StoredQuery::Kind::Unknown;
  }
}

// A name as Access writes it: in brackets only when it is not a plain word.
QString Name(const QString& name) {
  bool plain = !name.isEmpty() && !name[0].isDigit();
  for (const QChar c : name) {
    if (!c.isLetterOrNumber() && c != u'_') plain = false;
  }
  return plain ? name : QStringLiteral("[") + name + QStringLiteral("]");
}

QString WithAlias(const QString& expression, const QString& alias) {
  return alias.isEmpty() ? expression : expression + QStringLiteral(" AS ") + Name(alias);
}

// A FROM source: a table (or query) under its key (alias or name), or a join of two sources.
struct Source {
  QString key;   // for a table
  QString text;  // for a table
  std::shared_ptr<Source> left;
  std::shared_ptr<Source> right;
  int joinType = 0;
  QString on;

  bool Contains(const QString& name) const {
    if (!left) return key.compare(name, Qt::CaseInsensitive) == 0;
    return left->Contains(name) || right->Contains(name);
  }
  QString Text(bool nested) const {
    if (!left) return text;
    const QString join = joinType == 2   ? QStringLiteral(" LEFT JOIN ")
                         : joinType == 3 ? QStringLiteral(" RIGHT JOIN ")
                                         : QStringLiteral(" INNER JOIN ");
    const QString whole = left->Text(true) + join + right->Text(true) + QStringLiteral(" ON ") + on;
    return nested ? QStringLiteral("(") + whole + QStringLiteral(")") : whole;
  }
};

// The FROM list: the tables in their order, each join folding the two sources that hold its
// tables into one; a second condition between sources already joined the same way is added in
// front of the first, as Access shows it.
QString FromList(const std::vector<const QueryRow*>& tables,
                 const std::vector<const QueryRow*>& joins) {
  std::vector<std::shared_ptr<Source>> sources;
  for (const QueryRow* t : tables) {
    auto source = std::make_shared<Source>();
    QString text;
    if (!t->expression.isEmpty()) text = t->expression;
    if (!t->name1.isEmpty()) text += Name(t->name1);
    source->text = WithAlias(text, t->name2);
    source->key = t->name2.isEmpty() ? t->name1 : t->name2;
    sources.push_back(source);
  }
  for (const QueryRow* j : joins) {
    std::shared_ptr<Source> from;
    std::shared_ptr<Source> to;
    size_t fromIndex = sources.size();
    for (size_t i = 0; i < sources.size() && (!from || !to); ++i) {
      if (!from && sources[i]->Contains(j->name1)) {
        from = sources[i];
        fromIndex = i;
        if (!to && sources[i]->Contains(j->name2)) {
          to = from;
          break;
        }
      } else if (!to && sources[i]->Contains(j->name2)) {
        to = sources[i];
      }
    }
    if (!from || !to) {
      throw DbError(
          QStringLiteral("聯結的資料表 %1 不在查詢中。").arg(!from ? j->name1 : j->name2));
    }
    if (from == to) {
      if (from->left && from->joinType == j->flag) {
        from->on = QStringLiteral("(") + j->expression + QStringLiteral(") AND (") + from->on +
                   QStringLiteral(")");
        continue;
      }
      (void)fromIndex;
      throw DbError(QStringLiteral("%1 與 %2 之間的聯結方式不一致。").arg(j->name1, j->name2));
    }
    std::erase(sources, from);
    std::erase(sources, to);
    auto join = std::make_shared<Source>();
    join->left = from;
    join->right = to;
    join->joinType = j->flag;
    join->on = j->expression;
    sources.push_back(join);
  }
  QStringList parts;
  for (const auto& s : sources)
    parts << s->Text(false);
  return parts.join(QStringLiteral(", "));
}

QString ParameterType(int flag) {
  static const QHash<int, QString> names = {
      {1, QStringLiteral("Bit")},         {2, QStringLiteral("Byte")},
      {3, QStringLiteral("Short")},       {4, QStringLiteral("Long")},
      {5, QStringLiteral("Currency")},    {6, QStringLiteral("IEEESingle")},
      {7, QStringLiteral("IEEEDouble")},  {8, QStringLiteral("DateTime")},
      {9, QStringLiteral("Binary")},      {10, QStringLiteral("Text")},
      {11, QStringLiteral("LongBinary")}, {12, QStringLiteral("Memo")},
      {15, QStringLiteral("Guid")},       {16, QStringLiteral("Decimal")},
  };
  return names.value(flag, QStringLiteral("Value"));
}

QString Joined(const std::vector<const QueryRow*>& rows, bool withAlias) {
  QStringList parts;
  for (const QueryRow* r : rows)
    parts << (withAlias ? WithAlias(r->expression, r->name1) : r->expression);
  return parts.join(QStringLiteral(", "));
}

}  // namespace

QString KindName(StoredQuery::Kind kind) {
  switch (kind) {
    case StoredQuery::Kind::Select:
      return QStringLiteral("Select");
    case StoredQuery::Kind::MakeTable:
      return QStringLiteral("Make Table");
    case StoredQuery::Kind::Append:
      return QStringLiteral("Append");
    case StoredQuery::Kind::Update:
      return QStringLiteral("Update");
    case StoredQuery::Kind::Delete:
      return QStringLiteral("Delete");
    case StoredQuery::Kind::Crosstab:
      return QStringLiteral("Crosstab");
    case StoredQuery::Kind::DataDefinition:
      return QStringLiteral("Data Definition");
    case StoredQuery::Kind::PassThrough:
      return QStringLiteral("Pass-Through");
    case StoredQuery::Kind::Union:
      return QStringLiteral("Union");
    case StoredQuery::Kind::Unknown:
      break;
  }
  return QStringLiteral("Unknown");
}

StoredQuery::Kind KindOfCatalogFlags(qint64 flags) {
  if (flags < 0 || flags > 0xff) return StoredQuery::Kind::Unknown;
  using Kind = StoredQuery::Kind;
  static constexpr Kind kByFlags[] = {Kind::Select,         Kind::Crosstab,    Kind::Delete,
                                      Kind::Update,         Kind::Append,      Kind::MakeTable,
                                      Kind::DataDefinition, Kind::PassThrough, Kind::Union};
  const auto index = static_cast<size_t>(flags >> 4);
  return index < std::size(kByFlags) ? kByFlags[index] : Kind::Unknown;
}

// A stored query's rows of MSysQueries, by what each holds.
struct QueryParts {
  const QueryRow* typeRow = nullptr;
  const QueryRow* flagsRow = nullptr;
  const QueryRow* remote = nullptr;
  std::vector<const QueryRow*> parameters, tables, columns, joins, wheres, groups, havings, orders;
};

QueryParts PartsOf(const std::vector<QueryRow>& rows) {
  QueryParts parts;
  for (const QueryRow& r : rows) {
    switch (r.attribute) {
      case kType:
        parts.typeRow = &r;
        break;
      case kParameter:
        parts.parameters.push_back(&r);
        break;
      case kFlags:
        parts.flagsRow = &r;
        break;
      case kRemoteDatabase:
        parts.remote = &r;
        break;
      case kTable:
        parts.tables.push_back(&r);
        break;
      case kColumn:
        parts.columns.push_back(&r);
        break;
      case kJoin:
        parts.joins.push_back(&r);
        break;
      case kWhere:
        parts.wheres.push_back(&r);
        break;
      case kGroupBy:
        parts.groups.push_back(&r);
        break;
      case kHaving:
        parts.havings.push_back(&r);
        break;
      case kOrderBy:
        parts.orders.push_back(&r);
        break;
      default:
        break;
    }
  }
  return parts;
}

StoredQuery RebuildQuery(const QString& name, const std::vector<QueryRow>& rows,
                         qint64 catalogFlags) {
  StoredQuery query;
  query.name = name;
  const QueryParts p = PartsOf(rows);
  // The type row's type; without one (as some files keep their oldest queries) or with one
  // Access does not write, the catalog's. Those whose text or target table only the type row
  // holds cannot be rebuilt without it.
  using Kind = StoredQuery::Kind;
  query.kind = p.typeRow ? KindOf(p.typeRow->flag) : Kind::Unknown;
  if (query.kind == Kind::Unknown) query.kind = KindOfCatalogFlags(catalogFlags);
  if (query.kind == Kind::Unknown) {
    throw DbError(QStringLiteral("查詢類型 %1 不明（MSysObjects 的 Flags 為 %2）。")
                      .arg(p.typeRow ? p.typeRow->flag : -1)
                      .arg(catalogFlags));
  }
  if (!p.typeRow) {
    if (query.kind == Kind::DataDefinition || query.kind == Kind::PassThrough ||
        query.kind == Kind::MakeTable || query.kind == Kind::Append) {
      throw DbError(QStringLiteral("MSysQueries 沒有它的類型列，%1 查詢的文字或目標在那一列。")
                        .arg(KindName(query.kind)));
    }
    if (p.tables.empty() && p.columns.empty())
      throw DbError(QStringLiteral("MSysQueries 沒有它的定義。"));
  }
  query.hasParameters = !p.parameters.empty();
  const int flags = p.flagsRow ? p.flagsRow->flag : 0;

  if (query.kind == StoredQuery::Kind::DataDefinition ||
      query.kind == StoredQuery::Kind::PassThrough) {
    QString text = p.typeRow->expression.trimmed();
    if (!text.endsWith(u';')) text += u';';
    query.accessSql = text;
    return query;
  }

  QStringList lines;
  if (!p.parameters.empty()) {
    QStringList declared;
    for (const QueryRow* parameter : p.parameters) {
      // "User Name" as Access shows it, [User Name]; "[Forms]![F]![C]" as it stands.
      const bool written = parameter->name1.contains(u'[') || parameter->name1.contains(u'!');
      declared << (written ? parameter->name1 : Name(parameter->name1)) + u' ' +
                      ParameterType(parameter->flag);
    }
    lines << QStringLiteral("PARAMETERS ") + declared.join(QStringLiteral(", ")) + u';';
  }

  const auto where = [&] {
    if (!p.wheres.empty()) lines << QStringLiteral("WHERE ") + p.wheres.front()->expression;
  };
  const auto orderBy = [&] {
    QStringList parts;
    for (const QueryRow* o : p.orders) {
      const bool descending = o->name1.compare(QLatin1String("D"), Qt::CaseInsensitive) == 0;
      parts << o->expression + (descending ? QStringLiteral(" DESC") : QString());
    }
    if (!parts.isEmpty()) lines << QStringLiteral("ORDER BY ") + parts.join(QStringLiteral(", "));
  };
  QString from = FromList(p.tables, p.joins);
  if (p.remote) from += QStringLiteral(" IN '") + p.remote->name1 + u'\'';

  if (query.kind == Kind::Union) {
    // Each part is the text of one select (itself maybe a union), as typed.
    QStringList parts;
    for (const QueryRow* t : p.tables)
      parts << t->expression.trimmed();
    lines << parts.join((flags & kUnionAll) ? QStringLiteral("\nUNION ALL\n")
                                            : QStringLiteral("\nUNION\n"));
    orderBy();
  } else if (query.kind == Kind::Update) {
    QStringList sets;
    for (const QueryRow* c : p.columns)
      sets << c->name2 + QStringLiteral(" = ") + c->expression;
    lines << QStringLiteral("UPDATE ") + from;
    lines << QStringLiteral("SET ") + sets.join(QStringLiteral(", "));
    where();
  } else if (query.kind == Kind::Delete) {
    lines << QStringLiteral("DELETE ") + Joined(p.columns, true);
    lines << QStringLiteral("FROM ") + from;
    where();
  } else {
    std::vector<const QueryRow*> selected = p.columns;
    std::vector<const QueryRow*> grouped = p.groups;
    QString transform;
    QString pivot;
    if (query.kind == Kind::Crosstab) {
      std::vector<const QueryRow*> values, rowHeads, rowGroups;
      for (const QueryRow* c : p.columns) {
        if (c->flag == kCrosstabValue) values.push_back(c);
        if (c->flag == kCrosstabRow) rowHeads.push_back(c);
        if (c->flag == kCrosstabPivot && pivot.isEmpty()) pivot = c->expression;
      }
      for (const QueryRow* g : p.groups) {
        if (g->flag == kCrosstabRow) rowGroups.push_back(g);
      }
      transform = QStringLiteral("TRANSFORM ") + Joined(values, true);
      selected = rowHeads;
      grouped = rowGroups;
      lines << transform;
    }
    QString select = QStringLiteral("SELECT ");
    if (flags & kDistinct) select += QStringLiteral("DISTINCT ");
    if (flags & kDistinctRow) select += QStringLiteral("DISTINCTROW ");
    if (flags & kTop) {
      select += QStringLiteral("TOP ") + p.flagsRow->name1 + u' ';
      if (flags & kPercent) select += QStringLiteral("PERCENT ");
    }
    QString list = Joined(selected, true);
    if (flags & kSelectStar)
      list = list.isEmpty() ? QStringLiteral("*") : QStringLiteral("*, ") + list;
    if (query.kind == Kind::Append) {
      QStringList targets;
      for (const QueryRow* c : p.columns)
        targets << c->name2;
      lines << QStringLiteral("INSERT INTO ") + Name(p.typeRow->name1) + QStringLiteral(" (") +
                   targets.join(QStringLiteral(", ")) + u')';
      list = Joined(p.columns, false);
    }
    select += list;
    if (query.kind == Kind::MakeTable) select += QStringLiteral(" INTO ") + Name(p.typeRow->name1);
    lines << select;
    lines << QStringLiteral("FROM ") + from;
    where();
    if (!grouped.empty()) lines << QStringLiteral("GROUP BY ") + Joined(grouped, false);
    if (!p.havings.empty()) lines << QStringLiteral("HAVING ") + p.havings.front()->expression;
    orderBy();
    if (!pivot.isEmpty()) lines << QStringLiteral("PIVOT ") + pivot;
    if (flags & kOwnerAccess) lines << QStringLiteral("WITH OWNERACCESS OPTION");
  }
  query.accessSql = lines.join(u'\n') + u';';
  return query;
}

std::vector<StoredQuery> ReadStoredQueries(const File& file) {
  std::vector<StoredQuery> result;
  if (file.Queries().empty()) return result;
  QHash<qint64, std::vector<QueryRow>> rowsOf;
  const std::unique_ptr<Scan> scan = file.OpenScan(QStringLiteral("MSysQueries"));
  QHash<QString, int> column;
  for (int i = 0; i < scan->ColumnCount(); ++i)
    column.insert(scan->Columns()[static_cast<size_t>(i)].name.toLower(), i);
  for (const char* needed : {"objectid", "attribute", "flag", "name1", "name2", "expression"}) {
    if (!column.contains(QLatin1String(needed))) {
      throw DbError(QStringLiteral("MSysQueries 沒有 %1 欄。").arg(QLatin1String(needed)));
    }
  }
  const auto text = [&](const char* name) {
    const Cell& cell = scan->Value(column.value(QLatin1String(name)));
    return cell.kind == Cell::Kind::Text ? QString::fromStdString(cell.bytes) : QString();
  };
  const auto number = [&](const char* name) -> qint64 {
    const Cell& cell = scan->Value(column.value(QLatin1String(name)));
    return cell.kind == Cell::Kind::Integer ? cell.integer : 0;
  };
  while (scan->Next()) {
    QueryRow row;
    row.attribute = static_cast<int>(number("attribute"));
    row.flag = static_cast<int>(number("flag"));
    row.name1 = text("name1");
    row.name2 = text("name2");
    row.expression = text("expression");
    rowsOf[number("objectid") & 0xffffff].push_back(std::move(row));
  }
  for (const QueryObject& object : file.Queries()) {
    try {
      result.push_back(RebuildQuery(object.name, rowsOf.value(object.id), object.flags));
    } catch (const DbError& error) {
      StoredQuery broken;
      broken.name = object.name;
      broken.accessSql = error.Description();
      result.push_back(broken);
    }
  }
  return result;
}

}  // namespace tarvel::db::jet
