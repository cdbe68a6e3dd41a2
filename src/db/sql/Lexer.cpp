#include "db/sql/Lexer.h"

#include "db/sql/SqlError.h"

namespace tarvel::db::sql {
namespace {

bool IsWordStart(QChar c) {
  const char16_t u = c.unicode();
  if (u < 128) return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || u == u'_';
  return !c.isSpace();
}
bool IsWordPart(QChar c) {
  const char16_t u = c.unicode();
  if (u < 128)
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') ||
           u == u'_' || u == u'$';
  return !c.isSpace();
}

[[noreturn]] void Refuse(const QString& what, const QString& sql, qsizetype position) {
  throw SqlError(QStringLiteral("SQL 陳述式的第 %1 個字元：%2").arg(position + 1).arg(what), sql);
}

}  // namespace

std::vector<Token> Tokenize(const QString& sql) {
  std::vector<Token> tokens;
  tokens.reserve(static_cast<size_t>(sql.size() / 4 + 2));
  const qsizetype size = sql.size();
  qsizetype i = 0;
  while (i < size) {
    const QChar c = sql[i];
    if (c.isSpace()) {
      ++i;
      continue;
    }
    Token token;
    token.position = i;
    const QStringView whole(sql);
    if (c == u'\'' || c == u'"') {
      // A text in either quote; the quote doubled inside stands for itself.
      token.kind = TokenKind::Text;
      qsizetype j = i + 1;
      bool doubled = false;
      for (;; ++j) {
        if (j >= size) Refuse(QStringLiteral("文字常數沒有結束。"), sql, i);
        if (sql[j] == c) {
          if (j + 1 < size && sql[j + 1] == c) {
            doubled = true;
            ++j;
            continue;
          }
          break;
        }
      }
      token.text = whole.mid(i + 1, j - i - 1);
      if (doubled) {
        token.decoded = token.text.toString();
        token.decoded.replace(QString(2, c), QString(c));
      }
      i = j + 1;
    } else if (c == u'[' || c == u'`') {
      const QChar close = c == u'[' ? u']' : u'`';
      const qsizetype end = sql.indexOf(close, i + 1);
      if (end < 0) Refuse(QStringLiteral("名稱的 %1 沒有結束。").arg(c), sql, i);
      token.kind = TokenKind::Name;
      token.quoted = true;
      token.text = whole.mid(i + 1, end - i - 1);
      i = end + 1;
    } else if (c == u'#') {
      const qsizetype end = sql.indexOf(u'#', i + 1);
      if (end < 0) Refuse(QStringLiteral("日期常數的 # 沒有結束。"), sql, i);
      token.kind = TokenKind::Date;
      token.text = whole.mid(i + 1, end - i - 1).trimmed();
      i = end + 1;
    } else if (c.isDigit() || (c == u'.' && i + 1 < size && sql[i + 1].isDigit())) {
      qsizetype j = i;
      while (j < size && sql[j].isDigit())
        ++j;
      if (j < size && sql[j] == u'.') {
        ++j;
        while (j < size && sql[j].isDigit())
          ++j;
      }
      if (j < size && (sql[j] == u'e' || sql[j] == u'E')) {
        qsizetype k = j + 1;
        if (k < size && (sql[k] == u'+' || sql[k] == u'-')) ++k;
        if (k < size && sql[k].isDigit()) {
          while (k < size && sql[k].isDigit())
            ++k;
          j = k;
        }
      }
      if (j < size && IsWordStart(sql[j]) && sql[j].unicode() < 128) {
        // "10x" is no number, and no name may start with a digit.
        Refuse(QStringLiteral("數字後面不能直接接文字。"), sql, i);
      }
      token.kind = TokenKind::Number;
      token.text = whole.mid(i, j - i);
      i = j;
    } else if (IsWordStart(c)) {
      qsizetype j = i + 1;
      while (j < size && IsWordPart(sql[j]))
        ++j;
      token.kind = TokenKind::Word;
      token.text = whole.mid(i, j - i);
      i = j;
    } else if (c == u'?') {
      token.kind = TokenKind::Marker;
      token.text = whole.mid(i, 1);
      ++i;
    } else {
      token.kind = TokenKind::Symbol;
      const QChar next = i + 1 < size ? sql[i + 1] : QChar();
      if ((c == u'<' && (next == u'>' || next == u'=')) || (c == u'>' && next == u'=') ||
          (c == u'!' && next == u'=')) {
        token.text = whole.mid(i, 2);
        i += 2;
      } else if (QStringView(u"(),.!;*+-/\\^&=<>").contains(c)) {
        token.text = whole.mid(i, 1);
        ++i;
      } else {
        Refuse(QStringLiteral("無法辨識的字元「%1」。").arg(c), sql, i);
      }
    }
    tokens.push_back(std::move(token));
  }
  Token end;
  end.position = size;
  tokens.push_back(end);
  return tokens;
}

}  // namespace tarvel::db::sql
