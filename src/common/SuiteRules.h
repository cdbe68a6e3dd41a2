// The suite's business rules that more than one window, layout or export applies: each stated
// once, here.
#pragma once

#include <QString>
#include <optional>

namespace tarvel {

/// Whether the company gets the production sheet (表5) in the main window: its name starts with
/// 翠峰.
bool OffersProductionSheet(const QString& companyName);

/// Whether margins are reckoned against cost rather than sales: the system setting's profit-rate
/// base (SYSTEM.ITEM18) reads as 0 (also when empty).
bool MarginAgainstCost(const QString& profitRateBase);

/// The margin as a percentage of its base, cost or sales (MarginAgainstCost); nullopt when that
/// base is 0.
std::optional<double> MarginPercent(double margin, double amount, double cost,
                                    const QString& profitRateBase);

/// Whether a rework of department `kind` shows its cost: the printing department's (印刷) are
/// costed elsewhere, so their cost is shown nowhere but in the totals.
bool ShowsReworkCost(const QString& kind);

}  // namespace tarvel
