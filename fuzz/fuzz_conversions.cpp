// The runtime's conversions and the value formatting built on them, on any text and any double.
//
// Invariants: nothing but tarvel::Error is thrown; a finite number's own text is numeric and reads
// back to the same text; a numeric text's value is finite and keeps its digits through
// FormatGrouped; a date is a real date in years 100..9999; LeftByBytes gives a prefix that fits.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>

#include "FuzzCheck.h"
#include "common/DisplayWidth.h"
#include "common/GroupedNumber.h"
#include "common/ReamSheet.h"
#include "common/RocDate.h"
#include "platform/Conversions.h"
#include "platform/Error.h"

namespace {

using tarvel::fuzz::Check;

QString Take(FuzzedDataProvider& input, std::size_t limit) {
  return QString::fromStdString(input.ConsumeRandomLengthString(limit));
}

void CheckNumberReadsBack(double value) {
  if (!std::isfinite(value)) return;
  const QString text = tarvel::NumberText(value);
  Check(tarvel::IsNumeric(text), "IsNumeric(NumberText(x))", text);
  const double back = tarvel::Val(text);
  Check(tarvel::NumberText(back) == text, "NumberText(Val(NumberText(x))) == NumberText(x)", text,
        tarvel::NumberText(back));
  Check(tarvel::NumericValue(text) == back, "NumericValue and Val agree", text);
}

void CheckDate(const std::optional<QDate>& date, const QString& text) {
  if (!date) return;
  Check(date->isValid() && date->year() >= 100 && date->year() <= 9999, "a date in range", text,
        date->toString(Qt::ISODate));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  FuzzedDataProvider input(data, size);
  const double number = input.ConsumeFloatingPoint<double>();
  const int width = input.ConsumeIntegralInRange(-2, 12);
  const int yearDigits = input.ConsumeIntegralInRange(1, 10);
  const QString pattern = Take(input, 64);
  const QString other = Take(input, 64);
  const QString text = QString::fromStdString(input.ConsumeRemainingBytesAsString());

  CheckNumberReadsBack(number);
  try {
    CheckNumberReadsBack(tarvel::Val(text));
  } catch (const tarvel::Error&) {
    // the runtime's overflow: a number beyond the double range
  }

  if (tarvel::IsNumeric(text)) {
    const double value = tarvel::NumericValue(text);
    Check(std::isfinite(value), "a numeric text has a finite value", text);
    CheckNumberReadsBack(value);
    const QString grouped = tarvel::FormatGrouped(text);
    Check(tarvel::IsNumeric(grouped), "FormatGrouped of a number is numeric", text, grouped);
    Check(tarvel::NumberText(tarvel::NumericValue(grouped)) == tarvel::NumberText(value),
          "FormatGrouped keeps the value", text, grouped);
    (void)tarvel::GroupedNumberFormat(text);
  } else {
    Check(tarvel::NumericValue(text) == 0, "a text that is not numeric has the value 0", text);
    Check(tarvel::FormatGrouped(text) == text, "FormatGrouped leaves other texts", text);
  }

  (void)tarvel::Format(text, pattern);
  if (std::isfinite(number)) {
    const QString formatted = tarvel::FormatNumber(number, pattern);
    (void)formatted;
  }
  try {
    (void)tarvel::FormatReamSheet(number, other);
  } catch (const tarvel::Error&) {
  }

  CheckDate(tarvel::RocDigitsToDate(text), text);
  CheckDate(tarvel::RocTextToDate(text, yearDigits), text);
  (void)tarvel::WorkOrderDayCount(text, other);
  (void)tarvel::PadRocDateText(text, width);

  const QString cut = tarvel::LeftByBytes(text, width * 4);
  Check(text.startsWith(cut), "LeftByBytes gives a prefix", text, cut);
  Check(cut.isEmpty() || tarvel::DisplayWidth(cut) <= width * 4, "LeftByBytes fits the limit", text,
        cut);
  return 0;
}
