// Paper quantities in reams (令, 500 sheets) and the remaining sheets (張).
#pragma once

#include <QString>

namespace tarvel {

/// Sheets per ream; fixed by the trade, not a setting.
inline constexpr int kSheetsPerReam = 500;

/// The sheets, rounded half away from zero, as reams and sheets: 1234 -> "2令 234張", 1000 ->
/// "2令", 234 -> " 234張" (the blank before the sheets stays), 0 -> "", -1234 -> "-2令 -234張",
/// 499.5 -> "1令". An empty unitStyle writes a blank before each unit ("2 令 234 張"); any other
/// style (callers pass "Y") the compact units. A quantity beyond the 32-bit integer range (or
/// not a number) raises tarvel::Error("溢位"), the runtime's overflow error.
QString FormatReamSheet(double sheets, const QString& unitStyle);

}  // namespace tarvel
