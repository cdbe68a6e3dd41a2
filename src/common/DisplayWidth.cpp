#include "common/DisplayWidth.h"

#include <QStringEncoder>

namespace tarvel {
namespace {

// The code page width of one character (one code point: a surrogate pair is one character).
int CharacterWidth(QStringView character) {
  if (character.size() == 1 && character[0].unicode() < 0x80) return 1;
  // One encoder per thread: encoders are not shareable, and opening the ICU table once per call
  // would dominate the cost of short column texts.
  thread_local QStringEncoder encoder("windows-950", QStringConverter::Flag::Stateless);
  if (!encoder.isValid()) return 2;
  const QByteArray bytes = encoder.encode(character);
  return bytes.isEmpty() ? 1 : static_cast<int>(bytes.size());
}

qsizetype CharacterLength(const QString& text, qsizetype at) {
  return text[at].isHighSurrogate() && at + 1 < text.size() && text[at + 1].isLowSurrogate() ? 2
                                                                                             : 1;
}

}  // namespace

int DisplayWidth(const QString& text) {
  int width = 0;
  for (qsizetype at = 0; at < text.size();) {
    const qsizetype length = CharacterLength(text, at);
    width += CharacterWidth(QStringView(text).mid(at, length));
    at += length;
  }
  return width;
}

QString LeftByBytes(const QString& text, int limit) {
  // Each character is measured once and added to a running width: the same prefix as
  // re-measuring the growing prefix after every character, without the quadratic cost.
  int width = 0;
  for (qsizetype at = 0; at < text.size();) {
    const qsizetype length = CharacterLength(text, at);
    width += CharacterWidth(QStringView(text).mid(at, length));
    if (width > limit) return text.left(at);
    at += length;
    if (width == limit) return text.left(at);
  }
  return text;
}

}  // namespace tarvel
