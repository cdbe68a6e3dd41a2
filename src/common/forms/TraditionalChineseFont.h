// The face every window draws Chinese in: one of Taiwan's forms, whatever the desktop prefers.
#pragma once

#include <QFont>
#include <QStringList>

namespace tarvel {

/// The faces that draw Han characters in Taiwan's standard forms (戶, not the mainland's form
/// of the same character), best first: Noto Sans CJK TC (fonts-noto-cjk) where installed, else
/// AR PL UMing TW (fonts-arphic-uming, which the reports need anyway).
QStringList TraditionalChineseFaces();

/// `desktop` (the desktop's user-interface font) drawing its Han characters with the first
/// installed face of TraditionalChineseFaces(). Latin letters and digits keep the desktop's face,
/// unless that face has Han characters of its own (a desktop set up for another Chinese or for
/// Japanese): then the Traditional face comes first, since a face that has a character draws it.
/// Without any of the faces the font is returned as it is.
QFont TraditionalChineseFont(const QFont& desktop);

/// Makes TraditionalChineseFont of the application's font the font of every window. Once, at
/// start-up, before the first window is made.
void UseTraditionalChineseFont();

}  // namespace tarvel
