#include "db/sql/SqliteHelpers.h"

#include <array>

namespace tarvel::db::sql {
namespace {

using H = SqliteHelper;
constexpr std::array kHelpers = {
    SqliteHelperInfo{H::Add, "acc_add", 2, false},
    SqliteHelperInfo{H::Subtract, "acc_sub", 2, false},
    SqliteHelperInfo{H::Multiply, "acc_mul", 2, false},
    SqliteHelperInfo{H::Divide, "acc_div", 2, false},
    SqliteHelperInfo{H::IntDivide, "acc_intdiv", 2, false},
    SqliteHelperInfo{H::Mod, "acc_mod", 2, false},
    SqliteHelperInfo{H::Power, "acc_pow", 2, false},
    SqliteHelperInfo{H::Concat, "acc_concat", -1, false},
    SqliteHelperInfo{H::CurrencyAdd, "acc_cadd", 2, false},
    SqliteHelperInfo{H::CurrencySubtract, "acc_csub", 2, false},
    SqliteHelperInfo{H::CurrencyMultiply, "acc_cmul", 2, false},
    SqliteHelperInfo{H::Number, "acc_num", 1, false},
    SqliteHelperInfo{H::Like, "acc_like", 2, false},
    SqliteHelperInfo{H::FormatNumber, "acc_formatnum", 2, false},
    SqliteHelperInfo{H::Single, "acc_sng", 1, false},
    SqliteHelperInfo{H::SingleShown, "acc_sngshown", 1, false},
    SqliteHelperInfo{H::Text, "acc_txt", 1, false},
    SqliteHelperInfo{H::CurrencySum, "acc_csum", 1, true},
    SqliteHelperInfo{H::CurrencyAvg, "acc_cavg", 1, true},
    SqliteHelperInfo{H::FloatSum, "acc_fsum", 1, true},
    SqliteHelperInfo{H::FloatAvg, "acc_favg", 1, true},
};

// The table is in the enumeration's order, so a helper finds its row by its value.
constexpr bool InOrder() {
  for (std::size_t i = 0; i < kHelpers.size(); ++i)
    if (static_cast<std::size_t>(kHelpers[i].helper) != i) return false;
  return true;
}
static_assert(InOrder(), "kHelpers must list the helpers in SqliteHelper's order");

}  // namespace

std::span<const SqliteHelperInfo> SqliteHelpers() {
  return kHelpers;
}

QLatin1StringView SqliteHelperName(SqliteHelper helper) {
  return QLatin1StringView(kHelpers[static_cast<std::size_t>(helper)].name);
}

}  // namespace tarvel::db::sql
