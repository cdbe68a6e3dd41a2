// One run of a layout, in steps: rows streamed in, Format handlers raised, group breaks,
// summaries and pagination, each page handed to a PageSink as soon as it is finished.
#pragma once

#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "db/RowStream.h"
#include "reports/engine/PageSink.h"
#include "reports/engine/Report.h"

namespace tarvel {

/// Runs on the calling thread, a slice at a time, so a window can show the first page while the
/// rest is laid out (the preview steps it between its events). Destroying an unfinished run
/// cancels it: the rows' stream, its snapshot and its connection end with it.
class ReportRun {
 public:
  /// Raises ActiveReport_Initialize when nobody did. Throws tarvel::Error when `report` has run
  /// before. `report` and `sink` must outlive the run. `devicePaper`: the paper of the device the
  /// pages go to, used when the layout names no paper of its own (default: SystemDefaultPaper()).
  ReportRun(Report& report, PageSink& sink, std::optional<PaperTwips> devicePaper = std::nullopt);
  ~ReportRun();
  ReportRun(const ReportRun&) = delete;
  ReportRun& operator=(const ReportRun&) = delete;

  /// Lays out up to `rows` more rows; the first step opens the rows (DataControl1.OpenRows) and
  /// raises ActiveReport_ReportStart, the last one closes the groups, finishes the last page,
  /// raises ActiveReport_ReportEnd and ends the sink. Returns whether there is more to do. Errors
  /// of the handlers, the data source and the sink propagate, and the run is over then.
  bool Step(int rows = 256);
  /// Steps to the end.
  void Finish();
  bool Done() const { return stage_ == Stage::Done || stage_ == Stage::Failed; }
  /// Pages handed to the sink so far.
  int PagesDone() const { return pagesDone_; }
  /// Rows laid out so far.
  qint64 RowsDone() const { return rowsDone_; }

 private:
  enum class Stage { NotStarted, Rows, Done, Failed };
  enum class Placement { Flow, Top, Bottom };

  ReportSection* SectionOf(SectionKind kind) const { return r_.byKind_[static_cast<size_t>(kind)]; }
  bool LevelExists(int level) const;
  int ResolveColumn(const QString& column, const QString& control) const;
  /// ResolveColumn of a field rebound during the run: the column is read from then on, and for
  /// the row being laid out too while the stream still stands on it.
  int ResolveRebound(const QString& column, const QString& control);
  void Start();
  void PrepareStyles();
  void PrepareBindings();
  bool SameKey(int level, std::span<const db::Value> next) const;
  bool NextRow();
  void LayOutRow();
  void End();

  void OpenGroup(int level);
  void CloseGroup(int level);
  void Accumulate();
  void Bind(ReportSection& section);
  void Emit(SectionKind kind, Placement placement = Placement::Flow);
  void Place(ReportSection& section, Placement placement);
  void Commit(SectionKind kind, int top, int height);
  void StartPage(SectionKind placing);
  void FinishPage();

  Report& r_;
  PageSink& sink_;
  PaperTwips devicePaper_;  ///< the paper when the layout names none
  Stage stage_ = Stage::NotStarted;
  db::RowStream rows_;
  std::vector<db::Value> row_;  ///< the row being laid out (or the last one); empty before it
  bool hasRow_ = false;
  bool streamOnRow_ = false;  ///< the stream still stands on row_ (it has not moved past it)
  std::vector<bool> wanted_;  ///< the columns the controls read; the others are never decoded
  bool nextPending_ = false;  ///< the stream's current row is the next to lay out
  qint64 rowsDone_ = 0;
  int keyColumn_[3] = {-1, -1, -1};
  bool groupOpen_[3] = {false, false, false};
  std::vector<ReportControl*> summaries_;

  PageFrame frame_;
  Page page_;  ///< the page being filled
  int pagesDone_ = 0;
  int pageTop_ = 0;
  int bodyBottom_ = 0;
  int pageBottom_ = 0;
  int y_ = 0;
  bool pageHasBody_ = false;
  bool breakPending_ = false;

  // The band being laid out, captured before any page break can run other handlers.
  std::vector<std::pair<std::uint32_t, QString>> stagedTexts_;
  std::vector<std::uint32_t> stagedLines_;
};

}  // namespace tarvel
