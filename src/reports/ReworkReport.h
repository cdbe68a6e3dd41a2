// What the four rework-window layouts share: the statement from the rework criteria, the page of
// their catalogue row, the title block and the grouped numbers of their rows.
#pragma once

#include <initializer_list>
#include <vector>

#include "criteria/ReworkCriteria.h"
#include "reports/LayoutDesign.h"
#include "reports/engine/Report.h"
#include "startup/AppContext.h"

namespace tarvel {

/// Where the title block of a rework layout stands and what it names.
struct ReworkTitleSpec {
  const char* title;  ///< Label1, 18 points 標楷體
  int width;          ///< twips, from the left of the first column to the right of the last
  bool paged;         ///< the plate and die layouts: 頁次, 工單日期 and 印表日期
  FontSpec font;      ///< the captions and texts beside the title
};

/// The GroupHeader1 controls above the column headings: txt公司名稱 (20 points 標楷體) and the
/// title centred over the columns, then either 日期起迄 (txt日期1 ～ txt日期2) and 列表日期
/// (txt列印日期), or 頁次 (txt頁次), 工單日期 (txt訂單日期_起 ～ txt訂單日期_末) and 印表日期
/// (txt印表日期). The headings start below kReworkHeadingTop.
std::vector<ControlDef> ReworkTitleBlock(const ReworkTitleSpec& spec);
inline constexpr int kReworkHeadingTop = 1245;

class ReworkReport : public Report {
 public:
  /// Takes a copy of the criteria and the context as they are at the request. The design is
  /// `design`'s name and page with `bands` between an empty page header and page footer.
  ReworkReport(const LayoutDesign& design, std::vector<SectionDef> bands,
               const ReworkCriteria& criteria, const AppContext& context);

  /// DataControl1 := the connection string and the statement of its report choice.
  void ActiveReport_Initialize() override;
  /// Orientation and margins of the catalogue row.
  void ActiveReport_ReportStart() override;

  const LayoutDesign& Design() const { return design_; }

 protected:
  /// Company, print date (txt列印日期 or txt印表日期) and the order-date range of the title
  /// block; controls the layout lacks are passed over.
  void FillTitleBlock();
  /// Writes FormatGrouped of each named field's value as its text.
  void WriteGrouped(std::initializer_list<const char*> fields);

  const ReworkCriteria criteria_;
  const AppContext context_;

 private:
  void SetFormattedValue(const QString& name, const QString& value);

  const LayoutDesign design_;
};

}  // namespace tarvel
