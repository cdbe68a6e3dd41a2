// Access SQL for SQLite: dates are texts "YYYY-MM-DD HH:MM:SS", Access's functions and the
// operators whose meaning depends on types at run time are application functions (SqliteHelpers),
// and what SQLite already does as Access does (LIKE with % and _, CASE, the common aggregates, NULL
// first in ORDER BY) is written as SQLite's own.
#include "db/sql/AccessLike.h"
#include "db/sql/Functions.h"
#include "db/sql/Generator.h"
#include "db/sql/SqliteHelpers.h"

namespace tarvel::db::sql {
namespace {

// The opening of a call of `helper`: its name and "(".
QString Helper(SqliteHelper helper) {
  return SqliteHelperName(helper) + u'(';
}

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
  return Helper(SqliteHelper::Number) + value + u')';
}

// The operators by the result's type: whole numbers and Doubles in SQLite's own arithmetic, a
// Single's result rounded to a Single, Currency exactly in ten-thousandths, and texts, dates and
// values of unknown type through Access's rules at run time.
QString SqliteGenerator::Arithmetic(const Expr& e) {
  const Expr& a = *e.args[0];
  const Expr& b = *e.args[1];
  const bool numbers = IsNumeric(a.type) && IsNumeric(b.type);
  const auto call = [&](SqliteHelper helper) -> QString {
    return QStringLiteral("%1(%2, %3)").arg(SqliteHelperName(helper), Argument(a), Argument(b));
  };
  const auto plain = [&](const char* op) -> QString {
    const QString text = u'(' + Value(a) + QLatin1String(op) + Value(b) + u')';
    return e.type == SqlType::Single ? SqliteHelperName(SqliteHelper::Single) + text : text;
  };
  if (e.type == SqlType::Null) return QStringLiteral("NULL");
  switch (e.op) {
    case Op::Add:
      if (e.type == SqlType::Currency) return call(SqliteHelper::CurrencyAdd);
      if (numbers) return plain(" + ");
      if (e.type == SqlType::Text)
        return u'(' + Value(a) + QStringLiteral(" || ") + Value(b) + u')';
      return call(SqliteHelper::Add);
    case Op::Subtract:
      if (e.type == SqlType::Currency) return call(SqliteHelper::CurrencySubtract);
      if (numbers) return plain(" - ");
      return call(SqliteHelper::Subtract);
    case Op::Multiply:
      if (e.type == SqlType::Currency) return call(SqliteHelper::CurrencyMultiply);
      if (numbers) return plain(" * ");
      return call(SqliteHelper::Multiply);
    case Op::Divide:
      // Jet always divides as floating point; SQLite would divide whole numbers as whole numbers.
      // A zero divisor gives NULL.
      if (numbers) return u'(' + Value(a) + QStringLiteral(" * 1.0 / ") + Value(b) + u')';
      return call(SqliteHelper::Divide);
    case Op::IntDivide:
      return call(SqliteHelper::IntDivide);
    case Op::Mod:
      return call(SqliteHelper::Mod);
    case Op::Power:
      return call(SqliteHelper::Power);
    case Op::Concat: {
      std::vector<const Expr*> operands;
      ConcatOperands(e, operands);
      QStringList values;
      for (const Expr* operand : operands)
        values << TextValue(*operand);
      return Helper(SqliteHelper::Concat) + values.join(QStringLiteral(", ")) + u')';
    }
    default:
      return {};
  }
}

QString SqliteGenerator::Negation(const Expr& e) {
  const Expr& x = *e.args[0];
  if (IsNumeric(x.type)) return QStringLiteral("(-") + Value(x) + u')';
  return Helper(SqliteHelper::Subtract) + QStringLiteral("0, ") + Value(x) + u')';
}

QString SqliteGenerator::TextValue(const Expr& e) {
  // A Single joins a text as it is shown, not as the double that holds it.
  if (e.type == SqlType::Single) return Helper(SqliteHelper::SingleShown) + Value(e) + u')';
  return Argument(e);
}

QString SqliteGenerator::Argument(const Expr& e) {
  // A text stays a text to Access's functions even where it looks like a stored date.
  if (e.type == SqlType::Text && e.kind != Expr::Kind::Null)
    return Helper(SqliteHelper::Text) + Value(e) + u')';
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
  return type == SqlType::Single ? Helper(SqliteHelper::SingleShown) + value + u')' : value;
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
  const QString match = u'(' + Helper(SqliteHelper::Like) + value + QStringLiteral(", ") +
                        Value(pattern) + QStringLiteral(") <> 0)");
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
        return (f.function == Function::Sum ? Helper(SqliteHelper::CurrencySum)
                                            : Helper(SqliteHelper::CurrencyAvg)) +
               Value(*e.args[0]) + u')' + filter;
      }
      // Floating numbers add up in ascending order, whatever order the rows come in.
      if ((IsFloating(e.args[0]->type) || e.args[0]->type == SqlType::Decimal ||
           e.args[0]->type == SqlType::Text) &&
          !e.distinct) {
        return (f.function == Function::Sum ? Helper(SqliteHelper::FloatSum)
                                            : Helper(SqliteHelper::FloatAvg)) +
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
  return Helper(SqliteHelper::FormatNumber) + Value(x) + QStringLiteral(", ") +
         QString::number(places) + u')';
}

QString SqliteGenerator::ChooseIndex(const Expr& index) {
  return SqliteFunctionName(Function::Round) + u'(' + Value(index) + u')';
}

}  // namespace tarvel::db::sql
