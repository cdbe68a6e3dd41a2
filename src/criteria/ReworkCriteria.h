// The rework window's criteria: the state of its controls at a request, the record the request
// captures from them, and the four report choices.
#pragma once

#include <QString>
#include <cstdint>

namespace tarvel {

/// The report choices of the rework window (index of the chosen report option).
enum ReworkChoice : int {
  k重工明細表 = 0,
  k打樣明細表 = 1,
  k留版明細表 = 2,
  k刀模明細表 = 3,
};
inline constexpr int kReworkChoiceCount = 4;

/// The report name of a choice ("重工明細表" … "刀模明細表"), "" for a number that is no choice.
QString ReworkReportName(int choice);

/// The kind filter's values (KindFilter): one department, or every kind.
enum ReworkKind : std::int16_t {
  kKindPrinting = 1,   ///< 印刷
  kKindWorkOrder = 2,  ///< 工單
  kKindPlate = 3,      ///< 製版
  kKindAll = 4,        ///< 全部
};

/// The die report's order (VendorOrder): by die maker or by die cutter.
enum ReworkVendorOrder : std::int16_t {
  kByDieMaker = 1,   ///< 刀模廠商: order by VENDER
  kByDieCutter = 2,  ///< 軋工廠商: order by VENDER1
};

/// The option indexes of sopt排序 (a control array whose two options are 0 and 7).
inline constexpr int kSortByDieMaker = 0;
inline constexpr int kSortByDieCutter = 7;

/// The process-wide record the rework window fills before every output; the rework layouts and
/// the rework export read it. Never cleared: ReportName keeps its value through outputs that do
/// not set it.
struct ReworkCriteria {
  QString PoFrom;            ///< work-order number range start
  QString PoTo;              ///< range end; "zzzzzzzzz" when left empty
  QString DateFrom;          ///< order-date range start, 7-digit ROC date
  QString DateTo;            ///< range end; "9999999" when left empty
  QString CustomerKeyword;   ///< part of a customer code or short name
  QString VendorKeyword;     ///< part of a vendor code or short name (plate maker, die maker)
  QString DieCutterKeyword;  ///< part of the die-cutting vendor's code or short name
  QString SalesKeyword;      ///< part of a salesperson code or name
  std::int16_t KindFilter = kKindAll;
  std::int16_t VendorOrder = kByDieCutter;
  QString ReportName;  ///< "重工明細表" or "打樣明細表", set by an Excel output only
};

/// The state of the rework window's criteria controls at a request. Texts as the controls hold
/// them (untrimmed); option indexes as the design numbers them.
struct ReworkFormState {
  QString txt日期_起, txt日期_末;
  QString txt單號_起, txt單號_末;
  QString txt客戶代號;
  QString txt業務員;
  QString txt廠商代號;
  QString txt廠商代號1;
  int sopt選擇 = 3;                 ///< 0 印刷, 1 工單, 2 製版, 3 全部
  int sopt排序 = kSortByDieCutter;  ///< kSortByDieMaker or kSortByDieCutter
  int sopt選擇報表 = k重工明細表;   ///< ReworkChoice
};

/// The window's defaults on the clock's today: work-order numbers "" to nine "z", this month as
/// the date range, every kind, ordered by die cutter (軋工廠商), 重工明細表.
ReworkFormState ReworkWindowDefaults();

/// Fills the criteria from the window state, every text trimmed, with the two defaults (an empty
/// range end takes nine "z" or seven "9"). ReportName is left as it was.
void CaptureReworkCriteria(const ReworkFormState& form, ReworkCriteria& criteria);

}  // namespace tarvel
