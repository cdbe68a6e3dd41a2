#include "common/ReamSheet.h"

#include <cmath>
#include <cstdint>
#include <limits>

#include "platform/Conversions.h"
#include "platform/Error.h"

namespace tarvel {

QString FormatReamSheet(double sheets, const QString& unitStyle) {
  if (!std::isfinite(sheets)) throw Error(QStringLiteral("溢位"));
  // Rounded through the "0" pattern, as the quantity is first formatted and then read back.
  const double rounded = NumericValue(FormatNumber(sheets, QStringLiteral("0")));
  if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
        rounded <= std::numeric_limits<std::int32_t>::max())) {
    throw Error(QStringLiteral("溢位"));
  }
  const auto quantity = static_cast<std::int32_t>(rounded);
  const std::int32_t reams = quantity / kSheetsPerReam;  // toward zero
  const std::int32_t rest = quantity % kSheetsPerReam;   // with the sign of the quantity

  const QString gap = unitStyle.isEmpty() ? QStringLiteral(" ") : QString();
  QString text;
  if (reams != 0) text += QString::number(reams) + gap + u'令';
  if (rest != 0) text += u' ' + QString::number(rest) + gap + u'張';
  return text;
}

}  // namespace tarvel
