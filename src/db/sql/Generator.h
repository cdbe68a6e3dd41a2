// Writes a bound statement (Binder.h) in an engine's dialect. This base class writes what both
// engines share (clauses, joins, unions, TOP, DISTINCTROW, crosstabs, comparisons, And/Or/Not,
// Between, In, Exists); each engine's subclass writes its names, literals, placeholders, Access's
// operators and functions, and turns predicates into Access's values -1/0 and back.
//
// Access's semantics that shape the text:
// - a comparison or other predicate used as a value is -1 (true) or 0, NULL staying NULL; a value
//   used as a condition is true when it is not 0;
// - where a text meets a number in a comparison, the text is read as a number (Jet converts);
// - TOP n keeps the rows tied with the n-th (a window's rank decides), TOP n PERCENT rounds up;
// - DISTINCTROW keeps one row per distinct record of the tables the output shows;
// - TRANSFORM … PIVOT gives one column per pivot value, each cell the aggregate over the rows of
//   that value (FILTER), NULL where there are none; the rows sorted by their headings;
// - ORDER BY puts NULL first (last when descending);
// - unnamed output columns are named as Access names them (Binder.h).
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <functional>

#include "db/sql/Functions.h"
#include "db/sql/JetOrder.h"
#include "db/sql/Syntax.h"

namespace tarvel::db::sql {

/// What a translation hands the engine and the caller.
struct Generated {
  QString sql;
  /// One entry per placeholder slot, from slot 1: empty for a "?" marker of the text (bound by
  /// position), else the name of the parameter whose value goes there.
  QStringList placeholders;
  /// Every name the text spells, keyed by the engine's folded form (PostgreSQL), so result
  /// columns can get the text's spelling back.
  QHash<QString, QString> spellings;
};

class Generator {
 public:
  virtual ~Generator() = default;
  /// The engine's text of a bound statement.
  Generated Generate(const Statement& statement);
  /// The order the database's texts sort in (General unless told otherwise).
  void SetOrder(SortOrder order) { order_ = order; }
  /// A query of one column: the distinct values of a bound crosstab's pivot over its rows, in
  /// Access's order.
  QString PivotValuesSql(const Query& crosstab);
  /// 'text' with its apostrophes doubled (a NUL left out: the engines read a text up to one).
  static QString TextLiteral(const QString& text);

 protected:
  // Engine hooks.
  virtual QString Quote(const QString& name) = 0;
  virtual QString DateLiteral(const QString& stored) = 0;
  virtual QString Placeholder(int slot) = 0;
  /// The placeholder of a named parameter whose value is of Access's type `type`.
  virtual QString ParameterPlaceholder(int slot, SqlType) { return Placeholder(slot); }
  /// A predicate's SQL as Access's value (-1, 0, NULL).
  virtual QString PredicateValue(const QString& predicate) = 0;
  /// A value's SQL as a condition (true when not 0).
  virtual QString ValueCondition(const QString& value, const Expr& e) = 0;
  /// A value read as a number where it meets a number in a comparison.
  virtual QString TextAsNumber(const QString& value) = 0;
  virtual QString Arithmetic(const Expr& e) = 0;
  /// -x, as Access's value of the operand's type.
  virtual QString Negation(const Expr& e) = 0;
  /// A value of type `type` as it leaves the statement (an output column of its outermost select).
  virtual QString Shown(const QString& value, SqlType) { return value; }
  /// Whether Shown changes values of `type`.
  virtual bool Reshows(SqlType) const { return false; }
  /// Whether the statement's own "*" is written out column by column (so every column gets the
  /// name Access spells it with).
  virtual bool ExpandsStars() const { return false; }
  virtual QString Like(const Expr& e) = 0;
  /// A call of an Access function (aggregates included; `filter` is the crosstab's FILTER
  /// condition for aggregates, or empty).
  virtual QString Call(const Expr& e, const FunctionInfo& f) = 0;
  /// The expression that identifies a row of base table `key` (rowid, ctid).
  virtual QString RowIdentity(const QString& key) = 0;
  /// What follows an ORDER BY key so NULL sorts as in Jet.
  virtual QString NullsOrder(bool descending) = 0;
  /// Whether a derived table needs a name.
  virtual bool DerivedNeedsName() const = 0;
  /// Whether a DISTINCTROW's GROUP BY must also list every output column (PostgreSQL).
  virtual bool GroupsOutputs() const = 0;

  // What subclasses use.
  /// The SQL of `e` as Access's value.
  QString Value(const Expr& e);
  /// The SQL of `e` as a condition.
  QString Condition(const Expr& e);
  /// The SQL of `e` as a number: a text is read as one; IIf, Switch, Choose and Nz pass it on to
  /// their branches, and Format with a plain number pattern becomes the rounded number its text
  /// stands for (engine's choice, NumberFormat).
  QString NumberValue(const Expr& e);
  /// Format(x, 'pattern') of a plain number pattern, read back as a number. Empty: no shortcut.
  virtual QString NumberFormat(const Expr& x, int places);
  /// A branch of IIf, Nz, Switch or Choose (`call`) as a value.
  virtual QString BranchValue(const Expr& branch, const Expr& call);
  /// Choose's index, rounded to a whole number as Access rounds it.
  virtual QString ChooseIndex(const Expr& index) = 0;
  /// A name, parameter or alias.
  QString NameText(const Expr& e);
  QString Literal(const Expr& e);
  /// A number as written in the statement, typed as the binder typed it (Integer, Long, Double).
  virtual QString NumberLiteral(const Expr& e);
  /// A text as written in the statement.
  virtual QString TextValueLiteral(const QString& text) { return TextLiteral(text); }
  /// Whether both sides of a comparison are texts (compared in the database's order).
  static bool AreTexts(const Expr& a, const Expr& b);
  /// `left op right` of two texts in the database's order.
  virtual QString TextComparison(const QString& left, Op op, const QString& right);
  /// The keys that order by a text in the database's order, the same on every engine.
  virtual QStringList TextOrderKeys(const QString& value);
  /// A text value tested with IN against texts.
  virtual QString TextInList(const QString& value);
  /// The ORDER BY keys of `value` of type `type`, each with its direction and NULLs first.
  QStringList OrderKeys(const QString& value, SqlType type, bool descending);
  /// Whether an ORDER BY key of a text may be an output column's alias (or position).
  virtual bool AliasOrdersTexts() const { return true; }
  /// A GROUP BY key of type `type`.
  virtual QString GroupKey(const QString& value, SqlType) { return value; }
  /// Whether HAVING needs an aggregate among a select's items where it has no GROUP BY.
  virtual bool HavingNeedsAggregate() const { return false; }
  /// A GROUP BY key with one value for the whole statement (one group).
  virtual QString ConstantGroupKey(const QString& value) { return value; }
  /// An output column of type `type` of a SELECT DISTINCT.
  virtual QString DistinctValue(const QString& value, SqlType) { return value; }
  /// Two numbers compared: their texts made comparable where the engine needs it.
  virtual void NumberOperands(const Expr&, const Expr&, QString&, QString&) {}
  SortOrder Order() const { return order_; }
  /// The FILTER condition aggregates carry while a crosstab column is written.
  const QString& AggregateFilter() const { return filter_; }
  /// Whether `e` is a predicate in SQL (a comparison, And/Or/Not, Like, …).
  static bool IsPredicate(const Expr& e);
  /// The arguments' SQL as values.
  QStringList Arguments(const Expr& e);
  QString NextName(const QString& stem);
  void Spell(const QString& folded, const QString& spelling);

 private:
  QString Raw(const Expr& e);
  QString Comparison(const Expr& e);
  QString QueryText(const Query& q);
  QString MemberText(const Select& s, const std::vector<OrderItem>* unionOrder);
  QString SelectText(const Select& s, bool withOrder, bool withTop, bool positional = false,
                     const QString& extraItems = {});
  QString TopWrapped(const Select& s);
  /// The output column (from 1) an ORDER BY item of `s` names, or 0.
  int OutputPosition(const Select& s, const OrderItem& item);
  QString ItemsText(const Select& s, bool aliasPositionally);
  QString SourceText(const Source& s, bool nested);
  QString OrderText(const std::vector<OrderItem>& order, bool byAlias);
  QString CrosstabText(const Query& q);
  /// Whether `s` gives the statement's own rows (a select of its outermost query).
  bool IsOutermost(const Select& s) const;
  QString InsertText(const Statement& st);
  QString UpdateText(const Statement& st);
  QString DeleteText(const Statement& st);
  std::vector<QString> DistinctRowKeys(const Select& s);

  const Statement* statement_ = nullptr;
  QStringList slots_;
  QHash<QString, QString> spellings_;
  QString filter_;
  int names_ = 0;
  SortOrder order_ = SortOrder::General;
  bool writing_ = false;  // values of INSERT … VALUES and UPDATE … SET
};

/// Access SQL as SQLite runs it, with the application functions of the SQLite backend
/// (acc_*, registered by db::RegisterAccessFunctions).
class SqliteGenerator final : public Generator {
 protected:
  QString Quote(const QString& name) override;
  QString DateLiteral(const QString& stored) override;
  QString Placeholder(int slot) override;
  QString PredicateValue(const QString& predicate) override;
  QString ValueCondition(const QString& value, const Expr& e) override;
  QString TextAsNumber(const QString& value) override;
  QString Arithmetic(const Expr& e) override;
  QString Negation(const Expr& e) override;
  QString Shown(const QString& value, SqlType type) override;
  bool Reshows(SqlType type) const override { return type == SqlType::Single; }
  bool HavingNeedsAggregate() const override { return true; }
  QString GroupKey(const QString& value, SqlType type) override;
  QString DistinctValue(const QString& value, SqlType type) override;
  QString Like(const Expr& e) override;
  QString Call(const Expr& e, const FunctionInfo& f) override;
  QString RowIdentity(const QString& key) override;
  QString NullsOrder(bool descending) override;
  QString ChooseIndex(const Expr& index) override;
  QString NumberFormat(const Expr& x, int places) override;
  bool DerivedNeedsName() const override { return false; }
  bool GroupsOutputs() const override { return false; }

 private:
  /// A value where a text is read from it: a Single as it is shown.
  QString TextValue(const Expr& e);
  /// A value handed to an application function: a text marked as one (acc_txt).
  QString Argument(const Expr& e);
};

/// Access SQL as PostgreSQL runs it, everything written into the statement itself: a server
/// needs no function of ours, and a role that may only read can run it.
class PgGenerator final : public Generator {
 protected:
  QString Quote(const QString& name) override;
  QString DateLiteral(const QString& stored) override;
  QString Placeholder(int slot) override;
  QString ParameterPlaceholder(int slot, SqlType type) override;
  QString PredicateValue(const QString& predicate) override;
  QString ValueCondition(const QString& value, const Expr& e) override;
  QString TextAsNumber(const QString& value) override;
  QString Arithmetic(const Expr& e) override;
  QString Negation(const Expr& e) override;
  QString Like(const Expr& e) override;
  QString Call(const Expr& e, const FunctionInfo& f) override;
  QString RowIdentity(const QString& key) override;
  QString NullsOrder(bool descending) override;
  QString NumberFormat(const Expr& x, int places) override;
  QString BranchValue(const Expr& branch, const Expr& call) override;
  QString ChooseIndex(const Expr& index) override;
  QString NumberLiteral(const Expr& e) override;
  QString TextValueLiteral(const QString& text) override;
  QString TextComparison(const QString& left, Op op, const QString& right) override;
  QStringList TextOrderKeys(const QString& value) override;
  QString TextInList(const QString& value) override;
  bool AliasOrdersTexts() const override { return false; }
  bool ExpandsStars() const override { return true; }
  QString Shown(const QString& value, SqlType type) override;
  bool Reshows(SqlType type) const override { return type == SqlType::Single; }
  QString ConstantGroupKey(const QString& value) override {
    return QStringLiteral("(SELECT ") + value + u')';
  }
  void NumberOperands(const Expr& a, const Expr& b, QString& left, QString& right) override;
  bool DerivedNeedsName() const override { return true; }
  bool GroupsOutputs() const override { return true; }

 private:
  QString AsText(const Expr& e);
  QString AsDate(const Expr& e);
  /// Any number (the server's own type of it), a text read as a number.
  QString AsNumeric(const Expr& e);
  /// `e` held as the server holds a value of Access's type `type`: whole numbers as bigint
  /// (rounded half to even from anything else), Single as real, Double and Decimal as double
  /// precision, Currency as numeric in ten-thousandths (converted from a floating number as Access
  /// converts it).
  QString AsType(const Expr& e, SqlType type);
  /// A number rounded half to even to a whole number (on its exact binary value).
  QString RoundedWhole(const Expr& e);
  /// `body` of a value that it names several times: the value computed once in a subquery
  /// (`body` receives its name there), or written out where it holds an aggregate of the
  /// statement, which a subquery's FROM cannot hold.
  QString Let(const Expr& e, const QString& value,
              const std::function<QString(const QString&)>& body);
  // Access's conversions written for the server; `scope` is the expression they serve (whether it
  // holds an aggregate decides how Let names a value).
  QString OleToDate(const Expr& scope, const QString& ole);
  QString DateToOle(const Expr& scope, const QString& date);
  QString TextDateSql(const Expr& scope, const QString& text);
  QString ValSql(const Expr& scope, const QString& text);
  QString Ordered(const char* aggregate, const Expr& call);
  // Call by family of functions, each handing what is not its own to the next.
  QString AggregateCall(const Expr& e, const FunctionInfo& f);
  QString ConversionCall(const Expr& e, const FunctionInfo& f);
  QString TextCall(const Expr& e, const FunctionInfo& f);
  QString NumberCall(const Expr& e, const FunctionInfo& f);
  QString DateFunction(const Expr& e, Function f);
  QString DateArithmetic(const Expr& e, Function f);
  QString Format(const Expr& e);
  QString NumberPatternFormat(const Expr& x, const QString& pattern);
  QString DatePatternFormat(const Expr& x, const QString& pattern);
  QStringList DatePatternPieces(const QString& d, const QString& p);
};

/// `name` as PostgreSQL stores a name written without quotes: ASCII letters in lower case,
/// everything else (Chinese characters included) as it is.
QString FoldName(QStringView name);

}  // namespace tarvel::db::sql
