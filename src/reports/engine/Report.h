// The base of every report layout: the controls the handlers read and write, DataControl1, the
// handlers as virtual functions, and the one run that turns rows into pages (ReportRun.h).
//
// Lifetime: one instance serves one request. Create it with CreateReport<Layout>(…) (that raises
// ActiveReport_Initialize, which composes the SQL from the criteria current at that moment), run
// it once (Run(), a ReportRun, or hand the unique_ptr to an output: PDF, printer, preview), then
// let it go. A second run of the same instance throws, so a stale statement can never be printed
// again.
#pragma once

#include <QHash>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "db/Recordset.h"
#include "db/RowStream.h"
#include "db/Value.h"
#include "reports/engine/PageModel.h"
#include "reports/engine/ReportLayout.h"

namespace tarvel {

class Report;
class ReportRun;

/// A control of a running layout: a label, a field or a line. Handlers read a bound field's
/// Value, write its Text, a label's Caption, the visible flag and, before the run, the data field.
class ReportControl {
 public:
  const QString& Name() const { return def_->name; }
  ControlKind Kind() const { return def_->kind; }
  const ControlDef& Design() const { return *def_; }

  /// A bound field: the current row's column (NULL when empty). A summary field: the engine's
  /// total of its group (double for Sum, integer for Count). An unbound field: what SetValue gave.
  const db::Value& Value() const { return value_; }
  void SetValue(db::Value value);

  /// The display text. The engine sets it from Value (with the output format) before the
  /// section's Format handler runs; unbound fields keep their text until a handler changes it.
  /// (Made from the value when first asked for: a handler that writes its own text spares it.)
  const QString& Text() const {
    if (textFromValue_) MakeText();
    return text_;
  }
  void SetText(QString text) {
    text_ = std::move(text);
    textFromValue_ = false;
  }
  /// A label's caption (the same slot as Text).
  const QString& Caption() const { return Text(); }
  void SetCaption(QString caption) { SetText(std::move(caption)); }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }

  const QString& DataField() const { return dataField_; }
  /// Rebinds the field to another column; takes effect at the next section instance.
  void SetDataField(QString column);

 private:
  friend class Report;
  friend class ReportRun;
  explicit ReportControl(const ControlDef& def);
  /// The text shows the value from now on, made when it is first asked for.
  void ShowValue() { textFromValue_ = true; }
  void MakeText() const;

  const ControlDef* def_;
  db::Value value_;
  mutable QString text_;
  mutable bool textFromValue_ = false;
  bool visible_;
  QString dataField_;
  int column_ = -1;  ///< resolved column index; -2 = resolve again
  double sum_ = 0;
  qint64 count_ = 0;
  std::uint32_t style_ = 0;  ///< its ItemStyle in the page model of the run
};

/// The per-instance state of a section: Format handlers hide this one instance through it.
class ReportSection {
 public:
  SectionKind Kind() const { return def_->kind; }
  const SectionDef& Design() const { return *def_; }
  /// Reset to true before every instance's Format handler; false keeps the instance off the page
  /// (it takes no space).
  bool Visible() const { return visible_; }
  void SetVisible(bool visible) { visible_ = visible; }

 private:
  friend class Report;
  friend class ReportRun;
  explicit ReportSection(const SectionDef& def) : def_(&def) {}
  const SectionDef* def_;
  bool visible_ = true;
  std::vector<ReportControl*> controls_;
};

/// The rows a check before an output found, still open: the statement it ran and the stream on
/// it, read no further than the first row. The output reads on from that row in the same read
/// snapshot, so it prints exactly the rows that were checked, however long it runs.
struct CheckedRows {
  QString statement;
  db::RowStream rows;

  /// The check: opens `statement` on the database `connectionString` names (a connection and a
  /// read snapshot of the stream's own) and reads its first row. nullopt when there is none.
  /// Throws db::DbError.
  static std::optional<CheckedRows> Open(const QString& connectionString, QString statement);
};

/// Where the rows come from: a connection string and an SQL text set in ActiveReport_Initialize,
/// or rows given in memory (tests, tools), which then take precedence.
class DataControl {
 public:
  QString ConnectionString;
  QString Source;

  /// Rows in memory for every run (shared, not copied per run).
  void SetRecordset(db::Recordset rows) {
    rows_ = std::make_shared<const db::Recordset>(std::move(rows));
  }
  /// The rows a check read for this output (CheckedRows::Open): the next run reads on from
  /// them instead of querying again, when they were read with Source itself (set it first: the
  /// layout's ActiveReport_Initialize does); otherwise the layout queries on its own.
  void UseCheckedRows(std::optional<CheckedRows> checked) {
    if (checked && checked->statement == Source) first_ = std::move(checked->rows);
  }

  /// The rows of a run, read as it goes: the given recordset; the checked rows (once); or a
  /// stream opened on ConnectionString and Source in a read snapshot of its own, which ends with
  /// the stream. Throws db::DbError / tarvel::Error.
  db::RowStream OpenRows();
  /// OpenRows read whole, for callers that need every row at once.
  db::Recordset Open() { return OpenRows().ReadRest(); }

 private:
  std::shared_ptr<const db::Recordset> rows_;
  std::optional<db::RowStream> first_;
};

class Report {
 public:
  explicit Report(LayoutDefinition layout);
  virtual ~Report();
  Report(const Report&) = delete;
  Report& operator=(const Report&) = delete;

  /// Raises ActiveReport_Initialize once. CreateReport calls it; Run calls it when nobody did.
  void Initialize();

  /// The whole run into memory (a ReportRun to a PageModel): ActiveReport_ReportStart, then every
  /// section instance with its Format handler, group breaks, summaries and pagination.
  /// `devicePaper` is the paper of the device the pages go to, used when the layout names no
  /// paper of its own (default: SystemDefaultPaper()). Runs once per instance; a second call
  /// throws tarvel::Error. Errors of the handlers and of the data source propagate unchanged.
  /// Large reports go to a PageStore or straight to their device instead (ReportRun.h).
  PageModel Run(std::optional<PaperTwips> devicePaper = std::nullopt);
  bool HasRun() const { return ran_; }

  // ---- what the handlers use ----
  DataControl DataControl1;
  PageSettings& PageSetup() { return layout_.page; }
  const QString& Name() const { return layout_.name; }

  /// The field (or label, or line) named `name`; throws tarvel::Error when the layout has none.
  ReportControl& Field(const QString& name) { return Control(name); }
  ReportControl& Label(const QString& name) { return Control(name); }
  ReportControl& Control(const QString& name);
  bool HasControl(const QString& name) const { return byName_.contains(name); }
  /// The section of that kind; throws tarvel::Error when the layout lacks it.
  ReportSection& Section(SectionKind kind);
  bool HasSection(SectionKind kind) const;

  /// During the run: the number of the page being filled (1-based).
  int PageNumber() const { return pageNumber_; }

  // ---- handlers (all optional) ----
  virtual void ActiveReport_Initialize() {}
  virtual void ActiveReport_ReportStart() {}
  virtual void ActiveReport_ReportEnd() {}
  /// Raised by the preview window at every activation. The window itself takes care of becoming
  /// a top-level window with a task-bar entry on the first activation.
  virtual void ActiveReport_Activate() {}
  virtual void PageHeader_Format() {}
  virtual void GroupHeader1_Format() {}
  virtual void GroupHeader2_Format() {}
  virtual void Detail_Format() {}
  virtual void GroupFooter2_Format() {}
  virtual void GroupFooter1_Format() {}
  virtual void PageFooter_Format() {}

 private:
  friend class ReportRun;
  void RaiseFormat(SectionKind kind);

  LayoutDefinition layout_;
  std::vector<std::unique_ptr<ReportControl>> controls_;
  std::vector<std::unique_ptr<ReportSection>> sections_;
  std::array<ReportSection*, kSectionKindCount> byKind_{};
  QHash<QString, ReportControl*> byName_;
  bool initialized_ = false;
  bool ran_ = false;
  int pageNumber_ = 0;
};

/// Creates a layout instance for one request and raises its ActiveReport_Initialize.
template <class Layout, class... Args>
std::unique_ptr<Layout> CreateReport(Args&&... args) {
  auto report = std::make_unique<Layout>(std::forward<Args>(args)...);
  report->Initialize();
  return report;
}

}  // namespace tarvel
