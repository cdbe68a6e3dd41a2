#include "db/sql/Binder.h"

#include <QSet>
#include <algorithm>
#include <cmath>

#include "db/sql/AccessValues.h"
#include "db/sql/Functions.h"
#include "db/sql/Parser.h"
#include "db/sql/SqlError.h"
#include "platform/Conversions.h"

namespace tarvel::db::sql {
namespace {

bool SameName(const QString& a, const QString& b) {
  return a.compare(b, Qt::CaseInsensitive) == 0;
}

const ColumnShape* FindColumn(Source& source, const QString& name) {
  if (!source.index) source.index = std::make_shared<const ColumnIndex>(source.columns);
  const int at = source.index->Find(name);
  return at < 0 ? nullptr : &source.columns[static_cast<size_t>(at)];
}

bool IsColumnLikeConstant(const QString& word) {
  return SameName(word, QStringLiteral("yes")) || SameName(word, QStringLiteral("no")) ||
         SameName(word, QStringLiteral("on")) || SameName(word, QStringLiteral("off"));
}

bool IsRowIdentityName(const QString& name) {
  return SameName(name, QStringLiteral("rowid")) || SameName(name, QStringLiteral("_rowid_")) ||
         SameName(name, QStringLiteral("oid"));
}

// A number written in a statement is an Integer or a Long where it is whole and fits one, else a
// Double, as Jet types its literals.
SqlType NumberLiteralType(const QString& written, double value) {
  const bool whole = !written.contains(u'.') && !written.contains(u'e') && !written.contains(u'E');
  if (whole && value <= 32767.0) return SqlType::Integer;
  if (whole && value <= 2147483647.0) return SqlType::Long;
  return SqlType::Double;
}

SqlType LiteralType(const Expr& e) {
  switch (e.kind) {
    case Expr::Kind::Null:
      return SqlType::Null;
    case Expr::Kind::Number:
      return NumberLiteralType(e.text, e.number);
    case Expr::Kind::Text:
      return SqlType::Text;
    case Expr::Kind::Date:
      return SqlType::Date;
    case Expr::Kind::Boolean:
      return SqlType::Boolean;
    default:
      return SqlType::Unknown;
  }
}

SqlType OperatorType(Op op, SqlType a, SqlType b) {
  switch (op) {
    case Op::Add:
      return ArithmeticType(Arithmetic::Add, a, b);
    case Op::Subtract:
      return ArithmeticType(Arithmetic::Subtract, a, b);
    case Op::Multiply:
      return ArithmeticType(Arithmetic::Multiply, a, b);
    case Op::Divide:
      return ArithmeticType(Arithmetic::Divide, a, b);
    case Op::IntDivide:
      return ArithmeticType(Arithmetic::IntDivide, a, b);
    case Op::Mod:
      return ArithmeticType(Arithmetic::Mod, a, b);
    case Op::Power:
      return ArithmeticType(Arithmetic::Power, a, b);
    case Op::Concat:
      return SqlType::Text;
    default:
      return SqlType::Boolean;
  }
}

class Binder {
 public:
  Binder(Statement& statement, Catalog* catalog, const PivotReader& pivots,
         const QHash<QString, SqlType>& given)
      : statement_(statement), catalog_(catalog), pivots_(pivots), given_(given) {}

  void Run() {
    switch (statement_.kind) {
      case Statement::Kind::Query:
        BindQuery(*statement_.query, nullptr);
        return;
      case Statement::Kind::Insert: {
        if (statement_.query) BindQuery(*statement_.query, nullptr);
        Scope scope;
        for (auto& row : statement_.values)
          for (auto& e : row)
            BindExpr(*e, scope);
        return;
      }
      case Statement::Kind::Update:
      case Statement::Kind::Delete: {
        // The one table as the source of the conditions and values.
        target_ = std::make_unique<Source>();
        target_->name = statement_.table;
        Scope scope;
        BindSource(*target_, scope);
        for (Assignment& a : statement_.assignments) {
          BindExpr(*a.target, scope);
          BindExpr(*a.value, scope);
        }
        if (statement_.where) BindExpr(*statement_.where, scope);
        return;
      }
    }
  }

 private:
  struct Scope {
    Scope* outer = nullptr;
    Select* select = nullptr;
    std::vector<Source*> sources;  // the leaves of FROM
    QSet<const SelectItem*> bound;
    QSet<const SelectItem*> binding;
    bool inWhere = false;
  };

  void BindQuery(Query& query, Scope* outer) {
    for (auto& member : query.members)
      BindSelect(*member, outer);
    const Select& first = *query.members.front();
    query.columns.clear();
    for (const OutputColumn& o : first.outputs)
      query.columns.push_back({o.name, o.type});
    for (size_t m = 1; m < query.members.size(); ++m) {
      const auto& outputs = query.members[m]->outputs;
      for (size_t c = 0; c < query.columns.size() && c < outputs.size(); ++c) {
        SqlType& t = query.columns[c].type;
        t = CommonType(t, outputs[c].type);
      }
    }
    if (query.members.size() > 1 && !query.orderBy.empty()) {
      // A union's order is by the first select's output columns: names, aliases or positions.
      Scope scope = ScopeOf(*query.members.front(), outer);
      for (OrderItem& item : query.orderBy) {
        BindExpr(*item.expr, scope);
        item.position = UnionPosition(*item.expr, *query.members.front());
      }
    }
    if (query.crosstab) BindCrosstab(query, outer);
  }

  // The scope of a select already bound (for a union's ORDER BY).
  Scope ScopeOf(Select& select, Scope* outer) {
    Scope scope;
    scope.outer = outer;
    scope.select = &select;
    for (auto& source : select.from)
      CollectLeaves(*source, scope.sources);
    for (const SelectItem& item : select.items)
      scope.bound.insert(&item);
    return scope;
  }

  static void CollectLeaves(Source& source, std::vector<Source*>& leaves) {
    if (source.kind == Source::Kind::Join) {
      CollectLeaves(*source.left, leaves);
      CollectLeaves(*source.right, leaves);
    } else {
      leaves.push_back(&source);
    }
  }

  static int UnionPosition(const Expr& e, const Select& first) {
    if (e.kind == Expr::Kind::Number) {
      const int n = static_cast<int>(e.number);
      return n >= 1 && n <= static_cast<int>(first.outputs.size()) ? n : 0;
    }
    if (e.kind != Expr::Kind::Name) return 0;
    for (size_t i = 0; i < first.outputs.size(); ++i) {
      const OutputColumn& o = first.outputs[i];
      if (e.role == NameRole::Alias && o.item && o.item->expr.get() == e.aliased)
        return static_cast<int>(i) + 1;
    }
    const QString& last = e.parts.back();
    for (size_t i = 0; i < first.outputs.size(); ++i) {
      const OutputColumn& o = first.outputs[i];
      const Expr* item = o.item ? o.item->expr.get() : nullptr;
      const bool sameColumn = item && item->kind == Expr::Kind::Name &&
                              SameName(item->parts.back(), last) &&
                              (e.parts.size() == 1 || item->parts.size() == 1 ||
                               SameName(item->parts.front(), e.parts.front()));
      if (sameColumn || SameName(o.name, last) || SameName(o.column, last))
        return static_cast<int>(i) + 1;
    }
    return 0;
  }

  void BindSelect(Select& select, Scope* outer) {
    Scope scope;
    scope.outer = outer;
    scope.select = &select;
    for (auto& source : select.from)
      BindSource(*source, scope);
    for (auto& source : select.from)
      BindJoinConditions(*source, scope);
    // A join in parentheses on the right of another names its columns as a subquery would
    // ("CustomerID:1"): "*" is then written out column by column.
    for (const auto& source : select.from)
      if (HasRightNestedJoin(*source)) select.expandStars = true;
    for (SelectItem& item : select.items)
      BindItem(item, scope);
    if (select.where) {
      scope.inWhere = true;
      BindExpr(*select.where, scope);
      scope.inWhere = false;
    }
    for (auto& e : select.groupBy)
      BindExpr(*e, scope);
    if (select.having) BindExpr(*select.having, scope);
    for (OrderItem& item : select.orderBy)
      BindExpr(*item.expr, scope);
    if (!select.groupBy.empty()) select.aggregate = true;
    NameOutputs(select, scope);
    FindDistinctRowSources(select, scope);
    CheckGrouped(select, scope);
  }

  // In a select that groups, a column of its own sources may stand outside an aggregate only as
  // (part of) a GROUP BY expression, as Access requires; SQLite would take any row's value.
  void CheckGrouped(const Select& select, const Scope& scope) const {
    if (!select.aggregate) return;
    const auto check = [&](const Expr& e) { CheckGroupedExpr(e, select, scope); };
    for (const SelectItem& item : select.items) {
      if (item.expr) {
        check(*item.expr);
        continue;
      }
      for (const OutputColumn& o : select.outputs) {
        if (o.item != &item || !o.source) continue;
        Expr column;
        column.kind = Expr::Kind::Name;
        column.parts << o.column;
        column.role = NameRole::Column;
        column.source = o.source->Key();
        check(column);
      }
    }
    if (select.having) check(*select.having);
    for (const OrderItem& item : select.orderBy)
      check(*item.expr);
  }

  void CheckGroupedExpr(const Expr& e, const Select& select, const Scope& scope) const {
    for (const auto& g : select.groupBy)
      if (SameExpr(e, *g)) return;
    if (e.kind == Expr::Kind::Call) {
      const FunctionInfo* f = FindFunction(e.text);
      if (f && f->aggregate) return;
    }
    if (e.kind == Expr::Kind::Subquery || e.kind == Expr::Kind::Exists) return;
    if (e.kind == Expr::Kind::Name) {
      if (e.role == NameRole::Alias) {
        if (e.aliased) CheckGroupedExpr(*e.aliased, select, scope);
        return;
      }
      if (e.role != NameRole::Column) return;
      bool own = false;
      for (const Source* s : scope.sources)
        own = own || e.source.isEmpty() || SameName(s->Key(), e.source);
      if (!own) return;  // a column of an enclosing select
      throw SqlError(
          QStringLiteral("您嘗試執行的查詢不包含指定運算式「%1」做為彙總函數或群組的一部份。")
              .arg(e.parts.join(u'.')));
    }
    for (const auto& arg : e.args)
      CheckGroupedExpr(*arg, select, scope);
  }

  // Two expressions written alike: the same columns (of the same source), constants, calls and
  // operators.
  static bool SameExpr(const Expr& a, const Expr& b) {
    if (a.kind != b.kind || a.args.size() != b.args.size()) return false;
    switch (a.kind) {
      case Expr::Kind::Name:
        if (a.role == NameRole::Column && b.role == NameRole::Column) {
          return SameName(a.parts.back(), b.parts.back()) &&
                 (a.source.isEmpty() || b.source.isEmpty() || SameName(a.source, b.source));
        }
        if (a.role == NameRole::Alias && b.role == NameRole::Alias) return a.aliased == b.aliased;
        return a.role == b.role &&
               a.parts.join(u'.').compare(b.parts.join(u'.'), Qt::CaseInsensitive) == 0;
      case Expr::Kind::Call:
        if (!SameName(a.text, b.text)) return false;
        break;
      case Expr::Kind::Unary:
      case Expr::Kind::Binary:
        if (a.op != b.op) return false;
        break;
      case Expr::Kind::Number:
      case Expr::Kind::Text:
      case Expr::Kind::Date:
      case Expr::Kind::Boolean:
        return a.text == b.text && a.number == b.number;
      case Expr::Kind::Subquery:
      case Expr::Kind::Exists:
        return false;
      default:
        if (a.negated != b.negated) return false;
        break;
    }
    for (size_t i = 0; i < a.args.size(); ++i)
      if (!SameExpr(*a.args[i], *b.args[i])) return false;
    return true;
  }

  void BindSource(Source& source, Scope& scope) {
    switch (source.kind) {
      case Source::Kind::Join:
        BindSource(*source.left, scope);
        BindSource(*source.right, scope);
        return;
      case Source::Kind::Derived:
        BindQuery(*source.query, nullptr);
        source.columns = source.query->columns;
        source.shapeKnown = source.query->members.front()->outputsKnown;
        scope.sources.push_back(&source);
        return;
      case Source::Kind::Table:
        break;
    }
    const Relation* relation = catalog_ ? catalog_->Find(source.name) : nullptr;
    if (relation && !relation->inlineSql.isEmpty()) {
      Inline(source, *relation);
    } else if (relation) {
      source.columns = relation->columns;
      source.index = relation->Index();
      source.shapeKnown = true;
      source.hasRowIdentity = relation->hasRowIdentity;
    }
    scope.sources.push_back(&source);
  }

  // A stored query that is no view: its own statement, bound apart, stands in the name's place.
  void Inline(Source& source, const Relation& relation) {
    for (const QString& name : inlining_) {
      if (SameName(name, relation.name))
        throw SqlError(QStringLiteral("查詢 %1 讀取它自己。").arg(relation.name));
    }
    Statement inner = Parse(relation.inlineSql, {Wildcards::Access});
    if (inner.kind != Statement::Kind::Query)
      throw SqlError(QStringLiteral("%1 不是選取查詢，不能當作資料來源。").arg(relation.name));
    for (const DeclaredParameter& p : inner.parameters) {
      const bool known =
          std::any_of(statement_.parameters.begin(), statement_.parameters.end(),
                      [&](const DeclaredParameter& d) { return SameName(d.name, p.name); });
      if (!known) statement_.parameters.push_back(p);
    }
    inlining_.push_back(relation.name);
    BindQuery(*inner.query, nullptr);
    inlining_.pop_back();
    source.inlined = std::move(inner.query);
    source.columns = source.inlined->columns;
    source.shapeKnown = source.inlined->members.front()->outputsKnown;
  }

  static bool HasRightNestedJoin(const Source& source) {
    if (source.kind != Source::Kind::Join) return false;
    return source.right->kind == Source::Kind::Join || HasRightNestedJoin(*source.left) ||
           HasRightNestedJoin(*source.right);
  }

  void BindJoinConditions(Source& source, Scope& scope) {
    if (source.kind != Source::Kind::Join) return;
    BindJoinConditions(*source.left, scope);
    BindJoinConditions(*source.right, scope);
    BindExpr(*source.on, scope);
  }

  void BindItem(SelectItem& item, Scope& scope) {
    if (!item.expr || scope.bound.contains(&item)) return;
    scope.binding.insert(&item);
    BindExpr(*item.expr, scope);
    scope.binding.remove(&item);
    scope.bound.insert(&item);
  }

  enum class Lookup { Found, NotHere, Unknown, Parameter };

  Lookup LookupColumn(Expr& e, Scope& scope) {
    const qsizetype n = e.parts.size();
    if (n == 1) {
      bool unknown = false;
      const Source* found = nullptr;
      int matches = 0;
      for (Source* s : scope.sources) {
        if (!s->shapeKnown) {
          unknown = true;
          continue;
        }
        if (const ColumnShape* c = FindColumn(*s, e.parts[0])) {
          if (!found) {
            found = s;
            e.type = c->type;
          }
          ++matches;
        }
      }
      if (!found && IsRowIdentityName(e.parts[0])) {
        // SQLite's rowid of a base table: the engine's own, no column of the catalog.
        for (Source* s : scope.sources) {
          if (s->hasRowIdentity && !found) {
            found = s;
            e.type = SqlType::Long;
            matches = 1;
          }
        }
      }
      if (found) {
        e.role = NameRole::Column;
        // Ambiguous: left unqualified, for the engine to refuse as Access would.
        e.source = matches == 1 ? found->Key() : QString();
        return Lookup::Found;
      }
      return unknown ? Lookup::Unknown : Lookup::NotHere;
    }
    if (n == 2) {
      for (Source* s : scope.sources) {
        if (!SameName(s->Key(), e.parts[0])) continue;
        if (!s->shapeKnown) return Lookup::Unknown;
        const ColumnShape* c = FindColumn(*s, e.parts[1]);
        if (!c && s->hasRowIdentity && IsRowIdentityName(e.parts[1])) {
          e.role = NameRole::Column;
          e.source = s->Key();
          e.type = SqlType::Long;
          return Lookup::Found;
        }
        if (!c) return Lookup::Parameter;
        e.role = NameRole::Column;
        e.source = s->Key();
        e.type = c->type;
        return Lookup::Found;
      }
    }
    return Lookup::NotHere;
  }

  bool LookupAlias(Expr& e, Scope& scope) {
    if (e.parts.size() != 1 || !scope.select) return false;
    for (SelectItem& item : scope.select->items) {
      if (!item.expr || item.alias.isEmpty() || !SameName(item.alias, e.parts[0])) continue;
      if (scope.binding.contains(&item)) return false;  // its own definition: no alias yet
      BindItem(item, scope);
      e.role = NameRole::Alias;
      e.aliased = item.expr.get();
      e.type = item.expr->type;
      return true;
    }
    return false;
  }

  void ResolveName(Expr& e, Scope& scope) {
    for (Scope* s = &scope; s; s = s->outer) {
      switch (LookupColumn(e, *s)) {
        case Lookup::Found:
        case Lookup::Unknown:
          return;
        case Lookup::Parameter:
          MakeParameter(e);
          return;
        case Lookup::NotHere:
          break;
      }
      if (LookupAlias(e, *s)) return;
    }
    MakeParameter(e);
  }

  void MakeParameter(Expr& e) {
    e.role = NameRole::Parameter;
    e.parameter = BindingName(e.parts, e.separators);
    for (const DeclaredParameter& p : statement_.parameters) {
      if (SameName(p.name, e.parameter)) {
        e.parameter = p.name;
        e.type = p.type;
        return;
      }
    }
    e.type = given_.value(e.parameter.toLower(), SqlType::Unknown);
  }

  void BindExpr(Expr& e, Scope& scope) {
    if (e.kind == Expr::Kind::Boolean && IsColumnLikeConstant(e.text)) {
      // Yes, No, On and Off are constants unless a source has a column of that name (the suite's
      // tables have a column NO).
      Expr probe;
      probe.kind = Expr::Kind::Name;
      probe.parts << e.text;
      for (Scope* s = &scope; s; s = s->outer) {
        if (LookupColumn(probe, *s) == Lookup::Found) {
          e.kind = Expr::Kind::Name;
          e.parts = probe.parts;
          e.role = probe.role;
          e.source = probe.source;
          e.type = probe.type;
          return;
        }
      }
    }
    switch (e.kind) {
      case Expr::Kind::Name:
        ResolveName(e, scope);
        return;
      case Expr::Kind::Exists:
      case Expr::Kind::Subquery:
        BindQuery(*e.query, &scope);
        e.type = e.kind == Expr::Kind::Exists ? SqlType::Boolean
                 : e.query->columns.empty()   ? SqlType::Unknown
                                              : e.query->columns.front().type;
        return;
      case Expr::Kind::In:
        if (e.query) BindQuery(*e.query, &scope);
        break;
      case Expr::Kind::Call:
        BindCall(e, scope);
        return;
      default:
        break;
    }
    for (auto& arg : e.args)
      BindExpr(*arg, scope);
    switch (e.kind) {
      case Expr::Kind::Unary:
        e.type = e.op == Op::Not    ? SqlType::Boolean
                 : e.op == Op::Plus ? e.args[0]->type
                                    : ArithmeticType(Arithmetic::Negate, e.args[0]->type);
        break;
      case Expr::Kind::Binary:
        e.type = OperatorType(e.op, e.args[0]->type, e.args[1]->type);
        break;
      case Expr::Kind::Between:
      case Expr::Kind::In:
      case Expr::Kind::Like:
      case Expr::Kind::IsNull:
        e.type = SqlType::Boolean;
        break;
      default:
        e.type = LiteralType(e);
        break;
    }
  }

  void BindCall(Expr& e, Scope& scope) {
    const FunctionInfo* f = FindFunction(e.text);
    if (!f) throw SqlError(UndefinedFunctionMessage(e.text), QString());
    const int count = static_cast<int>(e.args.size());
    if (f && (count < f->minArgs || (f->maxArgs >= 0 && count > f->maxArgs))) {
      const QString needs = f->minArgs == f->maxArgs ? QString::number(f->minArgs)
                            : f->maxArgs < 0
                                ? QStringLiteral("至少 %1").arg(f->minArgs)
                                : QStringLiteral("%1 到 %2").arg(f->minArgs).arg(f->maxArgs);
      throw SqlError(QStringLiteral("函數 %1 需要 %2 個引數，這裡有 %3 個。")
                         .arg(QString::fromLatin1(f->name), needs)
                         .arg(count),
                     QString());
    }
    if (f && f->aggregate && scope.inWhere) {
      throw SqlError(QStringLiteral("WHERE 子句裡不能有彙總函數 %1（請放在 HAVING）。")
                         .arg(QString::fromLatin1(f->name)));
    }
    if (f && f->aggregate && scope.select) scope.select->aggregate = true;
    std::vector<SqlType> types;
    for (auto& arg : e.args) {
      if (arg->kind != Expr::Kind::Star) BindExpr(*arg, scope);
      types.push_back(arg->type);
    }
    if (f && f->function == Function::Switch && count % 2 != 0)
      throw SqlError(QStringLiteral("Switch 的引數要成對：條件, 值, 條件, 值…"));
    e.type = f ? ReturnType(f->function, types) : SqlType::Unknown;
    // A function that gives Null for a Null argument, called with one, is Null on every engine
    // without looking at its other arguments.
    if (f && PassesNullOn(f->function) &&
        std::any_of(types.begin(), types.end(), [](SqlType t) { return t == SqlType::Null; }))
      e.type = SqlType::Null;
  }

  // The output columns' names: alias; a column's own name; "SumOfPrice" for an aggregate of one
  // column; Expr1000, Expr1001 … for the rest, as Access names them. Where two outputs share a
  // name, those that are columns get their table's name in front ("Table1.col1").
  void NameOutputs(Select& select, Scope& scope) {
    select.outputs.clear();
    select.outputsKnown = true;
    int unnamed = 1000;
    for (SelectItem& item : select.items) {
      if (!item.expr) {
        for (Source* s : scope.sources) {
          if (!item.star.isEmpty() && !SameName(s->Key(), item.star)) continue;
          if (!s->shapeKnown) {
            select.outputsKnown = false;
            continue;
          }
          for (const ColumnShape& c : s->columns)
            select.outputs.push_back({c.name, c.type, &item, s, c.name});
        }
        continue;
      }
      QString name = item.alias;
      const Expr& e = *item.expr;
      if (name.isEmpty() && e.kind == Expr::Kind::Name && e.role != NameRole::Parameter) {
        name = e.parts.back();
      } else if (name.isEmpty() && e.kind == Expr::Kind::Call && e.args.size() == 1 &&
                 e.args[0]->kind == Expr::Kind::Name && e.args[0]->role == NameRole::Column) {
        const FunctionInfo* f = FindFunction(e.text);
        if (f && f->aggregate)
          name = QString::fromLatin1(f->name) + QStringLiteral("Of") + e.args[0]->parts.back();
      }
      if (name.isEmpty()) name = QStringLiteral("Expr%1").arg(unnamed++);
      item.name = name;
      OutputColumn out{name, e.type, &item, nullptr, QString()};
      if (e.kind == Expr::Kind::Name && e.role == NameRole::Column && item.alias.isEmpty()) {
        out.column = e.parts.back();
        for (Source* s : scope.sources)
          if (SameName(s->Key(), e.source)) out.source = s;
      }
      select.outputs.push_back(out);
    }
    // Names that repeat: "Table.column" for each such column.
    QHash<QString, int> uses;
    for (const OutputColumn& o : select.outputs)
      ++uses[o.name.toCaseFolded()];
    if (uses.size() == static_cast<qsizetype>(select.outputs.size())) return;
    std::vector<bool> repeated(select.outputs.size(), false);
    for (size_t i = 0; i < select.outputs.size(); ++i)
      repeated[i] = uses.value(select.outputs[i].name.toCaseFolded()) > 1;
    for (size_t i = 0; i < select.outputs.size(); ++i) {
      OutputColumn& o = select.outputs[i];
      if (!repeated[i] || !o.source || (o.item && !o.item->alias.isEmpty())) continue;
      o.name = o.source->Key() + u'.' + o.column;
      if (o.item && !o.item->expr) select.expandStars = true;
      if (o.item && o.item->expr) const_cast<SelectItem*>(o.item)->name = o.name;
    }
  }

  // The sources whose fields the output shows, when those are some of the joined ones only.
  void FindDistinctRowSources(Select& select, Scope& scope) {
    select.distinctRowSources.clear();
    if (!select.distinctRow || select.aggregate || select.distinct || scope.sources.size() < 2)
      return;
    QSet<const Source*> used;
    bool all = false;
    for (const SelectItem& item : select.items) {
      if (!item.expr) {
        for (Source* s : scope.sources)
          if (item.star.isEmpty() || SameName(s->Key(), item.star)) used.insert(s);
        continue;
      }
      all = all || !CollectSources(*item.expr, scope, used);
    }
    if (all || static_cast<size_t>(used.size()) >= scope.sources.size()) return;
    for (Source* s : scope.sources) {
      if (!used.contains(s)) continue;
      if (!s->hasRowIdentity && !s->shapeKnown) return;  // nothing to key on: as plain SELECT
      select.distinctRowSources.push_back(s);
    }
  }

  // Adds the sources of `scope` whose columns `e` reads; false when it cannot tell.
  static bool CollectSources(const Expr& e, Scope& scope, QSet<const Source*>& used) {
    if (e.kind == Expr::Kind::Name) {
      if (e.role == NameRole::Unresolved) return false;
      if (e.role == NameRole::Alias) return CollectSources(*e.aliased, scope, used);
      if (e.role == NameRole::Column) {
        if (e.source.isEmpty()) return false;
        for (Source* s : scope.sources)
          if (SameName(s->Key(), e.source)) used.insert(s);
      }
      return true;
    }
    for (const auto& arg : e.args)
      if (!CollectSources(*arg, scope, used)) return false;
    return true;
  }

  void BindCrosstab(Query& query, Scope* outer) {
    Crosstab& crosstab = *query.crosstab;
    Select& select = *query.members.front();
    Scope scope = ScopeOf(select, outer);
    BindExpr(*crosstab.value, scope);
    BindExpr(*crosstab.pivot, scope);
    crosstab.columns.clear();
    crosstab.columnNames.clear();
    if (!crosstab.in.empty()) {
      for (auto& value : crosstab.in) {
        if (!value->IsLiteral()) throw SqlError(QStringLiteral("PIVOT … IN (…) 只能列常數。"));
        BindExpr(*value, scope);
        crosstab.columns.push_back(value->Clone());
        crosstab.columnNames << PivotColumnName(LiteralDatum(*value));
      }
    } else {
      if (!pivots_) throw SqlError(QStringLiteral("無法讀取交叉資料表查詢的欄位值。"));
      for (const Datum& d : pivots_(query)) {
        crosstab.columns.push_back(DatumLiteral(d));
        crosstab.columnNames << PivotColumnName(d);
      }
    }
    select.aggregate = true;
    for (const QString& name : crosstab.columnNames)
      query.columns.push_back({name, crosstab.value->type});
  }

  static Datum LiteralDatum(const Expr& e) {
    Datum d;
    switch (e.kind) {
      case Expr::Kind::Number:
      case Expr::Kind::Boolean:
        d.kind = Datum::Kind::Number;
        d.number = e.number;
        break;
      case Expr::Kind::Text:
        d.kind = Datum::Kind::Text;
        d.text = e.text;
        break;
      case Expr::Kind::Date:
        d.kind = Datum::Kind::Date;
        d.text = e.text;
        break;
      default:
        break;
    }
    return d;
  }

  static ExprPtr DatumLiteral(const Datum& d) {
    auto e = std::make_unique<Expr>();
    switch (d.kind) {
      case Datum::Kind::Null:
        e->kind = Expr::Kind::Null;
        e->type = SqlType::Null;
        break;
      case Datum::Kind::Number:
        e->kind = Expr::Kind::Number;
        e->number = d.number;
        e->text = NumberText(d.number);
        e->type = NumberLiteralType(e->text, std::fabs(d.number));
        break;
      case Datum::Kind::Text:
        e->kind = Expr::Kind::Text;
        e->text = d.text;
        e->type = SqlType::Text;
        break;
      case Datum::Kind::Date:
        e->kind = Expr::Kind::Date;
        e->text = d.text;
        e->type = SqlType::Date;
        break;
    }
    return e;
  }

  Statement& statement_;
  Catalog* catalog_;
  const PivotReader& pivots_;
  const QHash<QString, SqlType>& given_;
  QStringList inlining_;
  std::unique_ptr<Source> target_;
};

}  // namespace

QString PivotColumnName(const Datum& value) {
  switch (value.kind) {
    case Datum::Kind::Null:
      return QStringLiteral("<>");
    case Datum::Kind::Number:
      return NumberText(value.number);
    case Datum::Kind::Text:
      return value.text;
    case Datum::Kind::Date:
      return GeneralDateText(value.text);
  }
  return {};
}

void Bind(Statement& statement, Catalog* catalog, const PivotReader& pivots,
          const QHash<QString, SqlType>& given) {
  Binder(statement, catalog, pivots, given).Run();
}

ExprPtr Expr::Clone() const {
  auto e = std::make_unique<Expr>();
  e->kind = kind;
  e->op = op;
  e->negated = negated;
  e->wildcards = wildcards;
  e->distinct = distinct;
  e->text = text;
  e->number = number;
  e->parts = parts;
  e->separators = separators;
  for (const auto& arg : args)
    e->args.push_back(arg->Clone());
  e->position = position;
  e->type = type;
  e->role = role;
  e->source = source;
  e->aliased = aliased;
  e->parameter = parameter;
  // A clone of a subquery is not needed by anyone: crosstab columns are literals.
  return e;
}

}  // namespace tarvel::db::sql
