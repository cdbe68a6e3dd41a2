// The page-block sheet of a report definition: the widths and headings of its columns, its heading
// block, a line per record (and the lines of its groups, with their subtotals), its totals line.
#pragma once

#include <vector>

#include "criteria/RequestCriteria.h"
#include "design/ReportDefinition.h"
#include "excel/PageBlockSheet.h"

namespace tarvel::excel {

class DefinedSheet : public PageBlockSheet {
 public:
  /// The sheet of `definition` (which has one) for a request; the request's criteria are read
  /// as the export writes (the window's records outlive it).
  DefinedSheet(const ReportDefinition& definition, const RequestCriteria& request);
  ~DefinedSheet() override;

  /// The page-block design of a definition's sheet: its heading rows counted, its last column
  /// the last its columns use.
  static SheetDesign DesignOf(const ReportDefinition& definition);

 protected:
  std::vector<double> ColumnWidths() const override;
  void WriteHeadingRows(const db::Cursor& record) override;
  void WriteRecord(const db::Cursor& record) override;
  void WriteTotalsRow(int row) override;
  void BeforeRecord(const db::Cursor& record) override;
  void AfterLastRecord(const db::Cursor& record) override;

 private:
  struct SheetCell;
  struct SheetLine;
  struct Run;

  void Plan();
  static std::vector<Run> RunsOf(std::vector<std::pair<char, SheetAlign>> aligned);
  void Resolve(const db::Cursor& record);
  /// Writes the open inner group's footer line, if it has one, and closes the group.
  void CloseInnerGroup(const db::Cursor& record);
  void WriteLine(const SheetLine& line, const db::Cursor& record);
  void WriteCell(const SheetCell& cell, int row, const db::Cursor& record) const;
  void WriteFooter(const Footer& footer, int level, int row, qint64 count);
  void WriteDates(const ::tarvel::HeadingRow& heading, int row) const;
  void WriteColumnHeadings(const ::tarvel::HeadingRow& heading, int row) const;
  QString Salesperson(const db::Cursor& record) const;
  int Index(const db::Cursor& record, const char* column) const;

  const ReportDefinition& definition_;
  const SheetForm& form_;
  const WorkOrderCriteria* overview_ = nullptr;
  const ReworkCriteria* rework_ = nullptr;
  bool invoiceDates_ = false;  ///< the date column shows 發票日期

  std::vector<SheetLine> lines_;
  std::vector<QString> captions_;  ///< the column headings, by letter from A
  std::vector<double> widths_;     ///< by letter from A
  std::vector<char> merges_;       ///< merged on the heading row: each first letter's last, or 0
  bool resolved_ = false;
  int outerKey_ = -1;  ///< the columns of the groups' keys
  int innerKey_ = -1;
  int empno_ = -1;
  int name_ = -1;

  // The totals of each group level (1 the sheet or salesperson block, 2 the inner group), by
  // their place in the footers.
  std::vector<double> sums_[3];
  qint64 innerLines_ = 0;
  bool started_ = false;
  bool innerStarted_ = false;
  QString outerValue_;
  QString innerValue_;
  QString salesperson_;
};

}  // namespace tarvel::excel
