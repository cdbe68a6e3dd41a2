// Cuts an Access SQL text into tokens: words, [bracketed] and `quoted` names, 'text' and "text"
// literals, numbers, #date# literals, "?" markers and symbols. Access SQL has no comments: "5--3"
// is five minus minus three, and "/*" a division sign followed by a star.
#pragma once

#include <QString>
#include <vector>

namespace tarvel::db::sql {

enum class TokenKind { End, Word, Name, Text, Number, Date, Marker, Symbol };

struct Token {
  TokenKind kind = TokenKind::End;
  /// Word, Symbol, Number: as written; Name: without its brackets; Text: between its quotes, a
  /// doubled quote still doubled (Value() gives the text); Date: between the #s. A view into the
  /// statement's text, which outlives its tokens.
  QStringView text;
  /// A Text whose quotes were doubled inside: its value.
  QString decoded;
  qsizetype position = 0;
  /// Name: written in brackets or backquotes (so never a keyword).
  bool quoted = false;

  /// The token's meaning as a text: a Text's value, anything else as written.
  QString Value() const { return decoded.isNull() ? text.toString() : decoded; }
  bool IsWord(QStringView word) const {
    return kind == TokenKind::Word && text.size() == word.size() &&
           text.compare(word, Qt::CaseInsensitive) == 0;
  }
  bool IsSymbol(QStringView symbol) const { return kind == TokenKind::Symbol && text == symbol; }
};

/// The tokens of `sql` (which must outlive them), ending with one of kind End. Throws SqlError
/// (naming the position) for a literal or name that is not closed, or a character that
/// belongs to no token.
std::vector<Token> Tokenize(const QString& sql);

}  // namespace tarvel::db::sql
