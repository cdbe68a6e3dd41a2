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

// The operators by the result's type: whole numbers and Doubles in SQLite's own arithmetic, a
// Single's result rounded to a Single, Currency exactly in ten-thousandths (acc_c*), and texts,
// dates and values of unknown type through Access's rules at run time (acc_add, …).
QString SqliteGenerator::Arithmetic(const Expr& e) {
  const Expr& a = *e.args[0];
  const Expr& b = *e.args[1];
  const bool numbers = IsNumeric(a.type) && IsNumeric(b.type);
  const auto call = [&](const char* function) -> QString {
    return QStringLiteral("%1(%2, %3)").arg(QLatin1String(function), Argument(a), Argument(b));
  };
  const auto plain = [&](const char* op) -> QString {
    const QString text = u'(' + Value(a) + QLatin1String(op) + Value(b) + u')';
    return e.type == SqlType::Single ? QStringLiteral("acc_sng") + text : text;
  };
  if (e.type == SqlType::Null) return QStringLiteral("NULL");
  switch (e.op) {
    case Op::Add:
      if (e.type == SqlType::Currency) return call("acc_cadd");
      if (numbers) return plain(" + ");
      if (e.type == SqlType::Text)
        return u'(' + Value(a) + QStringLiteral(" || ") + Value(b) + u')';
      return call("acc_add");
    case Op::Subtract:
      if (e.type == SqlType::Currency) return call("acc_csub");
      if (numbers) return plain(" - ");
      return call("acc_sub");
    case Op::Multiply:
      if (e.type == SqlType::Currency) return call("acc_cmul");
      if (numbers) return plain(" * ");
      return call("acc_mul");
    case Op::Divide:
      // Jet always divides as floating point; SQLite would divide whole numbers as whole numbers.
      // A zero divisor gives NULL.
      if (numbers) return u'(' + Value(a) + QStringLiteral(" * 1.0 / ") + Value(b) + u')';
      return call("acc_div");
    case Op::IntDivide:
      return call("acc_intdiv");
    case Op::Mod:
      return call("acc_mod");
    case Op::Power:
      return call("acc_pow");
    case Op::Concat: {
      std::vector<const Expr*> operands;
      ConcatOperands(e, operands);
      QStringList values;
      for (const Expr* operand : operands)
        values << TextValue(*operand);
      return QStringLiteral("acc_concat(") + values.join(QStringLiteral(", ")) + u')';
    }
    default:
      return {};
  }
}

QString SqliteGenerator::Negation(const Expr& e) {
  const Expr& x = *e.args[0];
  if (IsNumeric(x.type)) return QStringLiteral("(-") + Value(x) + u')';
  return QStringLiteral("acc_sub(0, ") + Value(x) + u')';
}

QString SqliteGenerator::TextValue(const Expr& e) {
  // A Single joins a text as it is shown, not as the double that holds it.
  if (e.type == SqlType::Single) return QStringLiteral("acc_sngshown(") + Value(e) + u')';
  return Argument(e);
}

QString SqliteGenerator::Argument(const Expr& e) {
  // A text stays a text to Access's functions even where it looks like a stored date.
  if (e.type == SqlType::Text && e.kind != Expr::Kind::Null)
    return QStringLiteral("acc_txt(") + Value(e) + u')';
  return Value(e);
}

// Texts group and are told apart in the database's order, also where they are no column of it.
QString SqliteGenerator::GroupKey(const QString& value, SqlType type) {
  return type == SqlType::Text ? TextInList(value) : value;
}

QString SqliteGenerator::DistinctValue(const QString& value, SqlType type) {
  return type == SqlType::Text ? TextInList(value) : value;
}

QString SqliteGenerator::Shown(const QString& value, SqlType type) {
  return type == SqlType::Single ? QStringLiteral("acc_sngshown(") + value + u')' : value;
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

// Whether a function reads its arguments as texts (so a Single is read as it is shown).
static bool ReadsTexts(Function f) {
  switch (f) {
    case Function::CStr:
    case Function::Format:
    case Function::Left:
    case Function::Right:
    case Function::Mid:
    case Function::Len:
    case Function::InStr:
    case Function::InStrRev:
    case Function::Trim:
    case Function::LTrim:
    case Function::RTrim:
    case Function::UCase:
    case Function::LCase:
    case Function::Replace:
    case Function::StrComp:
    case Function::Asc:
    case Function::Val:
      return true;
    default:
      return false;
  }
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
      // Currency adds up exactly, in ten-thousandths.
      if (e.args[0]->type == SqlType::Currency && !e.distinct) {
        return (f.function == Function::Sum ? QStringLiteral("acc_csum(")
                                            : QStringLiteral("acc_cavg(")) +
               Value(*e.args[0]) + u')' + filter;
      }
      // Floating numbers add up in ascending order, whatever order the rows come in.
      if ((IsFloating(e.args[0]->type) || e.args[0]->type == SqlType::Decimal ||
           e.args[0]->type == SqlType::Text) &&
          !e.distinct) {
        return (f.function == Function::Sum ? QStringLiteral("acc_fsum(")
                                            : QStringLiteral("acc_favg(")) +
               Argument(*e.args[0]) + u')' + filter;
      }
      [[fallthrough]];
    case Function::Min:
    case Function::Max: {
      QString value = Value(*e.args[0]);
      if (e.args[0]->type == SqlType::Text)
        value += QStringLiteral(" COLLATE ") + QLatin1String(SqliteCollation(Order(), true));
      return QString::fromLatin1(f.name).toLower() + u'(' +
             (e.distinct ? QStringLiteral("DISTINCT ") : QString()) + value + u')' + filter;
    }
    case Function::First:
    case Function::Last:
    case Function::StDev:
    case Function::StDevP:
    case Function::Var:
    case Function::VarP:
      return SqliteFunctionName(f.function) + u'(' + Value(*e.args[0]) + u')' + filter;
    case Function::Hex:
    case Function::Oct: {
      // A negative Integer is written in 16 bits, anything else in 32.
      const SqlType t = e.args[0]->type;
      const int bits =
          t == SqlType::Integer || t == SqlType::Byte || t == SqlType::Boolean ? 16 : 32;
      return SqliteFunctionName(f.function) + u'(' + Value(*e.args[0]) + QStringLiteral(", ") +
             QString::number(bits) + u')';
    }
    default: {
      QStringList args;
      for (const auto& arg : e.args)
        args << (ReadsTexts(f.function) ? TextValue(*arg) : Argument(*arg));
      return SqliteFunctionName(f.function) + u'(' + args.join(QStringLiteral(", ")) + u')';
    }
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
