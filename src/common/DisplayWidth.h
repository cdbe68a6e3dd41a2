// Display width of texts as the Traditional Chinese code page counts it, and cutting to a width.
#pragma once

#include <QString>

namespace tarvel {

/// Bytes the text takes in code page 950 (Traditional Chinese Windows): an ASCII character 1, a
/// character of the code page 2 (Chinese characters, full-width forms, bopomofo, €). A character
/// the code page cannot write counts 1, the "?" the conversion puts in its place. Widths come
/// from ICU's windows-950 table through QStringEncoder; without it every non-ASCII character
/// counts 2.
int DisplayWidth(const QString& text);

/// The longest prefix of the text whose display width is at most `limit`; a character that
/// would pass the limit is left out with everything after it, so a Chinese character never
/// gets cut in half. A text that fits comes back whole; a limit below 1 gives "".
QString LeftByBytes(const QString& text, int limit);

}  // namespace tarvel
