#include "criteria/WorkOrderCriteria.h"

#include <algorithm>

namespace tarvel {

QString CompletionCode(CompletionFilter filter) {
  return filter == CompletionFilter::Unset ? QString() : QString(QChar(char16_t(filter)));
}

QString ReportChoiceCaption(int choice) {
  static const char* const kCaptions[kReportChoiceCount] = {
      "表1", "表2", "表3", "表4(含合版)", "表5", "未送總表", "補版明細"};
  return choice >= 0 && choice < kReportChoiceCount ? QString::fromUtf8(kCaptions[choice])
                                                    : QString();
}

namespace {

/// What a main-window choice reads besides its option boxes: the production dates (spn2) instead
/// of the order dates, and the three status groups (完工, 送貨, 發票) as filters.
struct ChoiceReads {
  bool productionDates = false;
  bool statusGroups = false;
};
constexpr ChoiceReads kChoiceReads[kReportChoiceCount] = {
    /* 表1 */ {.statusGroups = true},
    /* 表2 */ {.statusGroups = true},
    /* 表3 */ {},
    /* 表4含合版 */ {.statusGroups = true},
    /* 表5 */ {.productionDates = true},
    /* 未送總表 */ {.statusGroups = true},
    /* 補版明細 */ {},
};

}  // namespace

void CaptureCriteria(const OverviewFormState& form, WorkOrderCriteria& c) {
  const int choice = form.sopt選擇報表;
  const ChoiceReads reads =
      choice >= 0 && choice < kReportChoiceCount ? kChoiceReads[choice] : ChoiceReads{};
  const auto orDefault = [](const QString& text, const QString& fallback) {
    const QString trimmed = text.trimmed();
    return trimmed.isEmpty() ? fallback : trimmed;
  };
  const QString nineNines = QStringLiteral("9999999");

  if (reads.productionDates) {
    c.DateFrom = form.txt日期[0].trimmed();
    c.DateTo = orDefault(form.txt日期[1], nineNines);
  } else {
    c.DateFrom = form.txt日期_起.trimmed();
    c.DateTo = orDefault(form.txt日期_末, nineNines);
  }
  c.PoFrom = form.txt單號_起.trimmed();
  c.PoTo = orDefault(form.txt單號_末, QStringLiteral("zzzzzzzzz"));
  c.CustomerKeyword = form.txt客戶代號.trimmed();
  c.SalesKeyword = form.txt業務員.trimmed();
  c.CustomerFrom = form.txt客戶代號1[0].trimmed();
  c.CustomerTo = form.txt客戶代號1[1].trimmed();
  c.ItemKeyword = form.txt印件名稱.trimmed();
  c.KeyerKeyword = form.txt鍵機人員.trimmed();
  c.StaffKeyword = form.txt工務人員.trimmed();
  c.Category = form.cbo種類.trimmed();
  c.SalesFrom = form.txt業務員代號[0].trimmed();
  c.SalesTo = form.txt業務員代號[1].trimmed();
  c.CustomerPoKeyword = form.txt客戶單號.trimmed();
  c.Classification = form.cbo分類.trimmed();
  for (const OptionBox& box : OptionBoxes()) {
    if (box.sets == nullptr) continue;
    if (Contains(box.readOn, choice))
      box.sets->set(c, form.*box.ticked);
    else if (box.clearedElsewhere)
      box.sets->set(c, false);
  }

  if (reads.statusGroups) {
    c.DateBasis = form.sopt發票 == 0   ? DateBasis::Invoice
                  : form.sopt完工 == 0 ? DateBasis::Finish
                                       : DateBasis::Order;
    // The option groups' indexes 0, 1, 2 are the codes 1, 2, 3.
    static constexpr CompletionFilter kCompletion[] = {
        CompletionFilter::Finished, CompletionFilter::Unfinished, CompletionFilter::All};
    c.CompletionFilter = kCompletion[std::clamp(form.sopt完工, 0, 2)];
    c.DeliveryFilter = static_cast<DeliveryFilter>(std::clamp(form.sopt送貨, 0, 2) + 1);
    c.InvoiceFilter = static_cast<InvoiceFilter>(std::clamp(form.sopt發票, 0, 2) + 1);
  }
}

}  // namespace tarvel
