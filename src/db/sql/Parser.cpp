#include "db/sql/Parser.h"

#include <QDate>
#include <QRegularExpression>
#include <QTime>
#include <string>

#include "db/sql/Lexer.h"
#include "db/sql/SqlError.h"

namespace tarvel::db::sql {
namespace {

// Words that end an expression or a list where an alias could otherwise stand.
bool IsClauseWord(const Token& t) {
  static const QLatin1StringView kWords[] = {
      QLatin1StringView("select"),    QLatin1StringView("from"),      QLatin1StringView("where"),
      QLatin1StringView("group"),     QLatin1StringView("by"),        QLatin1StringView("having"),
      QLatin1StringView("order"),     QLatin1StringView("union"),     QLatin1StringView("into"),
      QLatin1StringView("on"),        QLatin1StringView("inner"),     QLatin1StringView("left"),
      QLatin1StringView("right"),     QLatin1StringView("outer"),     QLatin1StringView("join"),
      QLatin1StringView("pivot"),     QLatin1StringView("with"),      QLatin1StringView("in"),
      QLatin1StringView("as"),        QLatin1StringView("and"),       QLatin1StringView("or"),
      QLatin1StringView("not"),       QLatin1StringView("values"),    QLatin1StringView("set"),
      QLatin1StringView("asc"),       QLatin1StringView("desc"),      QLatin1StringView("xor"),
      QLatin1StringView("eqv"),       QLatin1StringView("imp"),       QLatin1StringView("full"),
      QLatin1StringView("transform"), QLatin1StringView("parameters")};
  if (t.kind != TokenKind::Word || t.text.size() > 10 || t.text.size() < 2) return false;
  for (const QLatin1StringView w : kWords) {
    if (w.size() == t.text.size() && t.text.compare(w, Qt::CaseInsensitive) == 0) return true;
  }
  return false;
}

SqlType DeclaredType(QStringView name) {
  static const struct {
    const char* name;
    SqlType type;
  } kTypes[] = {
      {"bit", SqlType::Boolean},       {"yesno", SqlType::Boolean},
      {"logical", SqlType::Boolean},   {"byte", SqlType::Byte},
      {"short", SqlType::Integer},     {"smallint", SqlType::Integer},
      {"integer", SqlType::Long},      {"long", SqlType::Long},
      {"int", SqlType::Long},          {"counter", SqlType::Long},
      {"currency", SqlType::Currency}, {"money", SqlType::Currency},
      {"decimal", SqlType::Decimal},   {"numeric", SqlType::Decimal},
      {"ieeesingle", SqlType::Single}, {"single", SqlType::Single},
      {"real", SqlType::Single},       {"ieeedouble", SqlType::Double},
      {"double", SqlType::Double},     {"float", SqlType::Double},
      {"datetime", SqlType::Date},     {"date", SqlType::Date},
      {"time", SqlType::Date},         {"text", SqlType::Text},
      {"char", SqlType::Text},         {"varchar", SqlType::Text},
      {"memo", SqlType::Text},         {"longtext", SqlType::Text},
      {"string", SqlType::Text},       {"guid", SqlType::Text},
      {"binary", SqlType::Binary},     {"longbinary", SqlType::Binary},
      {"varbinary", SqlType::Binary},  {"value", SqlType::Unknown},
  };
  for (const auto& t : kTypes)
    if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0) return t.type;
  return SqlType::Unknown;
}

class Parser {
 public:
  Parser(const QString& sql, ParseOptions options)
      : sql_(sql), options_(options), tokens_(Tokenize(sql)) {}

  Statement ParseStatement() {
    Statement statement;
    if (Peek().IsWord(u"parameters")) {
      Next();
      ParseParameters(statement);
    }
    if (Peek().IsWord(u"insert")) {
      ParseInsert(statement);
    } else if (Peek().IsWord(u"update")) {
      ParseUpdate(statement);
    } else if (Peek().IsWord(u"delete")) {
      ParseDelete(statement);
    } else {
      statement.kind = Statement::Kind::Query;
      statement.query = ParseQuery(true);
    }
    if (Peek().IsWord(u"with")) {
      Next();
      Expect(u"owneraccess");
      Expect(u"option");
      statement.ownerAccess = true;
    }
    while (Peek().IsSymbol(u";"))
      Next();
    if (Peek().kind != TokenKind::End)
      Fail(QStringLiteral("陳述式在此應已結束（一段文字只能有一個陳述式）"));
    statement.markers = markers_;
    CheckDepth(statement);
    return statement;
  }

  // Chains of operators ("1+1+…", "a And b And …") are read without going deeper, but make trees
  // as deep as they are long, which the binder and the generators walk: measured here without
  // recursion.
  void CheckDepth(const Statement& statement) const {
    // Expressions and the queries inside them, each with how deep it stands.
    std::vector<std::pair<const Expr*, int>> pending;
    std::vector<std::pair<const Query*, int>> queries;
    const auto add = [&](const Expr* e, int depth) {
      if (e) pending.emplace_back(e, depth);
    };
    if (statement.query) queries.emplace_back(statement.query.get(), 0);
    for (const auto& row : statement.values)
      for (const auto& e : row)
        add(e.get(), 1);
    for (const Assignment& a : statement.assignments)
      add(a.value.get(), 1);
    add(statement.where.get(), 1);
    while (!pending.empty() || !queries.empty()) {
      if (!queries.empty()) {
        const auto [q, base] = queries.back();
        queries.pop_back();
        const int depth = base + 1;
        for (const auto& member : q->members) {
          for (const SelectItem& item : member->items)
            add(item.expr.get(), depth);
          add(member->where.get(), depth);
          add(member->having.get(), depth);
          for (const auto& g : member->groupBy)
            add(g.get(), depth);
          for (const OrderItem& o : member->orderBy)
            add(o.expr.get(), depth);
          std::vector<const Source*> sources;
          for (const auto& source : member->from)
            sources.push_back(source.get());
          while (!sources.empty()) {
            const Source* source = sources.back();
            sources.pop_back();
            if (source->query) queries.emplace_back(source->query.get(), depth);
            if (source->left) sources.push_back(source->left.get());
            if (source->right) sources.push_back(source->right.get());
            add(source->on.get(), depth);
          }
        }
        for (const OrderItem& o : q->orderBy)
          add(o.expr.get(), depth);
        if (q->crosstab) {
          add(q->crosstab->value.get(), depth);
          add(q->crosstab->pivot.get(), depth);
        }
        continue;
      }
      const auto [e, depth] = pending.back();
      pending.pop_back();
      if (depth > kMaxNesting) TooComplex();
      for (const auto& arg : e->args)
        add(arg.get(), depth + 1);
      if (e->query) queries.emplace_back(e->query.get(), depth);
    }
  }

 private:
  const Token& Peek(size_t ahead = 0) const {
    const size_t at = std::min(next_ + ahead, tokens_.size() - 1);
    return tokens_[at];
  }
  const Token& Next() {
    const Token& t = tokens_[next_];
    if (next_ + 1 < tokens_.size()) ++next_;
    return t;
  }
  bool Accept(QStringView word) {
    if (!Peek().IsWord(word)) return false;
    Next();
    return true;
  }
  bool AcceptSymbol(QStringView symbol) {
    if (!Peek().IsSymbol(symbol)) return false;
    Next();
    return true;
  }
  void Expect(QStringView word) {
    if (!Accept(word)) Fail(QStringLiteral("預期 %1").arg(word.toString().toUpper()));
  }
  void ExpectSymbol(QStringView symbol) {
    if (!AcceptSymbol(symbol)) Fail(QStringLiteral("預期「%1」").arg(symbol));
  }
  [[noreturn]] void Fail(const QString& what) const {
    const Token& t = Peek();
    const QString near = t.kind == TokenKind::End ? QStringLiteral("結尾")
                                                  : QStringLiteral("「%1」").arg(t.text.left(30));
    throw SqlError(QStringLiteral("SQL 語法錯誤：第 %1 個字元（%2）附近，%3。")
                       .arg(t.position + 1)
                       .arg(near, what),
                   sql_);
  }

  // "Name", "[A name]", "[Forms]![Orders]![OrderID]": the parts and their separators.
  bool IsNameToken(const Token& t) const {
    return t.kind == TokenKind::Name || (t.kind == TokenKind::Word && !IsClauseWord(t));
  }
  QString ParseSimpleName() {
    const Token& t = Peek();
    if (t.kind != TokenKind::Name && t.kind != TokenKind::Word) Fail(QStringLiteral("預期名稱"));
    return Next().Value();
  }

  void ParseParameters(Statement& statement) {
    for (;;) {
      // Everything up to the next "," or ";" but the last word (the type, maybe with a size) is
      // the name: "[Forms]![F]![C] DateTime", "[Beginning Date] DateTime", "User Name Text".
      std::vector<const Token*> tokens;
      while (!Peek().IsSymbol(u",") && !Peek().IsSymbol(u";") && Peek().kind != TokenKind::End)
        tokens.push_back(&Next());
      if (!tokens.empty() && tokens.back()->IsSymbol(u")")) {
        // Text (255)
        while (!tokens.empty() && !tokens.back()->IsSymbol(u"("))
          tokens.pop_back();
        if (!tokens.empty()) tokens.pop_back();
      }
      if (tokens.size() < 2 || tokens.back()->kind != TokenKind::Word)
        Fail(QStringLiteral("PARAMETERS 的每一項都要有名稱與型別"));
      DeclaredParameter parameter;
      parameter.type = DeclaredType(tokens.back()->text);
      tokens.pop_back();
      QStringList parts;
      QString separators;
      QString word;
      for (const Token* t : tokens) {
        if (t->IsSymbol(u"!") || t->IsSymbol(u".")) {
          parts << word;
          word.clear();
          separators += t->text;
        } else {
          if (!word.isEmpty()) word += u' ';
          word += t->text;
        }
      }
      parts << word;
      parameter.name = BindingName(parts, separators);
      statement.parameters.push_back(parameter);
      if (AcceptSymbol(u",")) continue;
      ExpectSymbol(u";");
      return;
    }
  }

  void ParseInsert(Statement& statement) {
    Expect(u"insert");
    Expect(u"into");
    statement.kind = Statement::Kind::Insert;
    statement.table = ParseSimpleName();
    if (Peek().IsSymbol(u"(") && !Peek(1).IsWord(u"select")) {
      Next();
      do {
        statement.columns << ParseSimpleName();
      } while (AcceptSymbol(u","));
      ExpectSymbol(u")");
    }
    if (Peek().IsWord(u"default") && Peek(1).IsWord(u"values")) {
      Next();
      Next();
      statement.defaultValues = true;
    } else if (Accept(u"values")) {
      do {
        ExpectSymbol(u"(");
        std::vector<ExprPtr> row;
        do {
          row.push_back(ParseExpression());
        } while (AcceptSymbol(u","));
        ExpectSymbol(u")");
        statement.values.push_back(std::move(row));
      } while (AcceptSymbol(u","));
    } else {
      statement.query = ParseQuery(true);
    }
  }

  void ParseUpdate(Statement& statement) {
    Expect(u"update");
    statement.kind = Statement::Kind::Update;
    statement.table = ParseSimpleName();
    Expect(u"set");
    do {
      Assignment a;
      a.target = ParseName();
      ExpectSymbol(u"=");
      a.value = ParseExpression();
      statement.assignments.push_back(std::move(a));
    } while (AcceptSymbol(u","));
    if (Accept(u"where")) statement.where = ParseExpression();
  }

  void ParseDelete(Statement& statement) {
    Expect(u"delete");
    statement.kind = Statement::Kind::Delete;
    // DELETE *, DELETE t.*, DELETE t.a, t.b FROM t: the columns say nothing, the rows go.
    while (!Peek().IsWord(u"from") && Peek().kind != TokenKind::End)
      Next();
    Expect(u"from");
    statement.table = ParseSimpleName();
    if (Accept(u"where")) statement.where = ParseExpression();
  }

  // A select or union, with TRANSFORM … PIVOT around it when `outermost`.
  QueryPtr ParseQuery(bool outermost) {
    const Nest nest(*this);
    auto query = std::make_unique<Query>();
    if (Peek().IsWord(u"transform")) {
      if (!outermost) Fail(QStringLiteral("交叉資料表查詢不能當作子查詢"));
      Next();
      query->crosstab = std::make_unique<Crosstab>();
      query->crosstab->value = ParseExpression();
      if (Accept(u"as")) query->crosstab->valueAlias = ParseSimpleName();
    }
    query->members.push_back(ParseMember());
    while (Peek().IsWord(u"union")) {
      Next();
      query->unionAll.push_back(Accept(u"all"));
      query->members.push_back(ParseMember());
    }
    if (Peek().IsWord(u"order")) {
      std::vector<OrderItem> order = ParseOrderBy();
      if (query->members.size() == 1)
        query->members.front()->orderBy = std::move(order);
      else
        query->orderBy = std::move(order);
    }
    if (query->crosstab) {
      if (query->members.size() != 1) Fail(QStringLiteral("交叉資料表查詢不能有 UNION"));
      Expect(u"pivot");
      // Not a full expression: "PIVOT x IN (…)" lists the columns, it is no comparison.
      query->crosstab->pivot = ParseConcat();
      if (Accept(u"in")) {
        ExpectSymbol(u"(");
        do {
          query->crosstab->in.push_back(ParseExpression());
        } while (AcceptSymbol(u","));
        ExpectSymbol(u")");
      }
    }
    return query;
  }

  std::vector<OrderItem> ParseOrderBy() {
    Expect(u"order");
    Expect(u"by");
    std::vector<OrderItem> items;
    do {
      OrderItem item;
      item.expr = ParseExpression();
      if (Accept(u"desc"))
        item.descending = true;
      else
        Accept(u"asc");
      items.push_back(std::move(item));
    } while (AcceptSymbol(u","));
    return items;
  }

  // One member of a union: SELECT …, TABLE name, or a parenthesised query.
  std::unique_ptr<Select> ParseMember() {
    if (Peek().IsSymbol(u"(")) {
      const qsizetype position = Peek().position;
      Next();
      QueryPtr inner = ParseQuery(false);
      ExpectSymbol(u")");
      if (inner->members.size() == 1 && inner->orderBy.empty() &&
          (inner->members.front()->orderBy.empty() || inner->members.front()->top))
        return std::move(inner->members.front());
      return SelectAllFrom(std::move(inner), position);
    }
    if (Accept(u"table")) {
      auto select = std::make_unique<Select>();
      select->items.emplace_back();
      auto source = std::make_unique<Source>();
      source->name = ParseSimpleName();
      select->from.push_back(std::move(source));
      return select;
    }
    return ParseSelect();
  }

  static std::unique_ptr<Select> SelectAllFrom(QueryPtr query, qsizetype) {
    auto select = std::make_unique<Select>();
    select->items.emplace_back();
    auto source = std::make_unique<Source>();
    source->kind = Source::Kind::Derived;
    source->query = std::move(query);
    select->from.push_back(std::move(source));
    return select;
  }

  std::unique_ptr<Select> ParseSelect() {
    Expect(u"select");
    auto select = std::make_unique<Select>();
    if (Accept(u"distinct")) {
      select->distinct = true;
    } else if (Accept(u"distinctrow")) {
      select->distinctRow = true;
    } else {
      Accept(u"all");
    }
    if (Peek().IsWord(u"top") && Peek(1).kind == TokenKind::Number) {
      Next();
      const Token& count = Next();
      bool ok = false;
      Top top;
      top.count = count.text.toLongLong(&ok);
      if (!ok || top.count <= 0) Fail(QStringLiteral("TOP 之後要有正整數"));
      top.percent = Accept(u"percent");
      if (top.percent && top.count > 100) Fail(QStringLiteral("TOP … PERCENT 不能超過 100"));
      select->top = top;
    }
    do {
      select->items.push_back(ParseSelectItem());
    } while (AcceptSymbol(u","));
    if (Peek().IsWord(u"into"))
      Fail(QStringLiteral("SELECT … INTO 會建立資料表，本程式只讀取資料"));
    if (Accept(u"from")) {
      do {
        select->from.push_back(ParseJoinChain());
      } while (AcceptSymbol(u","));
    }
    if (Accept(u"where")) select->where = ParseExpression();
    if (Peek().IsWord(u"group")) {
      Next();
      Expect(u"by");
      do {
        select->groupBy.push_back(ParseExpression());
      } while (AcceptSymbol(u","));
    }
    if (Accept(u"having")) select->having = ParseExpression();
    return select;
  }

  SelectItem ParseSelectItem() {
    SelectItem item;
    if (AcceptSymbol(u"*")) return item;
    // t.*, [Order Details].*
    if (IsNameToken(Peek()) && Peek(1).IsSymbol(u".") && Peek(2).IsSymbol(u"*")) {
      item.star = Next().Value();
      Next();
      Next();
      return item;
    }
    item.expr = ParseExpression();
    if (Accept(u"as")) {
      item.alias = ParseSimpleName();
    } else if (IsNameToken(Peek())) {
      item.alias = Next().Value();
    }
    return item;
  }

  std::unique_ptr<Source> ParseJoinChain() {
    std::unique_ptr<Source> left = ParseSourcePrimary();
    for (;;) {
      JoinKind kind = JoinKind::Inner;
      if (Peek().IsWord(u"inner") && Peek(1).IsWord(u"join")) {
        Next();
      } else if ((Peek().IsWord(u"left") || Peek().IsWord(u"right")) &&
                 (Peek(1).IsWord(u"join") || Peek(1).IsWord(u"outer"))) {
        kind = Next().IsWord(u"left") ? JoinKind::Left : JoinKind::Right;
        Accept(u"outer");
      } else if (!Peek().IsWord(u"join")) {
        return left;
      }
      Expect(u"join");
      auto join = std::make_unique<Source>();
      join->kind = Source::Kind::Join;
      join->join = kind;
      join->left = std::move(left);
      join->right = ParseSourcePrimary();
      Expect(u"on");
      join->on = ParseExpression();
      left = std::move(join);
    }
  }

  void ParseSourceAlias(Source& source) {
    if (Accept(u"as")) {
      source.alias = ParseSimpleName();
    } else if (IsNameToken(Peek())) {
      source.alias = Next().Value();
    }
  }

  std::unique_ptr<Source> ParseSourcePrimary() {
    if (Peek().IsSymbol(u"(")) {
      Next();
      std::unique_ptr<Source> source;
      if (Peek().IsWord(u"select") || Peek().IsWord(u"table") ||
          (Peek().IsSymbol(u"(") && StartsQuery())) {
        source = std::make_unique<Source>();
        source->kind = Source::Kind::Derived;
        source->query = ParseQuery(false);
        ExpectSymbol(u")");
        ParseSourceAlias(*source);
        return source;
      }
      source = ParseJoinChain();
      ExpectSymbol(u")");
      return source;
    }
    const Token& t = Peek();
    // Access keeps a derived table as "[SELECT …]. AS name".
    if (t.kind == TokenKind::Name && Peek(1).IsSymbol(u".") &&
        t.text.trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive)) {
      const QString inner = Next().Value();
      Next();
      auto source = std::make_unique<Source>();
      source->kind = Source::Kind::Derived;
      Parser nested(inner, options_);
      source->query = nested.ParseQuery(false);
      if (nested.Peek().IsSymbol(u";")) nested.Next();
      if (nested.Peek().kind != TokenKind::End) nested.Fail(QStringLiteral("子查詢在此應已結束"));
      ParseSourceAlias(*source);
      return source;
    }
    if (!IsNameToken(t)) Fail(QStringLiteral("預期資料表或查詢的名稱"));
    auto source = std::make_unique<Source>();
    source->name = Next().Value();
    if (Peek().IsWord(u"in") && Peek(1).kind == TokenKind::Text)
      Fail(QStringLiteral("不支援讀取其他資料庫檔案的資料表（IN '…'）"));
    ParseSourceAlias(*source);
    return source;
  }

  // Whether the tokens after one or more "(" start a query.
  bool StartsQuery() const {
    size_t i = 0;
    while (Peek(i).IsSymbol(u"("))
      ++i;
    return Peek(i).IsWord(u"select");
  }

  // Expressions, from the loosest operator to the tightest.
  ExprPtr ParseExpression() {
    const Nest nest(*this);
    return ParseBinary(0);
  }

  // One level deeper into the statement: refused past kMaxNesting, before the stack runs out.
  struct Nest {
    explicit Nest(Parser& p) : parser(p) {
      if (++parser.nesting_ > kMaxNesting) parser.TooComplex();
    }
    ~Nest() { --parser.nesting_; }
    Parser& parser;
  };

  [[noreturn]] void TooComplex() const {
    throw QueryTooComplex(
        QStringLiteral("查詢太複雜（運算式或子查詢的層次超過 %1 層）。").arg(kMaxNesting), sql_);
  }

  struct Level {
    const char16_t* words[2];
    Op ops[2];
  };

  ExprPtr MakeBinary(Op op, ExprPtr a, ExprPtr b, qsizetype position) {
    auto e = std::make_unique<Expr>();
    e->kind = Expr::Kind::Binary;
    e->op = op;
    e->position = position;
    e->args.reserve(2);
    e->args.push_back(std::move(a));
    e->args.push_back(std::move(b));
    return e;
  }

  // Imp, Eqv, Xor, Or, And: each looser than the next.
  ExprPtr ParseBinary(int level) {
    static const struct {
      QStringView word;
      Op op;
    } kLevels[] = {{u"imp", Op::Imp},
                   {u"eqv", Op::Eqv},
                   {u"xor", Op::Xor},
                   {u"or", Op::Or},
                   {u"and", Op::And}};
    if (level >= 5) return ParseNot();
    ExprPtr left = ParseBinary(level + 1);
    while (Peek().IsWord(kLevels[level].word)) {
      const qsizetype position = Next().position;
      left = MakeBinary(kLevels[level].op, std::move(left), ParseBinary(level + 1), position);
    }
    return left;
  }

  ExprPtr ParseNot() {
    if (Peek().IsWord(u"not")) {
      const Nest nest(*this);
      auto e = std::make_unique<Expr>();
      e->position = Next().position;
      e->kind = Expr::Kind::Unary;
      e->op = Op::Not;
      e->args.push_back(ParseNot());
      return e;
    }
    return ParseComparison();
  }

  ExprPtr ParseComparison() {
    ExprPtr left = ParseConcat();
    for (;;) {
      const Token& t = Peek();
      const qsizetype position = t.position;
      static const struct {
        QStringView symbol;
        Op op;
      } kComparisons[] = {{u"=", Op::Equal},        {u"<>", Op::NotEqual},  {u"!=", Op::NotEqual},
                          {u"<", Op::Less},         {u"<=", Op::LessEqual}, {u">", Op::Greater},
                          {u">=", Op::GreaterEqual}};
      bool compared = false;
      for (const auto& c : kComparisons) {
        if (t.IsSymbol(c.symbol)) {
          Next();
          left = MakeBinary(c.op, std::move(left), ParseConcat(), position);
          compared = true;
          break;
        }
      }
      if (compared) continue;
      if (t.IsWord(u"is")) {
        Next();
        auto e = std::make_unique<Expr>();
        e->kind = Expr::Kind::IsNull;
        e->position = position;
        e->negated = Accept(u"not");
        Expect(u"null");
        e->args.push_back(std::move(left));
        left = std::move(e);
        continue;
      }
      bool negated = false;
      if (t.IsWord(u"not") &&
          (Peek(1).IsWord(u"like") || Peek(1).IsWord(u"between") || Peek(1).IsWord(u"in"))) {
        Next();
        negated = true;
      }
      const Token& word = Peek();
      if (word.IsWord(u"like")) {
        Next();
        auto e = std::make_unique<Expr>();
        e->kind = Expr::Kind::Like;
        e->position = position;
        e->negated = negated;
        e->wildcards = options_.wildcards;
        e->args.reserve(2);
        e->args.push_back(std::move(left));
        e->args.push_back(ParseConcat());
        left = std::move(e);
      } else if (word.IsWord(u"between")) {
        Next();
        auto e = std::make_unique<Expr>();
        e->kind = Expr::Kind::Between;
        e->position = position;
        e->negated = negated;
        e->args.reserve(3);
        e->args.push_back(std::move(left));
        e->args.push_back(ParseConcat());
        Expect(u"and");
        e->args.push_back(ParseConcat());
        left = std::move(e);
      } else if (word.IsWord(u"in")) {
        Next();
        auto e = std::make_unique<Expr>();
        e->kind = Expr::Kind::In;
        e->position = position;
        e->negated = negated;
        e->args.push_back(std::move(left));
        ExpectSymbol(u"(");
        if (Peek().IsWord(u"select")) {
          e->query = ParseQuery(false);
        } else if (StartsQuery()) {
          // "In ((SELECT …))" reads a query; "In ((SELECT …), y)" a list that starts with one.
          const size_t at = next_;
          const int markers = markers_;
          try {
            e->query = ParseQuery(false);
            if (!Peek().IsSymbol(u")")) e->query.reset();
          } catch (const SqlError&) {
            e->query.reset();
          }
          if (!e->query) {
            next_ = at;
            markers_ = markers;
          }
        }
        if (!e->query) {
          do {
            e->args.push_back(ParseExpression());
          } while (AcceptSymbol(u","));
        }
        ExpectSymbol(u")");
        left = std::move(e);
      } else {
        if (negated) Fail(QStringLiteral("NOT 之後預期 LIKE、BETWEEN 或 IN"));
        return left;
      }
    }
  }

  ExprPtr ParseConcat() {
    ExprPtr left = ParseAdditive();
    while (Peek().IsSymbol(u"&")) {
      const qsizetype position = Next().position;
      left = MakeBinary(Op::Concat, std::move(left), ParseAdditive(), position);
    }
    return left;
  }

  ExprPtr ParseAdditive() {
    ExprPtr left = ParseMod();
    for (;;) {
      const bool plus = Peek().IsSymbol(u"+");
      if (!plus && !Peek().IsSymbol(u"-")) return left;
      const qsizetype position = Next().position;
      left = MakeBinary(plus ? Op::Add : Op::Subtract, std::move(left), ParseMod(), position);
    }
  }

  ExprPtr ParseMod() {
    ExprPtr left = ParseIntDivide();
    while (Peek().IsWord(u"mod")) {
      const qsizetype position = Next().position;
      left = MakeBinary(Op::Mod, std::move(left), ParseIntDivide(), position);
    }
    return left;
  }

  ExprPtr ParseIntDivide() {
    ExprPtr left = ParseMultiplicative();
    while (Peek().IsSymbol(u"\\")) {
      const qsizetype position = Next().position;
      left = MakeBinary(Op::IntDivide, std::move(left), ParseMultiplicative(), position);
    }
    return left;
  }

  ExprPtr ParseMultiplicative() {
    ExprPtr left = ParseUnary();
    for (;;) {
      const bool times = Peek().IsSymbol(u"*");
      if (!times && !Peek().IsSymbol(u"/")) return left;
      const qsizetype position = Next().position;
      left = MakeBinary(times ? Op::Multiply : Op::Divide, std::move(left), ParseUnary(), position);
    }
  }

  ExprPtr ParseUnary() {
    if (Peek().IsSymbol(u"-") || Peek().IsSymbol(u"+")) {
      const Nest nest(*this);
      auto e = std::make_unique<Expr>();
      e->kind = Expr::Kind::Unary;
      e->op = Peek().IsSymbol(u"-") ? Op::Negate : Op::Plus;
      e->position = Next().position;
      e->args.push_back(ParseUnary());
      return e;
    }
    return ParsePower();
  }

  ExprPtr ParsePower() {
    ExprPtr left = ParsePrimary();
    while (Peek().IsSymbol(u"^")) {
      const qsizetype position = Next().position;
      ExprPtr exponent;
      if (Peek().IsSymbol(u"-") || Peek().IsSymbol(u"+")) {
        exponent = std::make_unique<Expr>();
        exponent->kind = Expr::Kind::Unary;
        exponent->op = Peek().IsSymbol(u"-") ? Op::Negate : Op::Plus;
        exponent->position = Next().position;
        exponent->args.push_back(ParsePrimary());
      } else {
        exponent = ParsePrimary();
      }
      left = MakeBinary(Op::Power, std::move(left), std::move(exponent), position);
    }
    return left;
  }

  ExprPtr ParseName(ExprPtr e = nullptr) {
    if (!e) e = std::make_unique<Expr>();
    e->kind = Expr::Kind::Name;
    e->position = Peek().position;
    e->parts.reserve(2);
    e->parts << ParseSimpleName();
    while ((Peek().IsSymbol(u".") || Peek().IsSymbol(u"!")) &&
           (Peek(1).kind == TokenKind::Name || Peek(1).kind == TokenKind::Word)) {
      e->separators += Next().Value();
      e->parts << Next().Value();
    }
    return e;
  }

  ExprPtr ParsePrimary() {
    const Token& t = Peek();
    auto e = std::make_unique<Expr>();
    e->position = t.position;
    switch (t.kind) {
      case TokenKind::Number: {
        e->kind = Expr::Kind::Number;
        e->text = Next().Value();
        e->number = e->text.toDouble();
        return e;
      }
      case TokenKind::Text:
        e->kind = Expr::Kind::Text;
        e->text = Next().Value();
        return e;
      case TokenKind::Date: {
        e->kind = Expr::Kind::Date;
        e->text = DateLiteralValue(t.Value());
        if (e->text.isEmpty()) Fail(QStringLiteral("#%1# 不是日期").arg(t.text));
        Next();
        return e;
      }
      case TokenKind::Marker:
        Next();
        e->kind = Expr::Kind::Marker;
        e->number = ++markers_;
        return e;
      case TokenKind::Name:
        return ParseName(std::move(e));
      case TokenKind::Symbol:
        if (t.IsSymbol(u"(")) {
          Next();
          if (Peek().IsWord(u"select")) {
            e->kind = Expr::Kind::Subquery;
            e->query = ParseQuery(false);
            ExpectSymbol(u")");
            return e;
          }
          if (StartsQuery()) {
            // "((SELECT …))" or "((SELECT …) UNION …)" is a query in parentheses, but
            // "((SELECT …) + 1)" an expression that starts with one: tried as a query first.
            const size_t at = next_;
            const int markers = markers_;
            try {
              auto query = ParseQuery(false);
              if (Peek().IsSymbol(u")")) {
                Next();
                e->kind = Expr::Kind::Subquery;
                e->query = std::move(query);
                return e;
              }
            } catch (const SqlError&) {
            }
            next_ = at;
            markers_ = markers;
          }
          ExprPtr inner = ParseExpression();
          ExpectSymbol(u")");
          return inner;
        }
        if (t.IsSymbol(u"*")) {
          Next();
          e->kind = Expr::Kind::Star;
          return e;
        }
        break;
      case TokenKind::Word: {
        const bool call = Peek(1).IsSymbol(u"(");
        const bool qualified = Peek(1).IsSymbol(u".") || Peek(1).IsSymbol(u"!");
        if (t.IsWord(u"null") && !call) {
          Next();
          e->kind = Expr::Kind::Null;
          return e;
        }
        if (t.IsWord(u"exists") && call) {
          Next();
          ExpectSymbol(u"(");
          e->kind = Expr::Kind::Exists;
          e->query = ParseQuery(false);
          ExpectSymbol(u")");
          return e;
        }
        if (!call && !qualified) {
          for (const QStringView yes :
               {QStringView(u"true"), QStringView(u"yes"), QStringView(u"on")}) {
            if (t.IsWord(yes)) {
              e->kind = Expr::Kind::Boolean;
              e->text = Next().Value();
              e->number = -1;
              return e;
            }
          }
          for (const QStringView no :
               {QStringView(u"false"), QStringView(u"no"), QStringView(u"off")}) {
            if (t.IsWord(no)) {
              e->kind = Expr::Kind::Boolean;
              e->text = Next().Value();
              e->number = 0;
              return e;
            }
          }
        }
        if (call) {
          e->kind = Expr::Kind::Call;
          e->text = Next().Value();
          Next();
          if (!AcceptSymbol(u")")) {
            // Count(DISTINCT x) is not Access SQL, but tools write it; ALL is harmless.
            if (Accept(u"distinct"))
              e->distinct = true;
            else
              Accept(u"all");
            do {
              e->args.push_back(ParseExpression());
            } while (AcceptSymbol(u","));
            ExpectSymbol(u")");
          }
          return e;
        }
        if (IsClauseWord(t)) break;
        return ParseName(std::move(e));
      }
      case TokenKind::End:
        break;
    }
    Fail(QStringLiteral("預期運算式"));
  }

  const QString& sql_;
  ParseOptions options_;
  std::vector<Token> tokens_;
  size_t next_ = 0;
  int markers_ = 0;
  int nesting_ = 0;
};

}  // namespace

Statement Parse(const QString& sql, const ParseOptions& options) {
  return Parser(sql, options).ParseStatement();
}

QString DateLiteralValue(const QString& inside) {
  static const QRegularExpression shape(
      QStringLiteral("^\\s*(?:(\\d{1,4})([-/.])(\\d{1,2})\\2(\\d{1,4}))?\\s*"
                     "(?:(\\d{1,2}):(\\d{1,2})(?::(\\d{1,2}))?\\s*([AaPp][Mm])?)?\\s*$"));
  const QRegularExpressionMatch m = shape.match(inside);
  if (!m.hasMatch() || inside.trimmed().isEmpty()) return {};
  QDate date(1899, 12, 30);
  if (m.capturedLength(1) > 0) {
    int a = m.captured(1).toInt();
    const int b = m.captured(3).toInt();
    int c = m.captured(4).toInt();
    if (m.capturedLength(1) >= 3) {
      date = QDate(a, b, c);  // year first
    } else {
      // Month first, as Access reads a literal; a two-digit year is 1930 … 2029.
      if (m.capturedLength(4) <= 2) c += c < 30 ? 2000 : 1900;
      date = QDate(c, a, b);
    }
    if (!date.isValid()) return {};
  }
  QTime time(0, 0, 0);
  if (m.capturedLength(5) > 0) {
    int hour = m.captured(5).toInt();
    const QString half = m.captured(8).toLower();
    if (!half.isEmpty()) {
      if (hour < 1 || hour > 12) return {};
      hour = hour % 12 + (half == u"pm" ? 12 : 0);
    }
    time = QTime(hour, m.captured(6).toInt(), m.captured(7).toInt());
    if (!time.isValid()) return {};
  }
  return date.toString(QStringLiteral("yyyy-MM-dd")) + u' ' +
         time.toString(QStringLiteral("HH:mm:ss"));
}

}  // namespace tarvel::db::sql
