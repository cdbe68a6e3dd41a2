// The criteria of a work-order overview, captured from the main window before every output and
// read by every overview layout and export to rebuild its statement.
#pragma once

#include <QString>
#include <array>

#include "criteria/OptionBoxes.h"

namespace tarvel {

// The coded choices of the record. Each keeps the number the program has always stored (0 before
// any run has set it), so a value written by one part of the program reads the same in another.

/// The date the overview's date range applies to.
enum class DateBasis : int { Unset = 0, Invoice = 1, Finish = 2, Order = 3 };
/// Finished work orders only, unfinished only, or all. The record holds it as the text "1", "2"
/// or "3"; CompletionCode gives that text.
enum class CompletionFilter : char { Unset = 0, Finished = '1', Unfinished = '2', All = '3' };
/// Delivery cleared, not cleared (and not a no-delivery order), or all.
enum class DeliveryFilter : int { Unset = 0, Cleared = 1, NotCleared = 2, All = 3 };
/// Invoiced, not invoiced, or all.
enum class InvoiceFilter : int { Unset = 0, Invoiced = 1, NotInvoiced = 2, All = 3 };
/// One list, or one list per salesperson.
enum class BySalesperson : int { Unset = 0, OneList = 1, PerSalesperson = 2 };
/// Every work order, or only the ones not yet reviewed.
enum class UnreviewedOnly : int { Unset = 0, No = 1, Yes = 2 };
/// Every amount, or only amounts above zero (表2).
enum class PositiveAmountOnly : int { Unset = 0, No = 1, Yes = 2 };

/// The program's text of a completion filter: "1", "2", "3", or "" before any run set it.
QString CompletionCode(CompletionFilter filter);

/// The process-wide criteria record. Never cleared: a run overwrites the fields it sets and the
/// others keep the previous run's values (initially Unset or empty), which later consumers may
/// read.
struct WorkOrderCriteria {
  QString PoFrom;             ///< work-order number range start
  QString PoTo;               ///< range end; "zzzzzzzzz" when left empty
  QString DateFrom;           ///< 7-digit ROC date yyyMMdd
  QString DateTo;             ///< 7-digit ROC date; "9999999" when left empty
  QString CustomerKeyword;    ///< part of a customer code or short name
  QString SalesKeyword;       ///< part of a salesperson code or name
  QString CustomerFrom;       ///< customer code range start
  QString CustomerTo;         ///< customer code range end
  QString ItemKeyword;        ///< part of an item code or description
  QString KeyerKeyword;       ///< part of a keyer code or name
  QString StaffKeyword;       ///< part of an engineering-staff code or name
  QString Category;           ///< work-order category (KIND)
  QString SalesFrom;          ///< salesperson code range start (表3)
  QString SalesTo;            ///< salesperson code range end (表3)
  QString CustomerPoKeyword;  ///< part of the customer's own order number
  QString Classification;     ///< classification (分類)
  tarvel::BySalesperson BySalesperson = BySalesperson::Unset;
  tarvel::UnreviewedOnly UnreviewedOnly = UnreviewedOnly::Unset;
  bool MarginAnomaly = false;
  tarvel::DateBasis DateBasis = DateBasis::Unset;
  tarvel::CompletionFilter CompletionFilter = CompletionFilter::Unset;
  tarvel::DeliveryFilter DeliveryFilter = DeliveryFilter::Unset;
  tarvel::InvoiceFilter InvoiceFilter = InvoiceFilter::Unset;
  tarvel::PositiveAmountOnly PositiveAmountOnly = PositiveAmountOnly::Unset;
};

/// The report choices of the main window (index of the chosen report option).
enum ReportChoice : int {
  k表1 = 0,
  k表2 = 1,
  k表3 = 2,
  k表4含合版 = 3,
  k表5 = 4,
  k未送總表 = 5,
  k補版明細 = 6,
};
inline constexpr int kReportChoiceCount = 7;

/// The caption of a report choice's option in the main window ("表1" … "補版明細"), "" for a
/// number that is no choice.
QString ReportChoiceCaption(int choice);

/// The state of the main window's criteria controls at the moment of a request: what the capture
/// reads. Texts are taken as the controls hold them (untrimmed); indexes are 0-based.
struct OverviewFormState {
  QString txt日期_起, txt日期_末;
  std::array<QString, 2> txt日期;  ///< the 表5 date pair
  QString txt單號_起, txt單號_末;
  QString txt客戶代號;
  QString txt業務員;
  std::array<QString, 2> txt客戶代號1;
  QString txt印件名稱;
  QString txt鍵機人員;
  QString txt工務人員;
  QString cbo種類;
  std::array<QString, 2> txt業務員代號;
  QString txt客戶單號;
  QString cbo分類;
  /// The option boxes, one member each, named as the box (criteria/OptionBoxes.h).
  TARVEL_OPTION_BOXES(TARVEL_OPTION_BOX_MEMBER)
  int sopt完工 = 2;      ///< 0 已完工, 1 未完工, 2 全部
  int sopt送貨 = 2;      ///< 0 已送清, 1 未送清, 2 全部
  int sopt發票 = 2;      ///< 0 已開, 1 未開, 2 全部
  int sopt選擇報表 = 0;  ///< ReportChoice
};

/// Fills `criteria` from the window state for its report choice, normalising every value, and
/// leaves the fields that this choice does not set as they were.
void CaptureCriteria(const OverviewFormState& form, WorkOrderCriteria& criteria);

}  // namespace tarvel
