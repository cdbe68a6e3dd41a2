#include "db/JetDialect.h"

#include <sqlite3.h>

#include <algorithm>
#include <vector>

#include "db/DbError.h"
#include "platform/Conversions.h"

namespace tarvel::db::JetDialect {
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

class Translator {
 public:
  explicit Translator(const QString& jet) : s_(jet), tokens_(Scan(jet)) {}

  QString Run() {
    for (size_t i = 0; i < tokens_.size(); ++i) {
      const Token& t = tokens_[i];
      if (t.kind == Tok::Slash) {
        // A slash right after this one would join the "/" written here into "/*", a comment
        // that hides the rest of the statement: a blank keeps them apart.
        const bool slashFollows = t.end < s_.size() && s_[t.end] == u'/';
        edits_.push_back(
            {t.begin, 1, slashFollows ? QStringLiteral("*1.0/ ") : QStringLiteral("*1.0/")});
      } else if (IsWord(i, u"select")) {
        TranslateTop(i);
      }
    }
    // Back to front, so the positions of the edits still to apply stay valid.
    std::stable_sort(edits_.begin(), edits_.end(),
                     [](const Edit& a, const Edit& b) { return a.position > b.position; });
    QString out = s_;
    for (const Edit& e : edits_)
      out.replace(e.position, e.removed, e.inserted);
    return out;
  }

 private:
  bool IsWord(size_t i, QStringView word) const {
    return i < tokens_.size() && tokens_[i].kind == Tok::Word &&
           Text(i).compare(word, Qt::CaseInsensitive) == 0;
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
      edits_.push_back({tokens_[select].begin, 0, QStringLiteral("select * from (")});
      edits_.push_back({end, 0, limit + QLatin1Char(')') + QLatin1Char(' ')});
    } else {
      edits_.push_back({end, 0, limit});
    }
  }

  const QString& s_;
  std::vector<Token> tokens_;
  std::vector<Edit> edits_;
};

// "-12.50", "0.00", "7": the texts that Jet would read back as the same number.
bool IsPlainNumber(QStringView text) {
  qsizetype i = 0;
  if (i < text.size() && text[i] == u'-') ++i;
  const qsizetype digits = i;
  while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
    ++i;
  if (i == digits) return false;
  if (i - digits > 1 && text[digits] == u'0') return false;  // "0012" is a code, not a number
  if (i == text.size()) return true;
  if (text[i] != u'.') return false;
  const qsizetype decimals = ++i;
  while (i < text.size() && text[i].isDigit() && text[i].unicode() < 128)
    ++i;
  return i > decimals && i == text.size();
}

QString ArgumentText(sqlite3_value* value) {
  const auto* units = static_cast<const char16_t*>(sqlite3_value_text16(value));
  const int bytes = sqlite3_value_bytes16(value);
  return units ? QString::fromUtf16(units, bytes / 2) : QString();
}

void FormatFunction(sqlite3_context* context, int, sqlite3_value** argv) {
  const int type = sqlite3_value_type(argv[0]);
  if (type == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  const QString pattern = ArgumentText(argv[1]);
  QString text;
  if (type == SQLITE_INTEGER || type == SQLITE_FLOAT) {
    const double number = sqlite3_value_double(argv[0]);
    text = pattern.isEmpty() ? NumberText(number) : FormatNumber(number, pattern);
  } else {
    text = ArgumentText(argv[0]);
    if (!pattern.isEmpty()) text = Format(text, pattern);
  }
  if (IsPlainNumber(text)) {
    bool ok = false;
    if (!text.contains(u'.')) {
      const qint64 whole = text.toLongLong(&ok);
      if (ok) {
        sqlite3_result_int64(context, whole);
        return;
      }
    }
    const double real = text.toDouble(&ok);
    if (ok) {
      sqlite3_result_double(context, real);
      return;
    }
  }
  sqlite3_result_text16(context, text.utf16(), static_cast<int>(text.size() * 2), SQLITE_TRANSIENT);
}

}  // namespace

QString Translate(const QString& jetSql) {
  return Translator(jetSql).Run();
}

void InstallFunctions(sqlite3* db) {
  const int rc = sqlite3_create_function_v2(db, "format", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                            nullptr, &FormatFunction, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
}

}  // namespace tarvel::db::JetDialect
