// The pictures of the windows' buttons: the desktop theme's icon, or the style's own.
#pragma once

#include <QIcon>
#include <QStyle>

namespace tarvel {

/// The desktop theme's icon called `name` ("document-print"), or the style's `fallback` where the
/// theme has none (the offscreen platform, a bare window manager).
inline QIcon ThemedIcon(const char* name, QStyle::StandardPixmap fallback, const QWidget* widget) {
  return QIcon::fromTheme(QLatin1String(name), widget->style()->standardIcon(fallback));
}

}  // namespace tarvel
