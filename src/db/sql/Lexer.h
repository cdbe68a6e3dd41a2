// Cuts an Access SQL text into tokens: words, [bracketed] and `quoted` names, 'text' and "text"
// literals, numbers, #date# literals, "?" markers and symbols. Comments ("-- …" to the end of the
// line, "/* … */") are skipped: Access has none, but the program's texts may carry them.
#pragma once

#include <QString>
#include <vector>

namespace tarvel::db::sql {

enum class TokenKind { End, Word, Name, Text, Number, Date, Marker, Symbol };

struct Token {
  TokenKind kind = TokenKind::End;
  /// Word and Symbol: as written; Name: without its brackets; Text: the value (quotes undoubled);
  /// Number: as written; Date: between the #s.
  QString text;
  qsizetype position = 0;
  /// Name: written in brackets or backquotes (so never a keyword).
  bool quoted = false;

  bool IsWord(QStringView word) const {
    return kind == TokenKind::Word && text.compare(word, Qt::CaseInsensitive) == 0;
  }
  bool IsSymbol(QStringView symbol) const { return kind == TokenKind::Symbol && text == symbol; }
};

/// The tokens of `sql`, ending with one of kind End. Throws DbError (naming the position) for a
/// literal, name or comment that is not closed, or a character that belongs to no token.
std::vector<Token> Tokenize(const QString& sql);

}  // namespace tarvel::db::sql
