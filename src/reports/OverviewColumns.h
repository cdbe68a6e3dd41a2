// The columns that recur across the overview lists, with the control names and captions every
// layout gives them, and short constructors for the rest of a definition's table.
#pragma once

#include "design/ReportDefinition.h"

namespace tarvel::columns {

// `left` and `width` in twips (0 when FlowColumns places them).
Column WorkOrderNo(int left, int width);   ///< 工單單號: Label3, txtPO = PO
Column OrderDate(int left, int width);     ///< 日期: Label28, txtODATE = ODATE as mm/dd, centred
Column Customer(int left, int width);      ///< 客戶: Label11, txtSNAME = SNAME
Column ItemCode(int left, int width);      ///< 印件代號: Label35, txtCODE = CODE
Column ItemName(int left, int width);      ///< 印件名稱: Label2, txtDESC = DESC
Column Quantity(int left, int width);      ///< 數量: Label12, txtQTY = QTY grouped, right
Column Price(int left, int width);         ///< 單價: Label29, txtPRICE = PRICE grouped, right
Column Amount(int left, int width);        ///< 金額: Label15, txtAMT = AMT grouped, right
Column Salesperson(int left, int width);   ///< 業務員: Label19, txtNAME = NAME
Column PromisedDate(int left, int width);  ///< 預交日: Label34, Field4 = PDATE yyy/mm/dd, centred
Column Finished(int left, int width);      ///< 完工: Label21, txtFDATE = FDATE as Y/N, centred
Column Days(int left, int width);          ///< 天數: Label30, txt天數 (unbound), right
Column Kind(int left, int width);          ///< 單別: Label31, Field3 = KIND

/// Any other column: its heading label and caption, its field and what it shows.
Column Col(const char* heading, const char* caption, const char* field, Cell cell, int width,
           Alignment alignment = Alignment::Left);

/// A total the engine sums over its group: `column` into `field`, at `left`, `width` twips, on
/// the sheet in `sheetLetter` (0: not written).
Total Sum(const char* field, const char* column, int left, int width, char sheetLetter = 0);
/// A total right-aligned to the right edge of `under`, `width` twips wide (it may reach into the
/// empty footer space of the columns before it).
Total SumUnder(const Column& under, const char* field, int width = 1545, char sheetLetter = 0);

/// The combined-plate line of a work order: the marker 合版 (on the sheet 合版 and the plate's
/// number) under the date, then `cells`; left out where the row has no plate (an empty NO).
Line CombinedPlateLine(std::vector<LineCell> cells);
/// A field of the combined-plate line under the column that shows `under`.
LineCell PlateField(const char* under, const char* field, Shows shows = Shows::Stored,
                    Alignment alignment = Alignment::Left);

}  // namespace tarvel::columns
