// The criteria of a work-order overview, captured from the main window before every output and
// read by every overview layout and export to rebuild its statement.
#pragma once

#include <QString>
#include <array>

namespace tarvel {

/// The process-wide criteria record. Never cleared: a run overwrites the fields it sets and the
/// others keep the previous run's values (initially 0 or empty), which later consumers may read.
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
  double BySalesperson = 0;   ///< 1 one list, 2 per salesperson
  double UnreviewedOnly = 0;  ///< 2 when only unreviewed orders are wanted, else 1
  bool MarginAnomaly = false;
  int ReportKind = 0;  ///< source of 表1: 1 [歷史工單明細], 2 [歷史工單明細3], 3 [歷史工單明細4]
  double DateBasis = 0;        ///< 1 invoice date, 2 finish date, 3 order date
  QString CompletionFilter;    ///< "1" finished, "2" unfinished, "3" all
  int DeliveryFilter = 0;      ///< 1 cleared, 2 not cleared, 3 all
  double InvoiceFilter = 0;    ///< 1 invoiced, 2 not invoiced, 3 all
  int PositiveAmountOnly = 0;  ///< 2 when only amounts above zero are wanted (表2), else 1
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
  bool chk依業務印表 = false;
  bool chk依業務印表1 = false;
  bool chk只印未審單 = false;
  bool chk只印未審單1 = false;
  bool chk金額異常 = false;
  bool chk只印金額大於零 = false;
  bool chk印合版資料 = false;
  bool chk印刀模代號 = false;
  bool chk客戶單號 = false;
  bool chk不印金額 = false;
  int sopt完工 = 2;      ///< 0 已完工, 1 未完工, 2 全部
  int sopt送貨 = 2;      ///< 0 已送清, 1 未送清, 2 全部
  int sopt發票 = 2;      ///< 0 已開, 1 未開, 2 全部
  int sopt選擇報表 = 0;  ///< ReportChoice
};

/// Fills `criteria` from the window state for `choice`, normalising every value, and leaves the
/// fields that this choice does not set as they were.
void CaptureCriteria(const OverviewFormState& form, WorkOrderCriteria& criteria);

}  // namespace tarvel
