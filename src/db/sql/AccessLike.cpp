#include "db/sql/AccessLike.h"

#include <vector>

namespace tarvel::db::sql {
namespace {

// One element of a pattern.
struct Element {
  enum class Kind { Literal, Any, One, Digit, List };
  Kind kind = Kind::Literal;
  QChar literal;
  bool negated = false;
  std::vector<std::pair<QChar, QChar>> ranges;  // List
};

std::vector<Element> Compile(QStringView pattern) {
  std::vector<Element> out;
  for (qsizetype i = 0; i < pattern.size(); ++i) {
    const QChar c = pattern[i];
    Element e;
    if (c == u'*') {
      e.kind = Element::Kind::Any;
    } else if (c == u'?') {
      e.kind = Element::Kind::One;
    } else if (c == u'#') {
      e.kind = Element::Kind::Digit;
    } else if (c == u'[') {
      const qsizetype close = pattern.indexOf(u']', i + 1);
      if (close < 0) {  // an open list: the bracket is itself
        e.literal = c;
      } else {
        qsizetype j = i + 1;
        e.kind = Element::Kind::List;
        if (j < close && pattern[j] == u'!') {
          e.negated = true;
          ++j;
        }
        for (; j < close; ++j) {
          if (j + 2 < close && pattern[j + 1] == u'-') {
            e.ranges.emplace_back(pattern[j], pattern[j + 2]);
            j += 2;
          } else {
            e.ranges.emplace_back(pattern[j], pattern[j]);
          }
        }
        i = close;
      }
    } else {
      e.literal = c;
    }
    out.push_back(std::move(e));
  }
  return out;
}

QChar Fold(QChar c) {
  return c.toCaseFolded();
}

bool Matches(const Element& e, QChar c) {
  switch (e.kind) {
    case Element::Kind::Literal:
      return Fold(e.literal) == Fold(c);
    case Element::Kind::One:
      return true;
    case Element::Kind::Digit:
      return c >= u'0' && c <= u'9';
    case Element::Kind::List: {
      bool in = false;
      const QChar f = Fold(c);
      for (const auto& [low, high] : e.ranges) {
        if ((c >= low && c <= high) || (f >= Fold(low) && f <= Fold(high))) {
          in = true;
          break;
        }
      }
      return in != e.negated;
    }
    case Element::Kind::Any:
      break;
  }
  return false;
}

// A single-character list ([*], [?], [#], [[]) stands for that character.
std::optional<QChar> SingleLiteral(const Element& e) {
  if (e.kind == Element::Kind::Literal) return e.literal;
  if (e.kind == Element::Kind::List && !e.negated && e.ranges.size() == 1 &&
      e.ranges[0].first == e.ranges[0].second)
    return e.ranges[0].first;
  return std::nullopt;
}

}  // namespace

bool MatchAccessPattern(QStringView text, QStringView pattern) {
  const std::vector<Element> p = Compile(pattern);
  // Wildcard matching with one back-tracking point per "*".
  size_t pi = 0;
  qsizetype ti = 0;
  size_t star = p.size();
  qsizetype starText = 0;
  while (ti < text.size()) {
    if (pi < p.size() && p[pi].kind == Element::Kind::Any) {
      star = pi++;
      starText = ti;
    } else if (pi < p.size() && Matches(p[pi], text[ti])) {
      ++pi;
      ++ti;
    } else if (star < p.size()) {
      pi = star + 1;
      ti = ++starText;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi].kind == Element::Kind::Any)
    ++pi;
  return pi == p.size();
}

std::optional<QString> AccessPatternAsLike(const QString& pattern) {
  QString out;
  for (const Element& e : Compile(pattern)) {
    if (e.kind == Element::Kind::Any) {
      out += u'%';
    } else if (e.kind == Element::Kind::One) {
      out += u'_';
    } else if (const auto c = SingleLiteral(e)) {
      if (*c == u'%' || *c == u'_' || *c == u'\\') out += u'\\';
      out += *c;
    } else {
      return std::nullopt;
    }
  }
  return out;
}

QString AccessPatternAsRegex(const QString& pattern) {
  const auto escaped = [](QChar c) {
    return QStringView(u"\\^$.|?*+()[]{}").contains(c) ? QString(u'\\') + c : QString(c);
  };
  QString out = QStringLiteral("^");
  for (const Element& e : Compile(pattern)) {
    switch (e.kind) {
      case Element::Kind::Any:
        out += QStringLiteral(".*");
        break;
      case Element::Kind::One:
        out += u'.';
        break;
      case Element::Kind::Digit:
        out += QStringLiteral("[0-9]");
        break;
      case Element::Kind::Literal:
        out += escaped(e.literal);
        break;
      case Element::Kind::List:
        out += e.negated ? QStringLiteral("[^") : QStringLiteral("[");
        for (const auto& [low, high] : e.ranges) {
          const auto inList = [](QChar c) {
            return QStringView(u"\\^]-[").contains(c) ? QString(u'\\') + c : QString(c);
          };
          out += inList(low);
          if (high != low) out += u'-' + inList(high);
        }
        out += u']';
        break;
    }
  }
  return out + u'$';
}

}  // namespace tarvel::db::sql
