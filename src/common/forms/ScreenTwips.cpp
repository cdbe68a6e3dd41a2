#include "common/forms/ScreenTwips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

#include "platform/Twips.h"

namespace tarvel {
namespace {

constexpr double kFallbackDotsPerInch = 96.0;

double DotsPerInch(const QScreen* screen) {
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return kFallbackDotsPerInch;
  const double dpi = screen->logicalDotsPerInch();
  return dpi > 0 ? dpi : kFallbackDotsPerInch;
}

}  // namespace

int TwipsToPixels(int twips, const QScreen* screen) {
  return static_cast<int>(std::lround(twips * DotsPerInch(screen) / kTwipsPerInch));
}

int PixelsToTwips(int pixels, const QScreen* screen) {
  return static_cast<int>(std::lround(pixels * double{kTwipsPerInch} / DotsPerInch(screen)));
}

}  // namespace tarvel
