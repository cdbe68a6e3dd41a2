// Access SQL for SQLite: dates are texts "YYYY-MM-DD HH:MM:SS", Access's functions and the
// operators whose meaning depends on types at run time are application functions (acc_*), and
// what SQLite already does as Access does (LIKE with % and _, CASE, the common aggregates, NULL
// first in ORDER BY) is written as SQLite's own.
#include "db/sql/AccessLike.h"
#include "db/sql/Generator.h"

namespace tarvel::db::sql {
namespace {

// The operands of a chain of "&", left to right.
void ConcatOperands(const Expr& e, std::vector<const Expr*>& out) {
  if (e.kind == Expr::Kind::Binary && e.op == Op::Concat) {
    ConcatOperands(*e.args[0], out);
    ConcatOperands(*e.args[1], out);
  } else {
    out.push_back(&e);
  }
}

}  // namespace

QString SqliteGenerator::Quote(const QString& name) {
  if (!name.contains(u']')) return u'[' + name + u']';
  QString quoted = name;
  quoted.replace(u'"', QStringLiteral("\"\""));
  return u'"' + quoted + u'"';
}

QString SqliteGenerator::DateLiteral(const QString& stored) {
  return TextLiteral(stored);
}

QString SqliteGenerator::Placeholder(int slot) {
  return u'?' + QString::number(slot);
}

QString SqliteGenerator::PredicateValue(const QString& predicate) {
  return QStringLiteral("(-") + predicate + u')';
}

QString SqliteGenerator::ValueCondition(const QString& value, const Expr&) {
  return value;  // SQLite takes a number as a condition, true when not 0
}

QString SqliteGenerator::TextAsNumber(const QString& value) {
  return QStringLiteral("acc_num(") + value + u')';
}

QString SqliteGenerator::Arithmetic(const Expr& e) {
  const Expr& a = *e.args[0];
  const Expr& b = *e.args[1];
  const bool numbers = IsNumeric(a.type) && IsNumeric(b.type);
  switch (e.op) {
    case Op::Add:
      if (numbers) return u'(' + Value(a) + QStringLiteral(" + ") + Value(b) + u')';
      if ((a.type == SqlType::Text || a.type == SqlType::Null) &&
          (b.type == SqlType::Text || b.type == SqlType::Null))
        return u'(' + Value(a) + QStringLiteral(" || ") + Value(b) + u')';
      return QStringLiteral("acc_add(%1, %2)").arg(Value(a), Value(b));
    case Op::Subtract:
      if (numbers) return u'(' + Value(a) + QStringLiteral(" - ") + Value(b) + u')';
      return QStringLiteral("acc_sub(%1, %2)").arg(Value(a), Value(b));
    case Op::Divide:
      // Jet always divides as floating point; SQLite would divide whole numbers as whole numbers.
      // A zero divisor gives NULL.
      return u'(' + Value(a) + QStringLiteral(" * 1.0 / ") + Value(b) + u')';
    case Op::IntDivide:
      return QStringLiteral("acc_intdiv(%1, %2)").arg(Value(a), Value(b));
    case Op::Mod:
      return QStringLiteral("acc_mod(%1, %2)").arg(Value(a), Value(b));
    case Op::Power:
      return QStringLiteral("acc_pow(%1, %2)").arg(Value(a), Value(b));
    case Op::Concat: {
      std::vector<const Expr*> operands;
      ConcatOperands(e, operands);
      QStringList values;
      for (const Expr* operand : operands)
        values << Value(*operand);
      return QStringLiteral("acc_concat(") + values.join(QStringLiteral(", ")) + u')';
    }
    default:
      return {};
  }
}

QString SqliteGenerator::Like(const Expr& e) {
  const QString value = Value(*e.args[0]);
  const Expr& pattern = *e.args[1];
  const QString no = e.negated ? QStringLiteral(" NOT") : QString();
  if (e.wildcards == Wildcards::Ansi)
    return u'(' + value + no + QStringLiteral(" LIKE ") + Value(pattern) + u')';
  if (pattern.kind == Expr::Kind::Text) {
    if (const auto like = AccessPatternAsLike(pattern.text)) {
      return u'(' + value + no + QStringLiteral(" LIKE ") + TextLiteral(*like) +
             QStringLiteral(" ESCAPE '\\')");
    }
  }
  const QString match = QStringLiteral("(acc_like(%1, %2) <> 0)").arg(value, Value(pattern));
  return e.negated ? QStringLiteral("(NOT ") + match + u')' : match;
}

QString SqliteGenerator::Call(const Expr& e, const FunctionInfo& f) {
  const QString filter = AggregateFilter().isEmpty()
                             ? QString()
                             : QStringLiteral(" FILTER (WHERE ") + AggregateFilter() + u')';
  switch (f.function) {
    case Function::Count: {
      const QString arg =
          e.args[0]->kind == Expr::Kind::Star ? QStringLiteral("*") : Value(*e.args[0]);
      const QString count = QStringLiteral("count(") +
                            (e.distinct ? QStringLiteral("DISTINCT ") : QString()) + arg + u')' +
                            filter;
      // A crosstab cell without rows is empty, also for a count.
      return filter.isEmpty() ? count : QStringLiteral("NULLIF(") + count + QStringLiteral(", 0)");
    }
    case Function::Sum:
    case Function::Avg:
    case Function::Min:
    case Function::Max:
      return QString::fromLatin1(f.name).toLower() + u'(' +
             (e.distinct ? QStringLiteral("DISTINCT ") : QString()) + Value(*e.args[0]) + u')' +
             filter;
    case Function::First:
    case Function::Last:
    case Function::StDev:
    case Function::StDevP:
    case Function::Var:
    case Function::VarP:
      return SqliteFunctionName(f.function) + u'(' + Value(*e.args[0]) + u')' + filter;
    default:
      return SqliteFunctionName(f.function) + u'(' + Arguments(e).join(QStringLiteral(", ")) + u')';
  }
}

QString SqliteGenerator::RowIdentity(const QString& key) {
  return key + QStringLiteral(".rowid");
}

QString SqliteGenerator::NullsOrder(bool) {
  return {};  // SQLite sorts NULL first, as Jet does
}

QString SqliteGenerator::NumberFormat(const Expr& x, int places) {
  return QStringLiteral("acc_formatnum(%1, %2)").arg(Value(x)).arg(places);
}

QString SqliteGenerator::ChooseIndex(const Expr& index) {
  return QStringLiteral("acc_round(") + Value(index) + u')';
}

}  // namespace tarvel::db::sql
