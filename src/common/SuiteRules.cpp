#include "common/SuiteRules.h"

#include "platform/Conversions.h"

namespace tarvel {

bool OffersProductionSheet(const QString& companyName) {
  return companyName.startsWith(QStringLiteral("翠峰"));
}

bool MarginAgainstCost(const QString& profitRateBase) {
  return Val(profitRateBase) == 0;
}

std::optional<double> MarginPercent(double margin, double amount, double cost,
                                    const QString& profitRateBase) {
  const double base = MarginAgainstCost(profitRateBase) ? cost : amount;
  if (base == 0) return std::nullopt;
  return margin / base * 100;
}

bool ShowsReworkCost(const QString& kind) {
  return kind != QStringLiteral("印刷");
}

}  // namespace tarvel
