// The run of a layout: rows in, Format handlers raised, group breaks, summaries and pagination.
#include <QtMath>
#include <algorithm>

#include "platform/Conversions.h"
#include "platform/Error.h"
#include "reports/engine/Report.h"

namespace tarvel {

namespace {

// Group levels: 1 is GroupHeader1/GroupFooter1, 2 is GroupHeader2/GroupFooter2.
constexpr SectionKind kHeaderOf[3] = {SectionKind::Detail, SectionKind::GroupHeader1,
                                      SectionKind::GroupHeader2};
constexpr SectionKind kFooterOf[3] = {SectionKind::Detail, SectionKind::GroupFooter1,
                                      SectionKind::GroupFooter2};

QString DisplayText(const db::Value& value, const QString& outputFormat) {
  QString text = value.Text();
  if (!outputFormat.isEmpty() && !text.isEmpty()) text = Format(text, outputFormat);
  return text;
}

}  // namespace

class ReportRun {
 public:
  ReportRun(Report& report, PaperTwips devicePaper) : r_(report), devicePaper_(devicePaper) {}
  PageModel Execute();

 private:
  enum class Placement { Flow, Top, Bottom };

  ReportSection* SectionOf(SectionKind kind) const { return r_.byKind_[static_cast<size_t>(kind)]; }
  bool LevelExists(int level) const {
    return SectionOf(kHeaderOf[level]) != nullptr || SectionOf(kFooterOf[level]) != nullptr;
  }
  int ResolveColumn(const QString& column, const QString& control) const;
  void PrepareStyles();
  void PrepareBindings();
  QString KeyText(int level, qint64 row) const;

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
  PaperTwips devicePaper_;  ///< the paper when the layout names none
  db::Recordset rows_;
  PageModel model_;
  qint64 current_ = -1;
  int keyColumn_[3] = {-1, -1, -1};
  bool groupOpen_[3] = {false, false, false};
  std::vector<ReportControl*> summaries_;

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

int ReportRun::ResolveColumn(const QString& column, const QString& control) const {
  const int index = rows_.FieldIndex(column);
  if (index < 0) {
    throw Error(QStringLiteral("報表 %1 的控制項 %2 所繫結的欄位 %3 不在資料來源中")
                    .arg(r_.Name(), control, column));
  }
  return index;
}

void ReportRun::PrepareStyles() {
  for (const auto& control : r_.controls_) {
    const ControlDef& def = control->Design();
    ItemStyle style;
    style.control = def.name;
    style.kind = def.kind;
    style.box = QRect(def.left, def.top, def.width, def.height);
    style.alignment = def.alignment;
    style.lineWidth = def.lineWidth;
    for (const auto& section : r_.sections_) {
      for (const ReportControl* c : section->controls_) {
        if (c == control.get()) style.section = section->Kind();
      }
    }
    if (def.kind != ControlKind::Line) {
      auto it = std::find(model_.fonts.begin(), model_.fonts.end(), def.font);
      if (it == model_.fonts.end()) it = model_.fonts.insert(model_.fonts.end(), def.font);
      style.font = static_cast<int>(it - model_.fonts.begin());
    }
    control->style_ = static_cast<std::uint32_t>(model_.styles.size());
    model_.styles.push_back(std::move(style));
  }
}

void ReportRun::PrepareBindings() {
  for (const auto& control : r_.controls_) {
    if (control->Kind() != ControlKind::Field) continue;
    control->column_ =
        control->DataField().isEmpty() ? -1 : ResolveColumn(control->DataField(), control->Name());
    if (control->Design().summary.function != SummaryFunction::None) {
      summaries_.push_back(control.get());
      control->sum_ = 0;
      control->count_ = 0;
    }
  }
  for (int level = 1; level <= 2; ++level) {
    const ReportSection* header = SectionOf(kHeaderOf[level]);
    if (header != nullptr && !header->Design().groupKey.isEmpty()) {
      keyColumn_[level] = ResolveColumn(header->Design().groupKey, SectionName(kHeaderOf[level]));
    }
  }
}

QString ReportRun::KeyText(int level, qint64 row) const {
  return rows_.Row(row)[static_cast<size_t>(keyColumn_[level])].ToText();
}

void ReportRun::OpenGroup(int level) {
  for (ReportControl* control : summaries_) {
    const SummaryDef& summary = control->Design().summary;
    if (summary.running == SummaryRunning::Group && summary.group == kHeaderOf[level]) {
      control->sum_ = 0;
      control->count_ = 0;
    }
  }
  groupOpen_[level] = true;
  Emit(kHeaderOf[level]);
}

void ReportRun::CloseGroup(int level) {
  if (!groupOpen_[level]) return;
  Emit(kFooterOf[level]);
  groupOpen_[level] = false;
}

void ReportRun::Accumulate() {
  const auto row = rows_.Row(current_);
  for (ReportControl* control : summaries_) {
    if (control->Design().summary.function == SummaryFunction::Count) {
      ++control->count_;
      continue;
    }
    if (control->column_ == -2)
      control->column_ = ResolveColumn(control->DataField(), control->Name());
    if (control->column_ >= 0) control->sum_ += row[static_cast<size_t>(control->column_)].Number();
  }
}

void ReportRun::Bind(ReportSection& section) {
  for (ReportControl* control : section.controls_) {
    if (control->Kind() != ControlKind::Field) continue;
    const ControlDef& def = control->Design();
    if (def.summary.function == SummaryFunction::Sum) {
      control->value_ = db::Value(control->sum_);
      control->text_ = DisplayText(control->value_, def.outputFormat);
    } else if (def.summary.function == SummaryFunction::Count) {
      control->value_ = db::Value(control->count_);
      control->text_ = DisplayText(control->value_, def.outputFormat);
    } else if (!control->DataField().isEmpty()) {
      if (control->column_ == -2) {
        control->column_ = ResolveColumn(control->DataField(), control->Name());
      }
      control->value_ =
          current_ >= 0 ? rows_.Row(current_)[static_cast<size_t>(control->column_)] : db::Value();
      control->text_ = DisplayText(control->value_, def.outputFormat);
    }
  }
}

void ReportRun::Emit(SectionKind kind, Placement placement) {
  ReportSection* section = SectionOf(kind);
  if (section == nullptr) return;
  section->visible_ = true;
  Bind(*section);
  r_.RaiseFormat(kind);
  if (!section->visible_) return;
  Place(*section, placement);
}

void ReportRun::Place(ReportSection& section, Placement placement) {
  stagedTexts_.clear();
  stagedLines_.clear();
  for (const ReportControl* control : section.controls_) {
    if (!control->visible_) continue;
    if (control->Kind() == ControlKind::Line) {
      stagedLines_.push_back(control->style_);
    } else if (!control->text_.isEmpty()) {
      stagedTexts_.emplace_back(control->style_, control->text_);
    }
  }
  const int height = section.Design().height;
  if (placement == Placement::Top) {
    Commit(section.Kind(), y_, height);
    y_ += height;
    return;
  }
  if (placement == Placement::Bottom) {
    Commit(section.Kind(), pageBottom_ - height, height);
    return;
  }
  const bool before = section.Design().newPage == NewPage::Before;
  if (pageHasBody_ && (breakPending_ || before || y_ + height > bodyBottom_)) {
    // The band goes to the next page; the repeated headers of the open groups come first,
    // except the header being placed itself.
    // The page break runs other handlers and stages other bands: keep this band's content aside.
    auto texts = std::move(stagedTexts_);
    auto lines = std::move(stagedLines_);
    FinishPage();
    StartPage(section.Kind());
    stagedTexts_ = std::move(texts);
    stagedLines_ = std::move(lines);
  }
  breakPending_ = section.Design().newPage == NewPage::After;
  Commit(section.Kind(), y_, height);
  y_ += height;
  pageHasBody_ = true;
}

void ReportRun::Commit(SectionKind kind, int top, int height) {
  Page& page = model_.pages.back();
  PageBand band{kind,
                top,
                height,
                static_cast<std::uint32_t>(page.texts.size()),
                static_cast<std::uint32_t>(stagedTexts_.size()),
                static_cast<std::uint32_t>(page.lines.size()),
                static_cast<std::uint32_t>(stagedLines_.size())};
  for (const auto& [style, text] : stagedTexts_) {
    page.texts.push_back({style, top, static_cast<std::uint32_t>(page.chars.size()),
                          static_cast<std::uint32_t>(text.size())});
    page.chars.append(text);
  }
  for (std::uint32_t style : stagedLines_)
    page.lines.push_back({style, top});
  page.bands.push_back(band);
}

void ReportRun::StartPage(SectionKind placing) {
  model_.pages.emplace_back();
  ++r_.pageNumber_;
  y_ = pageTop_;
  pageHasBody_ = false;
  breakPending_ = false;
  Emit(SectionKind::PageHeader, Placement::Top);
  for (int level = 1; level <= 2; ++level) {
    const ReportSection* header = SectionOf(kHeaderOf[level]);
    if (groupOpen_[level] && header != nullptr && header->Design().repeatOnEveryPage &&
        placing != kHeaderOf[level]) {
      Emit(kHeaderOf[level]);
    }
  }
}

void ReportRun::FinishPage() {
  Emit(SectionKind::PageFooter, Placement::Bottom);
}

PageModel ReportRun::Execute() {
  rows_ = r_.DataControl1.Open();
  PrepareBindings();
  r_.ActiveReport_ReportStart();

  const PageSettings& settings = r_.layout_.page;
  PaperTwips paper = settings.paperSize ? PaperSizeTwips(*settings.paperSize) : devicePaper_;
  if (settings.orientation == Orientation::Landscape) std::swap(paper.width, paper.height);
  model_.title = r_.Name();
  model_.settings = settings;
  model_.paperWidth = paper.width;
  model_.paperHeight = paper.height;
  model_.originX = qRound(settings.leftMargin);
  pageTop_ = qRound(settings.topMargin);
  pageBottom_ = paper.height - qRound(settings.bottomMargin);
  const ReportSection* footer = SectionOf(SectionKind::PageFooter);
  bodyBottom_ = pageBottom_ - (footer != nullptr ? footer->Design().height : 0);
  PrepareStyles();

  StartPage(SectionKind::PageHeader);
  const qint64 count = rows_.RecordCount();
  if (count == 0 && LevelExists(1) && keyColumn_[1] < 0) {
    // No rows: the title block and zero totals still print, so the page says what was asked.
    OpenGroup(1);
    CloseGroup(1);
  }
  for (qint64 row = 0; row < count; ++row) {
    const bool newGroup1 =
        LevelExists(1) &&
        (row == 0 || (keyColumn_[1] >= 0 && KeyText(1, row) != KeyText(1, row - 1)));
    const bool newGroup2 =
        LevelExists(2) &&
        (row == 0 || newGroup1 || (keyColumn_[2] >= 0 && KeyText(2, row) != KeyText(2, row - 1)));
    // Footers close on the last row of their group, so their bound fields show that row.
    if (newGroup2) CloseGroup(2);
    if (newGroup1) CloseGroup(1);
    current_ = row;
    if (newGroup1) OpenGroup(1);
    if (newGroup2) OpenGroup(2);
    Accumulate();
    Emit(SectionKind::Detail);
  }
  CloseGroup(2);
  CloseGroup(1);
  FinishPage();
  r_.ActiveReport_ReportEnd();
  return std::move(model_);
}

PageModel Report::Run(std::optional<PaperTwips> devicePaper) {
  Initialize();
  if (ran_) {
    throw Error(QStringLiteral("報表 %1 已經執行過；每次列印或預覽須建立新的報表").arg(Name()));
  }
  ran_ = true;
  pageNumber_ = 0;
  return ReportRun(*this, devicePaper ? *devicePaper : SystemDefaultPaper()).Execute();
}

}  // namespace tarvel
