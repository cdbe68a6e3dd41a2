#include "excel/workbook/ColumnWidth.h"

#include <cmath>
#include <cstdlib>

namespace tarvel::excel {
namespace {

constexpr int kPadding = 5;
constexpr int kLibxlsxwriterDigit = 7;

double TruncateTo256ths(double value) {
  return std::trunc(value * 256.0) / 256.0;
}

}  // namespace

int ColumnPixels(double width, int digitPixels) {
  if (width <= 0) return 0;
  if (width < 1) return static_cast<int>(width * (digitPixels + kPadding) + 0.5);
  return static_cast<int>(width * digitPixels + 0.5) + kPadding;
}

double LibxlsxwriterStoredWidth(double width) {
  if (width <= 0) return 0;
  const int pixels = ColumnPixels(width, kLibxlsxwriterDigit);
  return TruncateTo256ths(static_cast<double>(pixels) / kLibxlsxwriterDigit);
}

int StoredWidthPixels(double stored, int digitPixels) {
  // Excel's own rule: Truncate(((256 * width + Truncate(128 / digit)) / 256) * digit).
  return static_cast<int>(
      std::trunc((256.0 * stored + std::trunc(128.0 / digitPixels)) / 256.0 * digitPixels));
}

double LibxlsxwriterColumnWidth(double width, int digitPixels) {
  if (width <= 0) return 0;
  if (digitPixels == kLibxlsxwriterDigit) return width;
  const int wanted = ColumnPixels(width, digitPixels);
  // libxlsxwriter's widths come in steps of whole 7-pixel-digit pixels k: k / 12 below one
  // character, (k - 5) / 7 from one character up. Take the step whose stored width Excel
  // shows closest to the wanted pixels.
  const int centre =
      static_cast<int>(std::lround(wanted * double(kLibxlsxwriterDigit) / digitPixels));
  double best = width;
  int bestError = -1;
  for (int k = centre - 2; k <= centre + 2; ++k) {
    if (k <= 0) continue;
    const double candidate = k < kLibxlsxwriterDigit + kPadding
                                 ? k / double(kLibxlsxwriterDigit + kPadding)
                                 : (k - kPadding) / double(kLibxlsxwriterDigit);
    const int error =
        std::abs(StoredWidthPixels(LibxlsxwriterStoredWidth(candidate), digitPixels) - wanted);
    if (bestError < 0 || error < bestError) {
      best = candidate;
      bestError = error;
    }
  }
  return best;
}

}  // namespace tarvel::excel
