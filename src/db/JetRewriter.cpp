#include "db/JetRewriter.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "db/DbError.h"

namespace tarvel::db::detail {
namespace {

enum class Tok { Word, Number, Literal, Space, Open, Close, Semicolon, Slash, Other };

struct Token {
  Tok kind;
  qsizetype begin;
  qsizetype end;
};

bool IsWordStart(QChar c) {
  return c.isLetter() || c == u'_' || c.unicode() > 127;
}
bool IsWordPart(QChar c) {
  return IsWordStart(c) || c.isDigit() || c == u'$';
}

// Skips a quoted run that starts at `i` (opening `open`, closing `close`, a doubled closing
// character standing for itself); returns the index after it, or the end of an unclosed run.
qsizetype SkipQuoted(const QString& s, qsizetype i, QChar close, bool doubled) {
  ++i;
  while (i < s.size()) {
    if (s[i] == close) {
      if (doubled && i + 1 < s.size() && s[i + 1] == close) {
        i += 2;
        continue;
      }
      return i + 1;
    }
    ++i;
  }
  return i;
}

// Cuts the text into the tokens that matter for the rewrites. Literals ('text', [name], "name",
// `name`) and comments are opaque, so nothing inside them is ever rewritten.
std::vector<Token> Scan(const QString& s) {
  std::vector<Token> tokens;
  qsizetype i = 0;
  while (i < s.size()) {
    const qsizetype begin = i;
    const QChar c = s[i];
    Tok kind = Tok::Other;
    if (c.isSpace()) {
      while (i < s.size() && s[i].isSpace())
        ++i;
      kind = Tok::Space;
    } else if (c == u'\'') {
      i = SkipQuoted(s, i, u'\'', true);
      kind = Tok::Literal;
    } else if (c == u'"') {
      i = SkipQuoted(s, i, u'"', true);
      kind = Tok::Literal;
    } else if (c == u'`') {
      i = SkipQuoted(s, i, u'`', true);
      kind = Tok::Literal;
    } else if (c == u'[') {
      i = SkipQuoted(s, i, u']', false);
      kind = Tok::Literal;
    } else if (c == u'-' && i + 1 < s.size() && s[i + 1] == u'-') {
      while (i < s.size() && s[i] != u'\n')
        ++i;
      kind = Tok::Space;
    } else if (c == u'/' && i + 1 < s.size() && s[i + 1] == u'*') {
      // SQLite lets an unclosed comment run to the end, except a bare "/*" at the very end, which
      // it reads as "/" and "*"; such a statement is refused rather than half understood.
      const qsizetype close = s.indexOf(QStringLiteral("*/"), i + 2);
      if (close < 0)
        throw DbError(QStringLiteral("SQL 陳述式的註解沒有結束（/* 之後沒有 */）。"), s);
      i = close + 2;
      kind = Tok::Space;
    } else if (c.isDigit() || (c == u'.' && i + 1 < s.size() && s[i + 1].isDigit())) {
      while (i < s.size() && (s[i].isLetterOrNumber() || s[i] == u'.'))
        ++i;
      kind = Tok::Number;
    } else if (IsWordStart(c)) {
      while (i < s.size() && IsWordPart(s[i]))
        ++i;
      kind = Tok::Word;
    } else {
      ++i;
      kind = c == u'('   ? Tok::Open
             : c == u')' ? Tok::Close
             : c == u';' ? Tok::Semicolon
             : c == u'/' ? Tok::Slash
                         : Tok::Other;
    }
    tokens.push_back({kind, begin, i});
  }
  return tokens;
}

struct Edit {
  qsizetype position;
  qsizetype removed;
  QString inserted;
};

// The words after which a subquery in FROM has ended without a name of its own.
bool EndsFromItem(QStringView word) {
  static const char16_t* const kWords[] = {
      u"where", u"group",   u"order",  u"having", u"union", u"except", u"intersect",
      u"limit", u"on",      u"join",   u"left",   u"right", u"inner",  u"full",
      u"cross", u"natural", u"offset", u"window", u"fetch", u"for",    u"using"};
  return std::any_of(std::begin(kWords), std::end(kWords),
                     [&](const char16_t* w) { return word.compare(w, Qt::CaseInsensitive) == 0; });
}

// "0.00", "#,##0.00", "0": the patterns whose result is a plain number PostgreSQL can compute
// with round(); the number of places after the point.
std::optional<int> NumericPatternPlaces(QStringView pattern) {
  const qsizetype point = pattern.indexOf(u'.');
  const QStringView whole = point < 0 ? pattern : pattern.left(point);
  const QStringView fraction = point < 0 ? QStringView() : pattern.mid(point + 1);
  if (whole.isEmpty() && fraction.isEmpty()) return std::nullopt;
  for (QChar c : whole)
    if (c != u'0' && c != u'#' && c != u',') return std::nullopt;
  for (QChar c : fraction)
    if (c != u'0' && c != u'#') return std::nullopt;
  return static_cast<int>(fraction.size());
}

class Translator {
 public:
  Translator(const QString& jet, Engine engine) : s_(jet), engine_(engine), tokens_(Scan(jet)) {}

  Rewritten Run() {
    const bool pg = engine_ == Engine::Postgres;
    for (size_t i = 0; i < tokens_.size(); ++i) {
      const Token& t = tokens_[i];
      if (t.kind == Tok::Slash) {
        if (pg) {
          TranslateDivision(i);
        } else {
          // A slash right after this one would join the "/" written here into "/*", a comment
          // that hides the rest of the statement: a blank keeps them apart.
          const bool slashFollows = t.end < s_.size() && s_[t.end] == u'/';
          edits_.push_back(
              {t.begin, 1, slashFollows ? QStringLiteral("*1.0/ ") : QStringLiteral("*1.0/")});
        }
      } else if (IsWord(i, u"select")) {
        TranslateTop(i);
      }
      if (!pg) continue;
      if (t.kind == Tok::Word) {
        Spell(Text(i));
        const size_t next = NextSolid(i);
        const bool call = next < tokens_.size() && tokens_[next].kind == Tok::Open;
        if (call && IsWord(i, u"iif")) {
          TranslateIif(i, next);
        } else if (call && IsWord(i, u"format")) {
          TranslateFormat(i, next);
        } else if (IsWord(i, u"like")) {
          EscapeNothing(next);
        } else if (IsWord(i, u"order") && IsWord(next, u"by")) {
          OrderNullsAsJet(next);
        }
      } else if (t.kind == Tok::Literal && (s_[t.begin] == u'[' || s_[t.begin] == u'`')) {
        QStringView inner = Text(i).mid(1);
        if (inner.endsWith(s_[t.begin] == u'[' ? u']' : u'`')) inner.chop(1);
        Spell(inner);
        QString quoted = FoldName(inner);
        quoted.replace(u'"', QStringLiteral("\"\""));
        edits_.push_back({t.begin, t.end - t.begin, u'"' + quoted + u'"'});
      } else if (t.kind == Tok::Other && s_[t.begin] == u'?') {
        edits_.push_back({t.begin, 1, u'$' + QString::number(++parameters_)});
      } else if (t.kind == Tok::Open) {
        NameSubquery(i);
      } else if (t.kind == Tok::Semicolon) {
        // One statement per text, as on SQLite: a value spliced into the text cannot smuggle in
        // a second command. Trailing semicolons are dropped, so the text can be wrapped.
        for (size_t j = i + 1; j < tokens_.size(); ++j) {
          if (tokens_[j].kind != Tok::Space && tokens_[j].kind != Tok::Semicolon)
            throw DbError(QStringLiteral("在 SQL 陳述式結尾之後找到字元。"), s_);
        }
        edits_.push_back({t.begin, 1, {}});
      }
    }
    // Back to front, so the positions of the edits still to apply stay valid. At one position a
    // replacement goes first and insertions follow in the order they were made, each in front of
    // the ones before it.
    std::stable_sort(edits_.begin(), edits_.end(), [](const Edit& a, const Edit& b) {
      if (a.position != b.position) return a.position > b.position;
      return a.removed > 0 && b.removed == 0;
    });
    Rewritten out;
    out.sql = s_;
    for (const Edit& e : edits_)
      out.sql.replace(e.position, e.removed, e.inserted);
    out.parameters = parameters_;
    out.spellings = std::move(spellings_);
    return out;
  }

 private:
  bool IsWord(size_t i, QStringView word) const {
    return i < tokens_.size() && tokens_[i].kind == Tok::Word &&
           Text(i).compare(word, Qt::CaseInsensitive) == 0;
  }
  bool IsChar(size_t i, QChar c) const {
    return i < tokens_.size() && tokens_[i].kind == Tok::Other && s_[tokens_[i].begin] == c;
  }
  QStringView Text(size_t i) const {
    return QStringView(s_).mid(tokens_[i].begin, tokens_[i].end - tokens_[i].begin);
  }
  size_t NextSolid(size_t i) const {
    ++i;
    while (i < tokens_.size() && tokens_[i].kind == Tok::Space)
      ++i;
    return i;
  }
  size_t PreviousSolid(size_t i) const {
    while (i > 0) {
      --i;
      if (tokens_[i].kind != Tok::Space) return i;
    }
    return tokens_.size();
  }
  bool IsComment(size_t i) const {
    return tokens_[i].kind == Tok::Space && !s_[tokens_[i].begin].isSpace();
  }
  bool IsCompoundWord(size_t i) const {
    return IsWord(i, u"union") || IsWord(i, u"except") || IsWord(i, u"intersect");
  }
  // The ")" that closes the "(" at `open`, or tokens_.size().
  size_t Matching(size_t open) const {
    int depth = 0;
    for (size_t i = open; i < tokens_.size(); ++i) {
      if (tokens_[i].kind == Tok::Open) ++depth;
      if (tokens_[i].kind == Tok::Close && --depth == 0) return i;
    }
    return tokens_.size();
  }
  // The commas that separate the arguments of the call whose "(" is at `open`.
  std::vector<size_t> ArgumentCommas(size_t open, size_t close) const {
    std::vector<size_t> commas;
    int depth = 0;
    for (size_t i = open + 1; i < close; ++i) {
      if (tokens_[i].kind == Tok::Open) ++depth;
      if (tokens_[i].kind == Tok::Close) --depth;
      if (depth == 0 && IsChar(i, u',')) commas.push_back(i);
    }
    return commas;
  }
  void Spell(QStringView name) {
    const QString key = FoldName(name);
    if (!spellings_.contains(key)) spellings_.insert(key, name.toString());
  }

  void TranslateTop(size_t select) {
    size_t top = NextSolid(select);
    if (IsWord(top, u"distinct") || IsWord(top, u"all") || IsWord(top, u"distinctrow")) {
      top = NextSolid(top);
    }
    if (!IsWord(top, u"top")) return;
    const size_t count = NextSolid(top);
    if (count >= tokens_.size() || tokens_[count].kind != Tok::Number) return;
    const QString n = Text(count).toString();
    if (!std::all_of(n.begin(), n.end(), [](QChar c) { return c.isDigit(); })) return;
    if (IsWord(NextSolid(count), u"percent")) {
      throw DbError(QStringLiteral("不支援 select top … percent 的查詢。"), s_);
    }

    // The select ends where its level closes: ")" of a subquery, a compound operator, ";", or the
    // end of the text.
    bool compound = false;
    const size_t before = PreviousSolid(select);
    if (before < tokens_.size() && (IsWord(before, u"all") || IsCompoundWord(before))) {
      compound = true;
    }
    size_t terminator = tokens_.size();
    int depth = 0;
    for (size_t i = count + 1; i < tokens_.size(); ++i) {
      const Tok kind = tokens_[i].kind;
      if (kind == Tok::Open) {
        ++depth;
      } else if (kind == Tok::Close) {
        if (depth == 0) {
          terminator = i;
          break;
        }
        --depth;
      } else if (depth == 0 && (kind == Tok::Semicolon || IsCompoundWord(i))) {
        terminator = i;
        compound = compound || kind != Tok::Semicolon;
        break;
      }
    }
    qsizetype end = terminator < tokens_.size() ? tokens_[terminator].begin : s_.size();
    // A comment before the end would swallow the limit ("-- …" runs to the end of its line): the
    // limit then goes right after the last token of the select, before the comment.
    const size_t last = PreviousSolid(terminator);
    for (size_t i = last + 1; i < terminator; ++i) {
      if (IsComment(i)) {
        end = tokens_[last].end;
        break;
      }
    }

    edits_.push_back({tokens_[top].begin, tokens_[count].end - tokens_[top].begin, {}});
    const QString limit = QStringLiteral(" LIMIT ") + n + QLatin1Char(' ');
    if (compound) {
      // PostgreSQL wants a name for every subquery in FROM.
      const QString name = engine_ == Engine::Postgres
                               ? QStringLiteral("AS tarvel_top%1 ").arg(++subqueries_)
                               : QString();
      edits_.push_back({tokens_[select].begin, 0, QStringLiteral("select * from (")});
      edits_.push_back({end, 0, limit + QLatin1Char(')') + QLatin1Char(' ') + name});
    } else {
      edits_.push_back({end, 0, limit});
    }
  }

  // "a / b" divides as floating point, and by zero gives NULL as on SQLite instead of failing:
  // "a *1.0::float8/NULLIF(b, 0)". The divisor is the operand right of the slash (a sign, then
  // a parenthesis, a call, a name or a literal); one that is none of these is left as it is.
  void TranslateDivision(size_t slash) {
    size_t first = NextSolid(slash);
    size_t operand = first;
    if (IsChar(operand, u'-') || IsChar(operand, u'+')) operand = NextSolid(operand);
    size_t last = tokens_.size();
    if (operand < tokens_.size()) {
      const Tok kind = tokens_[operand].kind;
      if (kind == Tok::Open) {
        last = Matching(operand);
      } else if (kind == Tok::Number) {
        last = operand;
      } else if (kind == Tok::Word || kind == Tok::Literal) {
        last = operand;
        const size_t next = NextSolid(operand);
        if (kind == Tok::Word && next < tokens_.size() && tokens_[next].kind == Tok::Open) {
          last = Matching(next);
        } else {
          // table.column, table.[column]
          while (last + 2 < tokens_.size() && IsChar(last + 1, u'.') &&
                 (tokens_[last + 2].kind == Tok::Word || tokens_[last + 2].kind == Tok::Literal))
            last += 2;
        }
      }
    }
    if (last >= tokens_.size()) {
      edits_.push_back({tokens_[slash].begin, 1, QStringLiteral("*1.0::float8/")});
      return;
    }
    edits_.push_back({tokens_[slash].begin, 1, QStringLiteral("*1.0::float8/NULLIF(")});
    edits_.push_back({tokens_[last].end, 0, QStringLiteral(", 0)")});
  }

  // iif(c, a, b) -> (CASE WHEN c THEN a ELSE b END): only the chosen branch is evaluated, and a
  // NULL condition chooses b.
  void TranslateIif(size_t word, size_t open) {
    const size_t close = Matching(open);
    const std::vector<size_t> commas = ArgumentCommas(open, close);
    if (close >= tokens_.size() || commas.size() != 2)
      throw DbError(QStringLiteral("iif 需要三個引數：iif(條件, 真值, 假值)。"), s_);
    edits_.push_back({tokens_[word].begin, tokens_[open].end - tokens_[word].begin,
                      QStringLiteral("(CASE WHEN ")});
    edits_.push_back({tokens_[commas[0]].begin, 1, QStringLiteral(" THEN ")});
    edits_.push_back({tokens_[commas[1]].begin, 1, QStringLiteral(" ELSE ")});
    edits_.push_back({tokens_[close].begin, 1, QStringLiteral(" END)")});
  }

  // format(x, '0.00') -> round((x)::numeric, 2)::float8: the number Jet's text turns back into
  // where it meets a number, which is how the program uses it.
  void TranslateFormat(size_t word, size_t open) {
    const size_t close = Matching(open);
    const std::vector<size_t> commas = ArgumentCommas(open, close);
    std::optional<int> places;
    if (close < tokens_.size() && commas.size() == 1) {
      const size_t pattern = NextSolid(commas[0]);
      if (NextSolid(pattern) == close && tokens_[pattern].kind == Tok::Literal &&
          s_[tokens_[pattern].begin] == u'\'') {
        QStringView text = Text(pattern).mid(1);
        text.chop(1);
        places = NumericPatternPlaces(text);
      }
    }
    if (!places) {
      throw DbError(
          QStringLiteral(
              "PostgreSQL 資料庫上的 format() 只接受數字樣式的字串常數（0、#、逗號與小數點），"
              "例如 format(x,'0.00')。"),
          s_);
    }
    edits_.push_back(
        {tokens_[word].begin, tokens_[open].end - tokens_[word].begin, QStringLiteral("round((")});
    edits_.push_back({tokens_[commas[0]].begin, tokens_[close].end - tokens_[commas[0]].begin,
                      QStringLiteral(")::numeric, %1)::float8").arg(*places)});
  }

  // Jet's LIKE knows no escape character; PostgreSQL's takes the backslash unless told otherwise.
  void EscapeNothing(size_t pattern) {
    if (pattern >= tokens_.size()) return;
    const bool literal =
        tokens_[pattern].kind == Tok::Literal && s_[tokens_[pattern].begin] == u'\'';
    if (!literal && !IsChar(pattern, u'?')) return;
    if (IsWord(NextSolid(pattern), u"escape")) return;
    edits_.push_back({tokens_[pattern].end, 0, QStringLiteral(" ESCAPE ''")});
  }

  // Jet (and SQLite) sort NULL before every value, PostgreSQL after: each key of an ORDER BY
  // says where NULL goes, first when ascending, last when descending.
  void OrderNullsAsJet(size_t by) {
    int depth = 0;
    size_t itemLast = tokens_.size();
    bool hasNulls = false;
    const auto finish = [&] {
      if (itemLast < tokens_.size() && !hasNulls) {
        edits_.push_back({tokens_[itemLast].end, 0,
                          IsWord(itemLast, u"desc") ? QStringLiteral(" NULLS LAST")
                                                    : QStringLiteral(" NULLS FIRST")});
      }
      itemLast = tokens_.size();
      hasNulls = false;
    };
    for (size_t i = by + 1; i < tokens_.size(); ++i) {
      const Tok kind = tokens_[i].kind;
      if (kind == Tok::Space) continue;
      if (depth == 0) {
        const bool ends = kind == Tok::Close || kind == Tok::Semicolon || IsCompoundWord(i) ||
                          IsWord(i, u"limit") || IsWord(i, u"offset") || IsWord(i, u"fetch") ||
                          IsWord(i, u"for");
        if (ends) break;
        if (IsChar(i, u',')) {
          finish();
          continue;
        }
        if (IsWord(i, u"nulls")) hasNulls = true;
      }
      if (kind == Tok::Open) ++depth;
      if (kind == Tok::Close) --depth;
      itemLast = i;
    }
    finish();
  }

  // "from (select …)" without a name: PostgreSQL 15 wants one.
  void NameSubquery(size_t open) {
    const size_t before = PreviousSolid(open);
    if (!(IsWord(before, u"from") || IsWord(before, u"join"))) return;
    if (!IsWord(NextSolid(open), u"select")) return;
    const size_t close = Matching(open);
    if (close >= tokens_.size()) return;
    const size_t after = NextSolid(close);
    const bool named = after < tokens_.size() &&
                       (tokens_[after].kind == Tok::Literal ||
                        (tokens_[after].kind == Tok::Word && !EndsFromItem(Text(after))));
    if (!named)
      edits_.push_back(
          {tokens_[close].end, 0, QStringLiteral(" AS tarvel_sub%1").arg(++subqueries_)});
  }

  const QString& s_;
  Engine engine_;
  std::vector<Token> tokens_;
  std::vector<Edit> edits_;
  int parameters_ = 0;
  int subqueries_ = 0;
  QHash<QString, QString> spellings_;
};

}  // namespace

Rewritten Rewrite(const QString& jetSql, Engine engine) {
  return Translator(jetSql, engine).Run();
}

QString FoldName(QStringView name) {
  QString folded = name.toString();
  for (QChar& c : folded) {
    if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
  }
  return folded;
}

}  // namespace tarvel::db::detail
