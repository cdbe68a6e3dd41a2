// What the combined-plate overviews share: one work-order line per PO, the combined-plate lines
// printed on the same plates under it, and totals that count work orders and add both the
// orders' and the combined jobs' quantities and amounts.
#pragma once

#include "reports/OverviewReport.h"

namespace tarvel {

/// Grouping and totals both layouts share. The source has one row per combined-plate line of a
/// work order, or one row with an empty NO when it has none; GroupHeader2 (key PO) prints the
/// work order once, Detail its combined-plate lines.
class CombinedPlateReport : public OverviewReport {
 public:
  void GroupHeader1_Format() override;
  /// Writes the work-order line (WriteWorkOrderLine) and adds the order to the totals.
  void GroupHeader2_Format() override;
  /// Hides the band of a work order without combined plates; otherwise adds the line's quantity
  /// and subtotal to the totals.
  void Detail_Format() override;
  void GroupFooter1_Format() override;

 protected:
  using OverviewReport::OverviewReport;
  /// The display texts of the work-order line in GroupHeader2.
  virtual void WriteWorkOrderLine() = 0;

  /// A field of the combined-plate line, standing under the heading label `under`.
  struct PlateField {
    const char* field;
    const char* column;
    const char* under;
    Alignment alignment = Alignment::Left;
  };
  /// The bands from the title block and headings (`header`, a GroupHeader1) and the work-order
  /// line's controls: GroupHeader2 gets the line with a rule on top, which closes the previous
  /// order's combined-plate lines; Detail the marker 合版 under 日期 (Label28), `plateFields` and
  /// the hidden NO and 合版單位; GroupFooter1 the count of work orders and `totals`, all kept by
  /// the layout.
  static std::vector<SectionDef> Bands(SectionDef header, std::vector<ControlDef> workOrderLine,
                                       int fullWidth, const std::vector<PlateField>& plateFields,
                                       const std::vector<FooterTotal>& totals, FontSpec font,
                                       int lineHeight);

 private:
  // Kept by the layout, not the engine: the engine would count plate rows, not work orders.
  qint64 workOrders_ = 0;
  double quantity_ = 0;
  double amount_ = 0;
};

}  // namespace tarvel
