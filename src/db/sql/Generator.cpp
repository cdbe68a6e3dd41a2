#include "db/sql/Generator.h"

#include "db/sql/AccessFunctions.h"
#include "db/sql/SqlError.h"

namespace tarvel::db::sql {
namespace {

bool IsComparison(Op op) {
  return op == Op::Equal || op == Op::NotEqual || op == Op::Less || op == Op::LessEqual ||
         op == Op::Greater || op == Op::GreaterEqual;
}

bool IsLogical(Op op) {
  return op == Op::And || op == Op::Or || op == Op::Xor || op == Op::Eqv || op == Op::Imp;
}

const char* ComparisonText(Op op) {
  switch (op) {
    case Op::Equal:
      return " = ";
    case Op::NotEqual:
      return " <> ";
    case Op::Less:
      return " < ";
    case Op::LessEqual:
      return " <= ";
    case Op::Greater:
      return " > ";
    default:
      return " >= ";
  }
}

// Whether a side of a comparison is (or may be) a text that meets a number: Jet reads it as one.
// A plain column of unknown type is left to the engine (and its index).
bool MayBeText(const Expr& e) {
  if (e.type == SqlType::Text) return true;
  if (e.type != SqlType::Unknown) return false;
  return e.kind == Expr::Kind::Call || e.kind == Expr::Kind::Binary ||
         e.kind == Expr::Kind::Subquery ||
         (e.kind == Expr::Kind::Name && e.role == NameRole::Alias);
}

bool IsNumber(const Expr& e) {
  return IsNumeric(e.type);
}

// Whether `e` has one value for the whole statement: no column, alias, aggregate or subquery.
bool IsConstant(const Expr& e) {
  switch (e.kind) {
    case Expr::Kind::Name:
      return e.role == NameRole::Parameter;
    case Expr::Kind::Subquery:
    case Expr::Kind::Exists:
    case Expr::Kind::Star:
      return false;
    case Expr::Kind::In:
      if (e.query) return false;
      break;
    case Expr::Kind::Call: {
      const FunctionInfo* f = FindFunction(e.text);
      if (!f || f->aggregate || f->volatileValue) return false;
      break;
    }
    default:
      break;
  }
  for (const auto& arg : e.args)
    if (!IsConstant(*arg)) return false;
  return true;
}

// An ORDER BY item that orders nothing: a constant that is no column's position.
bool OrdersNothing(const OrderItem& item) {
  return item.expr->kind != Expr::Kind::Number &&
         (IsConstant(*item.expr) || item.expr->type == SqlType::Null);
}

bool HasAggregate(const Expr& e) {
  if (e.kind == Expr::Kind::Call) {
    const FunctionInfo* f = FindFunction(e.text);
    if (f && f->aggregate) return true;
  }
  for (const auto& arg : e.args)
    if (HasAggregate(*arg)) return true;
  return false;
}

}  // namespace

QString FoldName(QStringView name) {
  QString folded = name.toString();
  for (QChar& c : folded)
    if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
  return folded;
}

QString Generator::TextLiteral(const QString& text) {
  QString literal;
  literal.reserve(text.size() + 2);
  literal += u'\'';
  for (const QChar c : text) {
    if (c == u'\0') continue;  // the engines read a text up to its first NUL
    if (c == u'\'') literal += u'\'';
    literal += c;
  }
  literal += u'\'';
  return literal;
}

QString Generator::NextName(const QString& stem) {
  return stem + QString::number(++names_);
}

void Generator::Spell(const QString& folded, const QString& spelling) {
  if (!spellings_.contains(folded)) spellings_.insert(folded, spelling);
}

bool Generator::IsPredicate(const Expr& e) {
  switch (e.kind) {
    case Expr::Kind::Binary:
      return IsComparison(e.op) || IsLogical(e.op);
    case Expr::Kind::Unary:
      return e.op == Op::Not;
    case Expr::Kind::Between:
    case Expr::Kind::In:
    case Expr::Kind::Like:
    case Expr::Kind::IsNull:
    case Expr::Kind::Exists:
      return true;
    case Expr::Kind::Name:
      return e.role == NameRole::Alias && IsPredicate(*e.aliased);
    case Expr::Kind::Call: {
      const FunctionInfo* f = FindFunction(e.text);
      return f && f->function == Function::IsNull;
    }
    default:
      return false;
  }
}

QString Generator::Value(const Expr& e) {
  return IsPredicate(e) ? PredicateValue(Raw(e)) : Raw(e);
}

QString Generator::Condition(const Expr& e) {
  return IsPredicate(e) ? Raw(e) : ValueCondition(Raw(e), e);
}

QString Generator::NumberFormat(const Expr&, int) {
  return {};
}

QString Generator::NumberValue(const Expr& e) {
  if (IsNumber(e) || e.type == SqlType::Null) return Value(e);
  if (e.kind == Expr::Kind::Name && e.role == NameRole::Alias) return NumberValue(*e.aliased);
  if (e.kind == Expr::Kind::Text && !e.text.trimmed().isEmpty()) {
    // A constant text reads as its number now.
    Variant v = Variant::OfText(e.text);
    try {
      return QString::number(ToNumber(v), 'g', 17);
    } catch (const AccessError&) {
      return TextAsNumber(Value(e));  // no number: no value (Access's type mismatch)
    }
  }
  if (e.kind == Expr::Kind::Call) {
    const FunctionInfo* f = FindFunction(e.text);
    if (f && f->function == Function::IIf) {
      return QStringLiteral("(CASE WHEN %1 THEN %2 ELSE %3 END)")
          .arg(Condition(*e.args[0]), NumberValue(*e.args[1]), NumberValue(*e.args[2]));
    }
    if (f && f->function == Function::Nz && e.args.size() == 2) {
      return QStringLiteral("COALESCE(%1, %2)")
          .arg(NumberValue(*e.args[0]), NumberValue(*e.args[1]));
    }
    if (f && f->function == Function::Format && e.args.size() == 2 &&
        e.args[1]->kind == Expr::Kind::Text) {
      if (const auto places = NumberPatternPlaces(e.args[1]->text)) {
        const QString shortcut = NumberFormat(*e.args[0], *places);
        if (!shortcut.isEmpty()) return shortcut;
      }
    }
  }
  return TextAsNumber(Value(e));
}

QStringList Generator::Arguments(const Expr& e) {
  QStringList args;
  for (const auto& arg : e.args)
    args << Value(*arg);
  return args;
}

QString Generator::NumberLiteral(const Expr& e) {
  return e.text.startsWith(u'.') ? u'0' + e.text : e.text;
}

QString Generator::Literal(const Expr& e) {
  switch (e.kind) {
    case Expr::Kind::Number:
      return NumberLiteral(e);
    case Expr::Kind::Text:
      return writing_ ? TextLiteral(e.text) : TextValueLiteral(e.text);
    case Expr::Kind::Date:
      return DateLiteral(e.text);
    case Expr::Kind::Boolean:
      return e.number != 0 ? QStringLiteral("-1") : QStringLiteral("0");
    default:
      return QStringLiteral("NULL");
  }
}

QString Generator::NameText(const Expr& e) {
  switch (e.role) {
    case NameRole::Alias:
      return u'(' + Value(*e.aliased) + u')';
    case NameRole::Parameter: {
      qsizetype slot = -1;
      for (qsizetype i = statement_ ? statement_->markers : 0; i < slots_.size(); ++i)
        if (slots_[i].compare(e.parameter, Qt::CaseInsensitive) == 0) slot = i;
      if (slot < 0) {
        slots_ << e.parameter;
        slot = slots_.size() - 1;
      }
      return ParameterPlaceholder(static_cast<int>(slot) + 1, e.type);
    }
    default: {
      if (e.parts.size() == 1) return Quote(e.parts.front());
      QString text = Quote(e.parts.front());
      for (qsizetype i = 1; i < e.parts.size(); ++i)
        text += u'.' + Quote(e.parts[i]);
      return text;
    }
  }
}

QString Generator::Comparison(const Expr& e) {
  const Expr& a = *e.args[0];
  const Expr& b = *e.args[1];
  QString left, right;
  if (IsNumber(a) && MayBeText(b)) {
    left = Value(a);
    right = NumberValue(b);
  } else if (IsNumber(b) && MayBeText(a)) {
    left = NumberValue(a);
    right = Value(b);
  } else if (a.type == SqlType::Date && b.kind == Expr::Kind::Text && ParseDateText(b.text)) {
    left = Value(a);
    right = DateLiteral(StoredFromOle(*ParseDateText(b.text)));
  } else if (b.type == SqlType::Date && a.kind == Expr::Kind::Text && ParseDateText(a.text)) {
    left = DateLiteral(StoredFromOle(*ParseDateText(a.text)));
    right = Value(b);
  } else {
    left = Value(a);
    right = Value(b);
  }
  if (AreTexts(a, b)) return TextComparison(left, e.op, right);
  if (IsNumber(a) && IsNumber(b)) NumberOperands(a, b, left, right);
  return u'(' + left + QLatin1String(ComparisonText(e.op)) + right + u')';
}

bool Generator::AreTexts(const Expr& a, const Expr& b) {
  return a.type == SqlType::Text && b.type == SqlType::Text;
}

QString Generator::TextComparison(const QString& left, Op op, const QString& right) {
  return QStringLiteral("(%1 COLLATE %2%3%4)")
      .arg(left, QLatin1String(SqliteCollation(order_)), QLatin1String(ComparisonText(op)), right);
}

QStringList Generator::TextOrderKeys(const QString& value) {
  return {value + QStringLiteral(" COLLATE ") + QLatin1String(SqliteCollation(order_, true))};
}

QString Generator::TextInList(const QString& value) {
  return value + QStringLiteral(" COLLATE ") + QLatin1String(SqliteCollation(order_));
}

QStringList Generator::OrderKeys(const QString& value, SqlType type, bool descending) {
  const QString direction =
      (descending ? QStringLiteral(" DESC") : QString()) + NullsOrder(descending);
  QStringList keys = type == SqlType::Text ? TextOrderKeys(value) : QStringList{value};
  for (QString& key : keys)
    key += direction;
  return keys;
}

QString Generator::Raw(const Expr& e) {
  switch (e.kind) {
    case Expr::Kind::Null:
    case Expr::Kind::Number:
    case Expr::Kind::Text:
    case Expr::Kind::Date:
    case Expr::Kind::Boolean:
      return Literal(e);
    case Expr::Kind::Name:
      return NameText(e);
    case Expr::Kind::Marker:
      return Placeholder(static_cast<int>(e.number));
    case Expr::Kind::Star:
      return QStringLiteral("*");
    case Expr::Kind::Unary:
      if (e.op == Op::Not) return QStringLiteral("(NOT ") + Condition(*e.args[0]) + u')';
      if (e.op == Op::Plus) return Value(*e.args[0]);
      return Negation(e);
    case Expr::Kind::Binary: {
      if (IsComparison(e.op)) return Comparison(e);
      const QString a = IsLogical(e.op) ? Condition(*e.args[0]) : QString();
      const QString b = IsLogical(e.op) ? Condition(*e.args[1]) : QString();
      switch (e.op) {
        case Op::And:
          return u'(' + a + QStringLiteral(" AND ") + b + u')';
        case Op::Or:
          return u'(' + a + QStringLiteral(" OR ") + b + u')';
        case Op::Xor:
          return QStringLiteral("((%1 AND NOT %2) OR (NOT %1 AND %2))").arg(a, b);
        case Op::Eqv:
          return QStringLiteral("((%1 AND %2) OR (NOT %1 AND NOT %2))").arg(a, b);
        case Op::Imp:
          return QStringLiteral("(NOT %1 OR %2)").arg(a, b);
        default:
          return Arithmetic(e);
      }
    }
    case Expr::Kind::Between: {
      const Expr& v = *e.args[0];
      const bool number = IsNumber(v) && (MayBeText(*e.args[1]) || MayBeText(*e.args[2]));
      const bool text = !IsNumber(v) && MayBeText(v) && IsNumber(*e.args[1]);
      const auto side = [&](const Expr& x, bool toNumber) {
        if (toNumber) return NumberValue(x);
        if (v.type == SqlType::Date && x.kind == Expr::Kind::Text && ParseDateText(x.text))
          return DateLiteral(StoredFromOle(*ParseDateText(x.text)));
        return Value(x);
      };
      if (AreTexts(v, *e.args[1]) && AreTexts(v, *e.args[2])) {
        const QString x = Value(v);
        const QString within = QStringLiteral("(%1 AND %2)")
                                   .arg(TextComparison(x, Op::GreaterEqual, Value(*e.args[1])),
                                        TextComparison(x, Op::LessEqual, Value(*e.args[2])));
        return e.negated ? QStringLiteral("(NOT ") + within + u')' : within;
      }
      return u'(' + side(v, text) + (e.negated ? QStringLiteral(" NOT") : QString()) +
             QStringLiteral(" BETWEEN ") + side(*e.args[1], number) + QStringLiteral(" AND ") +
             side(*e.args[2], number) + u')';
    }
    case Expr::Kind::In: {
      QString list;
      if (e.query) {
        list = QueryText(*e.query);
      } else {
        QStringList items;
        for (size_t i = 1; i < e.args.size(); ++i) {
          const Expr& item = *e.args[i];
          items << (IsNumber(*e.args[0]) && MayBeText(item) ? NumberValue(item) : Value(item));
        }
        list = items.join(QStringLiteral(", "));
      }
      bool texts = e.args[0]->type == SqlType::Text;
      if (e.query) {
        texts = texts && !e.query->columns.empty() && e.query->columns[0].type == SqlType::Text;
      } else {
        for (size_t i = 1; i < e.args.size(); ++i)
          texts = texts && e.args[i]->type == SqlType::Text;
      }
      const QString value = Value(*e.args[0]);
      return u'(' + (texts ? TextInList(value) : value) +
             (e.negated ? QStringLiteral(" NOT IN (") : QStringLiteral(" IN (")) + list +
             QStringLiteral("))");
    }
    case Expr::Kind::Like:
      return Like(e);
    case Expr::Kind::IsNull:
      return u'(' + Value(*e.args[0]) +
             (e.negated ? QStringLiteral(" IS NOT NULL)") : QStringLiteral(" IS NULL)"));
    case Expr::Kind::Exists:
      return QStringLiteral("(EXISTS (") + QueryText(*e.query) + QStringLiteral("))");
    case Expr::Kind::Subquery:
      return u'(' + QueryText(*e.query) + u')';
    case Expr::Kind::Call: {
      const FunctionInfo* f = FindFunction(e.text);
      // The binder refuses a call of anything else; never hand a name to the engine.
      if (!f) throw SqlError(UndefinedFunctionMessage(e.text));
      if (e.type == SqlType::Null && PassesNullOn(f->function)) return QStringLiteral("NULL");
      switch (f->function) {
        case Function::IIf:
          return QStringLiteral("(CASE WHEN %1 THEN %2 ELSE %3 END)")
              .arg(Condition(*e.args[0]), BranchValue(*e.args[1], e), BranchValue(*e.args[2], e));
        case Function::Nz:
          return QStringLiteral("COALESCE(%1, %2)")
              .arg(BranchValue(*e.args[0], e), e.args.size() > 1      ? BranchValue(*e.args[1], e)
                                               : IsNumber(*e.args[0]) ? QStringLiteral("0")
                                                                      : QStringLiteral("''"));
        case Function::Switch: {
          QString text = QStringLiteral("(CASE");
          for (size_t i = 0; i + 1 < e.args.size(); i += 2)
            text += QStringLiteral(" WHEN ") + Condition(*e.args[i]) + QStringLiteral(" THEN ") +
                    BranchValue(*e.args[i + 1], e);
          return text + QStringLiteral(" END)");
        }
        case Function::Choose: {
          QString text = QStringLiteral("(CASE ") + ChooseIndex(*e.args[0]);
          for (size_t i = 1; i < e.args.size(); ++i)
            text += QStringLiteral(" WHEN %1 THEN ").arg(i) + BranchValue(*e.args[i], e);
          return text + QStringLiteral(" END)");
        }
        case Function::IsNull:
          return u'(' + Value(*e.args[0]) + QStringLiteral(" IS NULL)");
        default:
          return Call(e, *f);
      }
    }
  }
  return {};
}

QString Generator::BranchValue(const Expr& branch, const Expr&) {
  return Value(branch);
}

Generated Generator::Generate(const Statement& statement) {
  statement_ = &statement;
  slots_ = QStringList();
  for (int i = 0; i < statement.markers; ++i)
    slots_ << QString();
  spellings_.clear();
  names_ = 0;
  QString text;
  switch (statement.kind) {
    case Statement::Kind::Query:
      text = QueryText(*statement.query);
      break;
    case Statement::Kind::Insert:
      text = InsertText(statement);
      break;
    case Statement::Kind::Update:
      text = UpdateText(statement);
      break;
    case Statement::Kind::Delete:
      text = DeleteText(statement);
      break;
  }
  return {text, slots_, spellings_};
}

QString Generator::QueryText(const Query& q) {
  if (q.crosstab) return CrosstabText(q);
  if (q.members.size() == 1) return MemberText(*q.members.front(), nullptr);
  QString text;
  for (size_t i = 0; i < q.members.size(); ++i) {
    if (i > 0)
      text += q.unionAll[i - 1] ? QStringLiteral(" UNION ALL ") : QStringLiteral(" UNION ");
    const Select& m = *q.members[i];
    if (m.top || !m.orderBy.empty()) {
      // A member keeps its own TOP and order: a compound's members cannot have them.
      text += QStringLiteral("SELECT * FROM (") + MemberText(m, nullptr) + u')';
      if (DerivedNeedsName())
        text += QStringLiteral(" AS ") + NextName(QStringLiteral("tarvel_top"));
    } else {
      text += SelectText(m, false, false);
    }
  }
  if (!q.orderBy.empty()) {
    // Keys made of a text column need the column by name where an engine cannot attach them to a
    // position: the union is then ordered from outside.
    bool outside = false;
    for (const OrderItem& item : q.orderBy)
      outside =
          outside || (item.position > 0 && !AliasOrdersTexts() &&
                      q.columns[static_cast<size_t>(item.position - 1)].type == SqlType::Text);
    const QString name = outside ? NextName(QStringLiteral("tarvel_union")) : QString();
    QStringList keys;
    for (const OrderItem& item : q.orderBy) {
      if (item.position == 0 && OrdersNothing(item)) continue;
      QString key = Value(*item.expr);
      SqlType type = item.expr->type;
      if (item.position > 0) {
        const ColumnShape& column = q.columns[static_cast<size_t>(item.position - 1)];
        key = outside ? name + u'.' + Quote(column.name) : QString::number(item.position);
        type = column.type;
      }
      keys << OrderKeys(key, type, item.descending);
    }
    if (outside) text = QStringLiteral("SELECT * FROM (") + text + QStringLiteral(") AS ") + name;
    if (!keys.isEmpty()) text += QStringLiteral(" ORDER BY ") + keys.join(QStringLiteral(", "));
  }
  return text;
}

QString Generator::MemberText(const Select& s, const std::vector<OrderItem>*) {
  if (s.top && (s.top->percent || !s.orderBy.empty()) && s.outputsKnown) return TopWrapped(s);
  return SelectText(s, true, true);
}

std::vector<QString> Generator::DistinctRowKeys(const Select& s) {
  std::vector<QString> keys;
  if (s.distinctRowSources.empty() || s.aggregate || !s.outputsKnown) return keys;
  for (const Source* source : s.distinctRowSources) {
    if (source->hasRowIdentity && source->kind == Source::Kind::Table && !source->inlined) {
      keys.push_back(RowIdentity(Quote(source->Key())));
    } else {
      for (const ColumnShape& c : source->columns)
        keys.push_back(Quote(source->Key()) + u'.' + Quote(c.name));
    }
  }
  if (GroupsOutputs()) {
    for (const OutputColumn& o : s.outputs) {
      if (o.item && o.item->expr)
        keys.push_back(Value(*o.item->expr));
      else if (o.source)
        keys.push_back(Quote(o.source->Key()) + u'.' + Quote(o.column));
    }
    for (const OrderItem& item : s.orderBy)
      if (item.expr->kind != Expr::Kind::Number) keys.push_back(Value(*item.expr));
  }
  return keys;
}

int Generator::OutputPosition(const Select& s, const OrderItem& item) {
  int position = item.expr->kind == Expr::Kind::Number ? static_cast<int>(item.expr->number) : 0;
  const QString key = Value(*item.expr);
  for (size_t i = 0; i < s.outputs.size() && position == 0; ++i) {
    const OutputColumn& o = s.outputs[i];
    const bool named = item.expr->kind == Expr::Kind::Name &&
                       item.expr->parts.back().compare(o.name, Qt::CaseInsensitive) == 0;
    const bool same = o.item && o.item->expr && Value(*o.item->expr) == key;
    if (named || same) position = static_cast<int>(i) + 1;
  }
  return position >= 1 && position <= static_cast<int>(s.outputs.size()) ? position : 0;
}

QString Generator::SelectText(const Select& s, bool withOrder, bool withTop, bool positional,
                              const QString& extraItems) {
  if (withOrder && s.distinct && !AliasOrdersTexts() && s.outputsKnown) {
    // DISTINCT rows ordered by keys made of a text: the keys are no output column, so the
    // distinct rows are ordered from outside, by the output columns the order names.
    bool text = false;
    for (const OrderItem& item : s.orderBy)
      text = text || item.expr->type == SqlType::Text;
    QStringList keys;
    const QString name = text ? NextName(QStringLiteral("tarvel_distinct")) : QString();
    for (const OrderItem& item : s.orderBy) {
      const int position = text ? OutputPosition(s, item) : 0;
      if (position == 0) {
        keys.clear();
        break;
      }
      const OutputColumn& o = s.outputs[static_cast<size_t>(position - 1)];
      keys << OrderKeys(name + u'.' + Quote(o.name), o.type, item.descending);
    }
    if (!keys.isEmpty()) {
      QString text = QStringLiteral("SELECT * FROM (") +
                     SelectText(s, false, false, positional, extraItems) + QStringLiteral(") AS ") +
                     name + QStringLiteral(" ORDER BY ") + keys.join(QStringLiteral(", "));
      if (withTop && s.top && !s.top->percent)
        text += QStringLiteral(" LIMIT %1").arg(s.top->count);
      return text;
    }
  }
  // HAVING of a select without GROUP BY: the whole source is one group, also where no item
  // aggregates (an engine that needs an aggregate among the items gets one, left out of the rows).
  bool aggregateItem = false;
  for (const SelectItem& item : s.items)
    aggregateItem = aggregateItem || (item.expr && HasAggregate(*item.expr));
  const bool counted = s.having && s.groupBy.empty() && !aggregateItem && HavingNeedsAggregate();
  QString text = QStringLiteral("SELECT ");
  if (s.distinct) text += QStringLiteral("DISTINCT ");
  text += ItemsText(s, positional) + extraItems;
  if (counted) text += QStringLiteral(", count(*) AS tarvel_rows");
  if (!s.from.empty()) {
    QStringList sources;
    for (const auto& source : s.from)
      sources << SourceText(*source, false);
    text += QStringLiteral(" FROM ") + sources.join(QStringLiteral(", "));
  }
  if (s.where) text += QStringLiteral(" WHERE ") + Condition(*s.where);
  QStringList groups;
  for (const auto& g : s.groupBy)
    groups << GroupKey(
        IsConstant(*g) || g->type == SqlType::Null ? ConstantGroupKey(Value(*g)) : Value(*g),
        g->type);
  for (const QString& key : DistinctRowKeys(s))
    groups << key;
  if (!groups.isEmpty()) text += QStringLiteral(" GROUP BY ") + groups.join(QStringLiteral(", "));
  if (s.having) text += QStringLiteral(" HAVING ") + Condition(*s.having);
  const QString order = withOrder ? OrderText(s.orderBy, true) : QString();
  if (!order.isEmpty()) text += QStringLiteral(" ORDER BY ") + order;
  if (withTop && s.top && !s.top->percent) text += QStringLiteral(" LIMIT %1").arg(s.top->count);
  if (counted && s.outputsKnown) {
    QStringList columns;
    for (size_t i = 0; i < s.outputs.size(); ++i)
      columns << (positional ? QStringLiteral("c%1").arg(i + 1) : Quote(s.outputs[i].name));
    text = QStringLiteral("SELECT ") + columns.join(QStringLiteral(", ")) +
           QStringLiteral(" FROM (") + text + QStringLiteral(") AS ") +
           NextName(QStringLiteral("tarvel_having"));
  }
  return text;
}

// TOP n with ties, or n PERCENT: the select ranked by its order in a window, and the rows up to
// the n-th rank kept.
QString Generator::TopWrapped(const Select& s) {
  QStringList outer, keys;
  for (size_t i = 0; i < s.outputs.size(); ++i) {
    const QString column = QStringLiteral("c%1").arg(i + 1);
    outer << (IsOutermost(s) ? Shown(column, s.outputs[i].type) : column) + QStringLiteral(" AS ") +
                 Quote(s.outputs[i].name);
  }
  const QString total =
      s.top->percent ? QStringLiteral(", count(*) OVER () AS tarvel_total") : QString();
  QString ranked;
  if (s.distinct) {
    // A window counts the rows before DISTINCT merges them: the distinct rows are ranked instead,
    // by the output columns the order names.
    for (const OrderItem& item : s.orderBy) {
      const int position = OutputPosition(s, item);
      if (position <= 0) return SelectText(s, true, true);  // not by output columns: a plain LIMIT
      keys << OrderKeys(QStringLiteral("c%1").arg(position),
                        s.outputs[static_cast<size_t>(position - 1)].type, item.descending);
    }
    const QString rank = keys.isEmpty() ? QStringLiteral("row_number() OVER ()")
                                        : QStringLiteral("rank() OVER (ORDER BY ") +
                                              keys.join(QStringLiteral(", ")) + u')';
    ranked = QStringLiteral("SELECT d.*, ") + rank + QStringLiteral(" AS tarvel_rank") + total +
             QStringLiteral(" FROM (") + SelectText(s, false, false, true) +
             QStringLiteral(") AS d");
  } else {
    QString extra;
    QStringList window;
    for (size_t i = 0; i < s.orderBy.size(); ++i) {
      const OrderItem& item = s.orderBy[i];
      QString key;
      if (item.expr->kind == Expr::Kind::Number) {
        const int position = static_cast<int>(item.expr->number);
        if (position < 1 || position > static_cast<int>(s.outputs.size()))
          return SelectText(s, true, true);
        key = QStringLiteral("c%1").arg(position);
        const OutputColumn& o = s.outputs[static_cast<size_t>(position - 1)];
        window << OrderKeys(o.item && o.item->expr
                                ? Value(*o.item->expr)
                                : Quote(o.source->Key()) + u'.' + Quote(o.column),
                            o.type, item.descending);
        keys << OrderKeys(key, o.type, item.descending);
      } else {
        key = QStringLiteral("k%1").arg(i + 1);
        const QString value = Value(*item.expr);
        extra += QStringLiteral(", ") + value + QStringLiteral(" AS ") + key;
        window << OrderKeys(value, item.expr->type, item.descending);
        keys << OrderKeys(key, item.expr->type, item.descending);
      }
    }
    const QString rank = window.isEmpty() ? QStringLiteral("row_number() OVER ()")
                                          : QStringLiteral("rank() OVER (ORDER BY ") +
                                                window.join(QStringLiteral(", ")) + u')';
    ranked =
        SelectText(s, false, false, true,
                   extra + QStringLiteral(", ") + rank + QStringLiteral(" AS tarvel_rank") + total);
  }
  const QString limit =
      s.top->percent
          ? QStringLiteral("tarvel_rank <= (%1 * tarvel_total + 99) / 100").arg(s.top->count)
          : QStringLiteral("tarvel_rank <= %1").arg(s.top->count);
  QString text = QStringLiteral("SELECT ") + outer.join(QStringLiteral(", ")) +
                 QStringLiteral(" FROM (") + ranked + QStringLiteral(") AS ") +
                 NextName(QStringLiteral("tarvel_top")) + QStringLiteral(" WHERE ") + limit;
  if (!keys.isEmpty()) text += QStringLiteral(" ORDER BY ") + keys.join(QStringLiteral(", "));
  return text;
}

bool Generator::IsOutermost(const Select& s) const {
  if (!statement_ || !statement_->query) return false;
  for (const auto& member : statement_->query->members)
    if (member.get() == &s) return true;
  return false;
}

QString Generator::ItemsText(const Select& s, bool positional) {
  const bool outermost = !positional && IsOutermost(s);
  QStringList items;
  size_t output = 0;
  for (const SelectItem& item : s.items) {
    if (!item.expr) {
      // A column shown otherwise than it is held (a Single) is written out by itself.
      bool reshown = false;
      for (size_t o = output; outermost && o < s.outputs.size() && s.outputs[o].item == &item; ++o)
        reshown = reshown || Reshows(s.outputs[o].type);
      const bool expand = positional || s.expandStars || reshown || (outermost && ExpandsStars());
      if (!expand || !s.outputsKnown) {
        items << (item.star.isEmpty() ? QStringLiteral("*")
                                      : Quote(item.star) + QStringLiteral(".*"));
        while (output < s.outputs.size() && s.outputs[output].item == &item)
          ++output;
        continue;
      }
      for (; output < s.outputs.size() && s.outputs[output].item == &item; ++output) {
        const OutputColumn& o = s.outputs[output];
        const QString column = Quote(o.source->Key()) + u'.' + Quote(o.column);
        items << (outermost ? Shown(column, o.type) : column) + QStringLiteral(" AS ") +
                     (positional ? QStringLiteral("c%1").arg(output + 1) : Quote(o.name));
      }
      continue;
    }
    const QString name = positional ? QStringLiteral("c%1").arg(output + 1)
                                    : Quote(item.name.isEmpty() ? item.alias : item.name);
    QString value = outermost ? Shown(Value(*item.expr), item.expr->type) : Value(*item.expr);
    if (s.distinct) value = DistinctValue(value, item.expr->type);
    items << (item.name.isEmpty() && item.alias.isEmpty() ? value
                                                          : value + QStringLiteral(" AS ") + name);
    ++output;
  }
  return items.join(QStringLiteral(", "));
}

QString Generator::SourceText(const Source& s, bool nested) {
  switch (s.kind) {
    case Source::Kind::Table:
      if (s.inlined) return u'(' + QueryText(*s.inlined) + QStringLiteral(") AS ") + Quote(s.Key());
      return Quote(s.name) +
             (s.alias.isEmpty() ? QString() : QStringLiteral(" AS ") + Quote(s.alias));
    case Source::Kind::Derived: {
      QString text = u'(' + QueryText(*s.query) + u')';
      if (!s.alias.isEmpty())
        text += QStringLiteral(" AS ") + Quote(s.alias);
      else if (DerivedNeedsName())
        text += QStringLiteral(" AS ") + NextName(QStringLiteral("tarvel_sub"));
      return text;
    }
    case Source::Kind::Join: {
      const char* join = s.join == JoinKind::Left    ? " LEFT JOIN "
                         : s.join == JoinKind::Right ? " RIGHT JOIN "
                                                     : " INNER JOIN ";
      // Joins read left to right: only a join on the right needs its parentheses.
      const QString text = SourceText(*s.left, false) + QLatin1String(join) +
                           SourceText(*s.right, true) + QStringLiteral(" ON ") + Condition(*s.on);
      return nested ? u'(' + text + u')' : text;
    }
  }
  return {};
}

QString Generator::OrderText(const std::vector<OrderItem>& order, bool byAlias) {
  QStringList keys;
  for (const OrderItem& item : order) {
    if (OrdersNothing(item)) continue;
    const Expr& e = *item.expr;
    // A text is ordered through keys made of it, which an alias cannot stand in (PostgreSQL).
    const bool alias = byAlias && e.kind == Expr::Kind::Name && e.role == NameRole::Alias &&
                       (e.type != SqlType::Text || AliasOrdersTexts());
    const QString key = alias ? Quote(e.parts.front()) : Value(e);
    keys << OrderKeys(key, e.type, item.descending);
  }
  return keys.join(QStringLiteral(", "));
}

QString Generator::CrosstabText(const Query& q) {
  const Select& s = *q.members.front();
  const Crosstab& c = *q.crosstab;
  QStringList items;
  const QString headings = ItemsText(s, false);
  if (!headings.isEmpty()) items << headings;
  const QString pivot = Value(*c.pivot);
  for (size_t i = 0; i < c.columns.size(); ++i) {
    const Expr& value = *c.columns[i];
    if (value.kind == Expr::Kind::Null) {
      filter_ = u'(' + pivot + QStringLiteral(" IS NULL)");
    } else {
      const QString literal = IsNumber(*c.pivot) && value.kind == Expr::Kind::Text
                                  ? NumberValue(value)
                                  : Literal(value);
      filter_ = u'(' + pivot + QStringLiteral(" = ") + literal + u')';
    }
    items << Value(*c.value) + QStringLiteral(" AS ") + Quote(c.columnNames[static_cast<int>(i)]);
    filter_.clear();
  }
  QString text = QStringLiteral("SELECT ") + items.join(QStringLiteral(", "));
  QStringList sources;
  for (const auto& source : s.from)
    sources << SourceText(*source, false);
  if (!sources.isEmpty()) text += QStringLiteral(" FROM ") + sources.join(QStringLiteral(", "));
  if (s.where) text += QStringLiteral(" WHERE ") + Condition(*s.where);
  QStringList groups;
  for (const auto& g : s.groupBy)
    groups << GroupKey(Value(*g), g->type);
  if (!groups.isEmpty()) text += QStringLiteral(" GROUP BY ") + groups.join(QStringLiteral(", "));
  if (s.having) text += QStringLiteral(" HAVING ") + Condition(*s.having);
  const QString order = OrderText(s.orderBy, true);
  if (!order.isEmpty()) {
    text += QStringLiteral(" ORDER BY ") + order;
  } else if (!groups.isEmpty()) {
    // Access shows a crosstab's rows in the order of their headings.
    QStringList keys;
    for (const auto& g : s.groupBy)
      keys << OrderKeys(Value(*g), g->type, false);
    text += QStringLiteral(" ORDER BY ") + keys.join(QStringLiteral(", "));
  }
  return text;
}

QString Generator::PivotValuesSql(const Query& q) {
  const Select& s = *q.members.front();
  const int slotsBefore = static_cast<int>(slots_.size());
  QString text = QStringLiteral("SELECT DISTINCT ") +
                 DistinctValue(Value(*q.crosstab->pivot), q.crosstab->pivot->type) +
                 QStringLiteral(" AS pivot");
  QStringList sources;
  for (const auto& source : s.from)
    sources << SourceText(*source, false);
  if (!sources.isEmpty()) text += QStringLiteral(" FROM ") + sources.join(QStringLiteral(", "));
  if (s.where) text += QStringLiteral(" WHERE ") + Condition(*s.where);
  text =
      QStringLiteral("SELECT pivot FROM (") + text +
      QStringLiteral(") AS tarvel_pivots ORDER BY ") +
      OrderKeys(QStringLiteral("pivot"), q.crosstab->pivot->type, false).join(QStringLiteral(", "));
  if (slots_.size() != slotsBefore) {
    throw SqlError(
        QStringLiteral("交叉資料表查詢的欄位要由參數決定，請在 PIVOT 之後用 IN (…) 列出欄位值。"));
  }
  return text;
}

QString Generator::InsertText(const Statement& st) {
  QString text = QStringLiteral("INSERT INTO ") + Quote(st.table);
  if (!st.columns.isEmpty()) {
    QStringList columns;
    for (const QString& c : st.columns)
      columns << Quote(c);
    text += QStringLiteral(" (") + columns.join(QStringLiteral(", ")) + u')';
  }
  if (st.query) return text + u' ' + QueryText(*st.query);
  if (st.defaultValues) return text + QStringLiteral(" DEFAULT VALUES");
  // Values written into columns take the columns' types: a text is the engine's plain literal.
  QStringList rows;
  writing_ = true;
  for (const auto& row : st.values) {
    QStringList values;
    for (const auto& v : row)
      values << Value(*v);
    rows << u'(' + values.join(QStringLiteral(", ")) + u')';
  }
  writing_ = false;
  return text + QStringLiteral(" VALUES ") + rows.join(QStringLiteral(", "));
}

QString Generator::UpdateText(const Statement& st) {
  QStringList sets;
  writing_ = true;
  for (const Assignment& a : st.assignments)
    sets << Quote(a.target->parts.back()) + QStringLiteral(" = ") + Value(*a.value);
  writing_ = false;
  QString text = QStringLiteral("UPDATE ") + Quote(st.table) + QStringLiteral(" SET ") +
                 sets.join(QStringLiteral(", "));
  if (st.where) text += QStringLiteral(" WHERE ") + Condition(*st.where);
  return text;
}

QString Generator::DeleteText(const Statement& st) {
  QString text = QStringLiteral("DELETE FROM ") + Quote(st.table);
  if (st.where) text += QStringLiteral(" WHERE ") + Condition(*st.where);
  return text;
}

}  // namespace tarvel::db::sql
