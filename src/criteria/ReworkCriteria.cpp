#include "criteria/ReworkCriteria.h"

#include "common/RocDate.h"

namespace tarvel {

QString ReworkReportName(int choice) {
  switch (choice) {
    case k重工明細表:
      return QStringLiteral("重工明細表");
    case k打樣明細表:
      return QStringLiteral("打樣明細表");
    case k留版明細表:
      return QStringLiteral("留版明細表");
    case k刀模明細表:
      return QStringLiteral("刀模明細表");
    default:
      return {};
  }
}

ReworkFormState ReworkWindowDefaults() {
  ReworkFormState form;
  form.txt單號_末 = QStringLiteral("zzzzzzzzz");
  form.txt日期_起 = RocTodayDigits().left(5) + QStringLiteral("01");
  form.txt日期_末 = RocMonthEndDigits();
  return form;
}

void CaptureReworkCriteria(const ReworkFormState& form, ReworkCriteria& criteria) {
  criteria.PoFrom = form.txt單號_起.trimmed();
  criteria.PoTo = form.txt單號_末.trimmed();
  if (criteria.PoTo.isEmpty()) criteria.PoTo = QStringLiteral("zzzzzzzzz");
  criteria.DateFrom = form.txt日期_起.trimmed();
  criteria.DateTo = form.txt日期_末.trimmed();
  if (criteria.DateTo.isEmpty()) criteria.DateTo = QStringLiteral("9999999");
  criteria.CustomerKeyword = form.txt客戶代號.trimmed();
  criteria.VendorKeyword = form.txt廠商代號.trimmed();
  criteria.DieCutterKeyword = form.txt廠商代號1.trimmed();
  criteria.SalesKeyword = form.txt業務員.trimmed();
  // The options 印刷, 工單, 製版, 全部 are 1 to 4; an option group with none chosen counts as 全部.
  criteria.KindFilter = form.sopt選擇 >= 0 && form.sopt選擇 <= 2
                            ? static_cast<std::int16_t>(form.sopt選擇 + 1)
                            : static_cast<std::int16_t>(kKindAll);
  criteria.VendorOrder = form.sopt排序 == kSortByDieMaker ? kByDieMaker : kByDieCutter;
}

}  // namespace tarvel
