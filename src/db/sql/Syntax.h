// The syntax tree of an Access SQL statement: what the parser builds, the binder annotates and each
// engine's generator writes out. Plain data; nodes own their children.
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "db/sql/SqlType.h"

namespace tarvel::db::sql {

struct Expr;
struct Query;
struct Select;
using ExprPtr = std::unique_ptr<Expr>;
using QueryPtr = std::unique_ptr<Query>;

/// Which wildcards Like reads: Access's own (*, ?, #, [a-z], [!a-z]), as stored queries and the
/// query designer write them, or ANSI-92's (%, _), which the program's statements use as ADO sends
/// them.
enum class Wildcards { Access, Ansi };

enum class Op {
  // unary
  Negate,
  Plus,
  Not,
  // arithmetic, in Access's order of precedence
  Power,
  Multiply,
  Divide,
  IntDivide,
  Mod,
  Add,
  Subtract,
  Concat,
  // comparison
  Equal,
  NotEqual,
  Less,
  LessEqual,
  Greater,
  GreaterEqual,
  // logical
  And,
  Or,
  Xor,
  Eqv,
  Imp,
};

/// What a name stands for once the binder has looked it up.
enum class NameRole {
  Unresolved,  ///< not looked up (no catalog knows the source), written as it stands
  Column,      ///< a column of a source of this select or of an enclosing one
  Alias,      ///< an output column of this select, by its alias ("SELECT a*2 AS b … WHERE b > 1")
  Parameter,  ///< neither: a parameter whose value the caller gives
};

struct Expr {
  enum class Kind {
    Null,
    Number,    ///< `text` holds the literal as written (digits, point, exponent)
    Text,      ///< `text` holds the value
    Date,      ///< `text` holds the value as "YYYY-MM-DD HH:MM:SS"
    Boolean,   ///< True/False/Yes/No/On/Off: `number` is -1 or 0
    Name,      ///< `parts`: [table,] column, or the parts of a parameter ([Forms]![F]![C])
    Marker,    ///< a "?" placeholder: `number` is its position, from 1
    Star,      ///< "*" in Count(*)
    Unary,     ///< op, args[0]
    Binary,    ///< op, args[0], args[1]
    Between,   ///< args[0] Between args[1] And args[2]; `negated` for Not Between
    In,        ///< args[0] In (args[1..]) or In (query); `negated`
    Like,      ///< args[0] Like args[1]; `negated`
    IsNull,    ///< args[0] Is Null; `negated` for Is Not Null
    Exists,    ///< Exists (query)
    Subquery,  ///< (query) as a value
    Call,      ///< `text` is the function's name as written, args its arguments
  };

  Kind kind = Kind::Null;
  Op op = Op::Add;
  bool negated = false;
  /// Like: the wildcards of its pattern.
  Wildcards wildcards = Wildcards::Ansi;
  /// Call: Count(DISTINCT x) and the like (not Access SQL; the engines' own, for tools).
  bool distinct = false;
  QString text;
  double number = 0;
  QStringList parts;
  /// Between the parts of a name: '.' or '!' (one fewer than parts).
  QString separators;
  std::vector<ExprPtr> args;
  QueryPtr query;
  /// Where in the statement's text the node starts (for messages).
  qsizetype position = 0;

  // Filled in by the binder.
  SqlType type = SqlType::Unknown;
  NameRole role = NameRole::Unresolved;
  /// A column: the key (alias or name) of the source it belongs to, as the generated text names it.
  QString source;
  /// An alias: the output expression it stands for (owned by the select item).
  const Expr* aliased = nullptr;
  /// A parameter: its name in canonical form (BindingName).
  QString parameter;

  Expr() = default;
  Expr(const Expr&) = delete;
  Expr& operator=(const Expr&) = delete;
  /// A chain such as "1+1+…" is a tree as deep as it is long: it is taken apart without recursion.
  ~Expr();

  /// Nodes come and go by the hundred for each statement: freed nodes are kept per thread and
  /// handed out again, so parsing does not spend its time in the allocator.
  static void* operator new(std::size_t size);
  static void operator delete(void* node, std::size_t size) noexcept;

  bool IsLiteral() const {
    return kind == Kind::Null || kind == Kind::Number || kind == Kind::Text || kind == Kind::Date ||
           kind == Kind::Boolean;
  }
  ExprPtr Clone() const;
};

struct SelectItem {
  ExprPtr expr;   ///< null for "*" or "t.*"
  QString star;   ///< for "t.*": t; empty for "*" and for expressions
  QString alias;  ///< as written after AS, or empty
  // Filled in by the binder: the name the output column carries.
  QString name;
};

enum class JoinKind { Inner, Left, Right };

/// One item of FROM: a table or query by name, a derived table, or a join of two items.
struct Source {
  enum class Kind { Table, Derived, Join };
  Kind kind = Kind::Table;
  QString name;    ///< Table: the table or stored query as written (without brackets)
  QString alias;   ///< Table, Derived: AS …
  QueryPtr query;  ///< Derived
  std::unique_ptr<Source> left, right;
  JoinKind join = JoinKind::Inner;
  ExprPtr on;

  // Filled in by the binder.
  /// The name this source goes by in the statement: its alias, else its name.
  QString Key() const { return alias.isEmpty() ? name : alias; }
  /// Its columns and their types, when known, and their index by name.
  std::vector<ColumnShape> columns;
  std::shared_ptr<const ColumnIndex> index;
  bool shapeKnown = false;
  /// A base table whose rows the engine identifies (rowid, ctid).
  bool hasRowIdentity = false;
  /// A stored query the binder put in place of the name (a parameter or crosstab query).
  QueryPtr inlined;
};

/// One output column of a select: a select item, or one column that a "*" item stands for.
struct OutputColumn {
  QString name;
  SqlType type = SqlType::Unknown;
  const SelectItem* item = nullptr;
  /// For a column of "*" or "t.*": its source and the column's name there.
  const Source* source = nullptr;
  QString column;
};

struct OrderItem {
  ExprPtr expr;
  bool descending = false;
  /// In a union's ORDER BY, filled in by the binder: the output column it names, from 1 (0: none).
  int position = 0;
};

struct Top {
  qint64 count = 0;
  bool percent = false;
};

struct Select {
  bool distinct = false;
  bool distinctRow = false;
  std::optional<Top> top;
  std::vector<SelectItem> items;
  std::vector<std::unique_ptr<Source>> from;
  ExprPtr where;
  std::vector<ExprPtr> groupBy;
  ExprPtr having;
  /// Only for a select that stands alone; a union's ORDER BY is the query's.
  std::vector<OrderItem> orderBy;

  // Filled in by the binder.
  /// The output columns, "*" and "t.*" spelt out where the sources' columns are known.
  std::vector<OutputColumn> outputs;
  /// Whether every "*" could be spelt out (the sources' columns are all known).
  bool outputsKnown = true;
  /// Whether "*" must be written out column by column: two output columns share a name, which
  /// Access tells apart as "Table.column".
  bool expandStars = false;
  /// DISTINCTROW over a join whose output takes fields from some of its tables only: those
  /// tables, whose records the output rows stand for. Empty when DISTINCTROW changes nothing.
  std::vector<const Source*> distinctRowSources;
  /// Whether the select has aggregates or GROUP BY.
  bool aggregate = false;
};

/// TRANSFORM value SELECT … PIVOT pivot [IN (…)].
struct Crosstab {
  ExprPtr value;
  QString valueAlias;
  ExprPtr pivot;
  std::vector<ExprPtr> in;
  // Filled in by the binder: the pivot's column values, as literals, in column order.
  std::vector<ExprPtr> columns;
  QStringList columnNames;
};

/// A select, a union of selects, or a crosstab.
struct Query {
  std::vector<std::unique_ptr<Select>> members;
  /// unionAll[i]: whether members i and i+1 are joined by UNION ALL.
  std::vector<bool> unionAll;
  /// The ORDER BY of a union (after its last member).
  std::vector<OrderItem> orderBy;
  std::unique_ptr<Crosstab> crosstab;

  // Filled in by the binder: the output columns' names and types.
  std::vector<ColumnShape> columns;
};

/// PARAMETERS name type, …
struct DeclaredParameter {
  QString name;  ///< canonical (BindingName)
  SqlType type = SqlType::Unknown;
};

struct Assignment {
  ExprPtr target;  ///< a Name
  ExprPtr value;
};

struct Statement {
  enum class Kind { Query, Insert, Update, Delete };
  Kind kind = Kind::Query;
  std::vector<DeclaredParameter> parameters;
  QueryPtr query;  ///< Query; Insert … SELECT
  bool ownerAccess = false;
  // Insert, Update, Delete
  QString table;
  QStringList columns;                       ///< Insert
  std::vector<std::vector<ExprPtr>> values;  ///< Insert … VALUES (…)
  bool defaultValues = false;                ///< Insert … DEFAULT VALUES
  std::vector<Assignment> assignments;       ///< Update
  ExprPtr where;                             ///< Update, Delete
  /// The number of "?" markers.
  int markers = 0;
};

/// The tables and queries a statement reads by name, anywhere in it (joins, derived tables,
/// subqueries), each once, in the order they first appear.
QStringList SourceNames(const Statement& statement);

/// A parameter's name the way the caller gives its value: the parts as written without brackets,
/// joined by their separators ("Forms!Orders!OrderID", "Beginning Date"), compared without regard
/// to case.
QString BindingName(const QStringList& parts, const QString& separators);

}  // namespace tarvel::db::sql
