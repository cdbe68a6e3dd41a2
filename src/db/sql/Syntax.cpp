#include "db/sql/Syntax.h"

namespace tarvel::db::sql {
namespace {

class SourceCollector {
 public:
  QStringList names;

  void Add(const QString& name) {
    for (const QString& n : names)
      if (n.compare(name, Qt::CaseInsensitive) == 0) return;
    names << name;
  }
  void Visit(const Query& q) {
    for (const auto& m : q.members)
      Visit(*m);
    for (const OrderItem& o : q.orderBy)
      Visit(*o.expr);
    if (q.crosstab) {
      Visit(*q.crosstab->value);
      Visit(*q.crosstab->pivot);
    }
  }
  void Visit(const Select& s) {
    for (const auto& source : s.from)
      Visit(*source);
    for (const SelectItem& item : s.items)
      if (item.expr) Visit(*item.expr);
    if (s.where) Visit(*s.where);
    for (const auto& g : s.groupBy)
      Visit(*g);
    if (s.having) Visit(*s.having);
    for (const OrderItem& o : s.orderBy)
      Visit(*o.expr);
  }
  void Visit(const Source& s) {
    switch (s.kind) {
      case Source::Kind::Table:
        Add(s.name);
        break;
      case Source::Kind::Derived:
        Visit(*s.query);
        break;
      case Source::Kind::Join:
        Visit(*s.left);
        Visit(*s.right);
        Visit(*s.on);
        break;
    }
  }
  void Visit(const Expr& e) {
    for (const auto& arg : e.args)
      Visit(*arg);
    if (e.query) Visit(*e.query);
  }
};

}  // namespace

QStringList SourceNames(const Statement& statement) {
  SourceCollector collector;
  if (statement.query) collector.Visit(*statement.query);
  if (!statement.table.isEmpty()) collector.Add(statement.table);
  if (statement.where) collector.Visit(*statement.where);
  return collector.names;
}

QString BindingName(const QStringList& parts, const QString& separators) {
  QString name;
  for (qsizetype i = 0; i < parts.size(); ++i) {
    if (i > 0) name += i - 1 < separators.size() ? separators[i - 1] : QChar(u'.');
    name += parts[i].trimmed();
  }
  return name;
}

}  // namespace tarvel::db::sql
