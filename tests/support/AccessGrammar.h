// A seeded grammar of Access SQL over the demo database: expressions of every type Access tells
// apart, built from weighted tables of productions (literals at their edges, the demo's columns,
// every function of the expression language, the operators), and the statements Access queries
// are made of (scalar selects, filtered and sorted rows, groups with HAVING, totals, unions,
// subqueries, typed PARAMETERS). A statement is kept as a tree, so one that misbehaves can be cut
// down to the smallest that still does. Needs nothing but Qt Core: a fuzz target can build it too.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace tarvel::test {

/// The types the grammar builds expressions of: Access's numbers (whole, fractional, Currency),
/// texts, dates and Yes/No.
enum class Kind { Number, Text, Date, YesNo };

/// A generated piece of Access SQL: a form whose holes $1 … $9 take its parts' texts
/// ("Left($1, $2)"), or a leaf without holes ("[QTY]", "'it''s'", "#1997-01-02#").
struct Piece {
  QString form;
  std::vector<Piece> parts;
  Kind kind = Kind::Number;
  /// A constant argument from one of the grammar's tables (a pattern, an interval): it stays as
  /// it is when a statement is cut down.
  bool fixed = false;
  QString Text() const;
};

/// One SELECT of a statement: its output columns are named c1, c2, … in order.
struct GeneratedSelect {
  bool distinct = false;
  QString top;  ///< "5", "10 PERCENT", or empty
  std::vector<Piece> columns;
  int source = -1;        ///< which of the grammar's sources FROM reads; -1: no FROM
  std::vector<int> rows;  ///< a source of literal rows: those of its rows it has
  std::optional<Piece> where;
  std::vector<Piece> groupBy;
  std::optional<Piece> having;
};

struct GeneratedStatement {
  struct Parameter {
    QString name;   ///< as the statement writes it, without brackets
    QString type;   ///< as PARAMETERS declares it ("Long", "DateTime", "Text (255)")
    QString value;  ///< the text a user gives for it (tarvel-cli query --param)
  };
  struct OrderKey {
    int column;  ///< 0-based, of the output columns
    bool descending = false;
  };
  std::vector<Parameter> parameters;
  /// Two or more: a union of them.
  std::vector<GeneratedSelect> selects;
  bool unionAll = false;
  std::vector<OrderKey> orderBy;

  /// The Access SQL text.
  QString Sql() const;
  /// The output columns ORDER BY sorts on, in its order; rows that tie on them (Jet compares
  /// texts without regard to case) come in either order.
  std::vector<int> OrderColumns() const;
  /// Statements one step smaller: a clause, column, union member or sort key dropped, or one
  /// expression replaced by one of its parts or by a plain literal of its type. Biggest cuts
  /// first.
  std::vector<GeneratedStatement> Smaller() const;
};

/// The grammar, seeded: the same seed gives the same statements, on every machine.
class AccessGrammar {
 public:
  explicit AccessGrammar(std::uint64_t seed);
  GeneratedStatement Next();

  /// A column of a source: its name as the statement writes it, and its type.
  struct Column {
    QString name;
    Kind kind;
  };

 private:
  struct Scope;
  enum class Level { Row, Group };

  std::uint64_t Random();
  int Below(int n);
  bool Chance(int percent);

  Piece Expression(Kind kind, const Scope& scope, Level level, int depth);
  Piece Leaf(Kind kind, const Scope& scope, Level level);
  Piece Slot(char slot, const Scope& scope, Level level, int depth);
  Kind AnyKind();

  int AnySource();
  GeneratedSelect From(int sourceIndex, Scope& scope);
  GeneratedSelect Scalar(std::vector<Kind> kinds, Scope& scope);
  GeneratedSelect Rows(const std::vector<Kind>& kinds, Scope& scope, int sourceIndex);
  GeneratedSelect Grouped(Scope& scope, bool withKeys);
  void Declare(GeneratedStatement& statement, Scope& scope);
  void Sort(GeneratedStatement& statement);

  std::uint64_t state_;
};

}  // namespace tarvel::test
