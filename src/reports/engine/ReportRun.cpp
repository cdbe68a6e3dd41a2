#include "reports/engine/ReportRun.h"

#include <QtMath>
#include <algorithm>

#include "platform/Error.h"

namespace tarvel {

namespace {

// Group levels: 1 is GroupHeader1/GroupFooter1, 2 is GroupHeader2/GroupFooter2.
constexpr SectionKind kHeaderOf[3] = {SectionKind::Detail, SectionKind::GroupHeader1,
                                      SectionKind::GroupHeader2};
constexpr SectionKind kFooterOf[3] = {SectionKind::Detail, SectionKind::GroupFooter1,
                                      SectionKind::GroupFooter2};

}  // namespace

ReportRun::ReportRun(Report& report, PageSink& sink, std::optional<PaperTwips> devicePaper)
    : r_(report), sink_(sink), devicePaper_(devicePaper ? *devicePaper : SystemDefaultPaper()) {
  r_.Initialize();
  if (r_.ran_) {
    throw Error(QStringLiteral("報表 %1 已經執行過；每次列印或預覽須建立新的報表").arg(r_.Name()));
  }
  r_.ran_ = true;
  r_.pageNumber_ = 0;
}

ReportRun::~ReportRun() = default;

bool ReportRun::LevelExists(int level) const {
  return SectionOf(kHeaderOf[level]) != nullptr || SectionOf(kFooterOf[level]) != nullptr;
}

int ReportRun::ResolveColumn(const QString& column, const QString& control) const {
  const int index = rows_.FieldIndex(column);
  if (index < 0) {
    throw Error(QStringLiteral("報表 %1 的控制項 %2 所繫結的欄位 %3 不在資料來源中")
                    .arg(r_.Name(), control, column));
  }
  return index;
}

int ReportRun::ResolveRebound(const QString& column, const QString& control) {
  const int index = ResolveColumn(column, control);
  auto wanted = wanted_.begin() + index;
  if (!*wanted) {
    *wanted = true;
    rows_.Want(wanted_);
    if (hasRow_ && streamOnRow_ && rows_.Reread(index))
      row_[static_cast<size_t>(index)] = rows_.Rows().Field(index);
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
    style.pageCount =
        def.kind == ControlKind::Field && def.summary.function == SummaryFunction::PageCount;
    for (const auto& section : r_.sections_) {
      for (const ReportControl* c : section->controls_) {
        if (c == control.get()) style.section = section->Kind();
      }
    }
    if (def.kind != ControlKind::Line) {
      auto it = std::find(frame_.fonts.begin(), frame_.fonts.end(), def.font);
      if (it == frame_.fonts.end()) it = frame_.fonts.insert(frame_.fonts.end(), def.font);
      style.font = static_cast<int>(it - frame_.fonts.begin());
    }
    control->style_ = static_cast<std::uint32_t>(frame_.styles.size());
    frame_.styles.push_back(std::move(style));
  }
}

void ReportRun::PrepareBindings() {
  for (const auto& control : r_.controls_) {
    if (control->Kind() != ControlKind::Field) continue;
    const SummaryFunction function = control->Design().summary.function;
    control->column_ = control->DataField().isEmpty() || function == SummaryFunction::PageCount
                           ? -1
                           : ResolveColumn(control->DataField(), control->Name());
    if (function == SummaryFunction::Sum || function == SummaryFunction::Count) {
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
  // Only what the controls show and the groups compare is read from the rows: a layout over a
  // wide view prints a dozen of its sixty columns.
  wanted_.assign(static_cast<size_t>(rows_.FieldCount()), false);
  for (const auto& control : r_.controls_)
    if (control->column_ >= 0) wanted_[static_cast<size_t>(control->column_)] = true;
  for (const int key : keyColumn_)
    if (key >= 0) wanted_[static_cast<size_t>(key)] = true;
  rows_.Want(wanted_);
}

bool ReportRun::SameKey(int level, std::span<const db::Value> next) const {
  const auto column = static_cast<size_t>(keyColumn_[level]);
  // Keys compare as the texts they print; equal values are equal texts without making them.
  return row_[column] == next[column] || row_[column].ToText() == next[column].ToText();
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
  for (ReportControl* control : summaries_) {
    if (control->Design().summary.function == SummaryFunction::Count) {
      ++control->count_;
      continue;
    }
    if (control->column_ == -2)
      control->column_ = ResolveRebound(control->DataField(), control->Name());
    if (control->column_ >= 0)
      control->sum_ += row_[static_cast<size_t>(control->column_)].Number();
  }
}

void ReportRun::Bind(ReportSection& section) {
  for (ReportControl* control : section.controls_) {
    if (control->Kind() != ControlKind::Field) continue;
    const ControlDef& def = control->Design();
    switch (def.summary.function) {
      case SummaryFunction::Sum:
        control->value_ = db::Value(control->sum_);
        control->ShowValue();
        break;
      case SummaryFunction::Count:
        control->value_ = db::Value(control->count_);
        control->ShowValue();
        break;
      case SummaryFunction::PageCount:
        // Not known before the run is over: the page store writes it.
        control->value_ = db::Value();
        control->SetText(QString());
        break;
      case SummaryFunction::None:
        if (control->DataField().isEmpty()) break;
        if (control->column_ == -2)
          control->column_ = ResolveRebound(control->DataField(), control->Name());
        control->value_ = hasRow_ ? row_[static_cast<size_t>(control->column_)] : db::Value();
        control->ShowValue();
        break;
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
    } else if (frame_.styles[control->style_].pageCount) {
      stagedTexts_.emplace_back(control->style_, QString());
    } else if (const QString& text = control->Text(); !text.isEmpty()) {
      stagedTexts_.emplace_back(control->style_, text);
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
  PageBand band{kind,
                top,
                height,
                static_cast<std::uint32_t>(page_.texts.size()),
                static_cast<std::uint32_t>(stagedTexts_.size()),
                static_cast<std::uint32_t>(page_.lines.size()),
                static_cast<std::uint32_t>(stagedLines_.size())};
  for (const auto& [style, text] : stagedTexts_) {
    page_.texts.push_back({style, top, static_cast<std::uint32_t>(page_.chars.size()),
                           static_cast<std::uint32_t>(text.size())});
    page_.chars.append(text);
  }
  for (std::uint32_t style : stagedLines_)
    page_.lines.push_back({style, top});
  page_.bands.push_back(band);
}

void ReportRun::StartPage(SectionKind placing) {
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
  // The next page is about as full as this one: room for it at once, not in doublings.
  const std::size_t bands = page_.bands.size(), texts = page_.texts.size(),
                    lines = page_.lines.size();
  const qsizetype chars = page_.chars.size();
  sink_.Add(std::move(page_));
  ++pagesDone_;
  page_ = Page();
  page_.bands.reserve(bands);
  page_.texts.reserve(texts);
  page_.lines.reserve(lines);
  page_.chars.reserve(chars);
}

void ReportRun::Start() {
  rows_ = r_.DataControl1.OpenRows();
  PrepareBindings();
  r_.ActiveReport_ReportStart();

  const PageSettings& settings = r_.layout_.page;
  PaperTwips paper = settings.paperSize ? PaperSizeTwips(*settings.paperSize) : devicePaper_;
  if (settings.orientation == Orientation::Landscape) std::swap(paper.width, paper.height);
  frame_.title = r_.Name();
  frame_.settings = settings;
  frame_.paperWidth = paper.width;
  frame_.paperHeight = paper.height;
  frame_.originX = qRound(settings.leftMargin);
  pageTop_ = qRound(settings.topMargin);
  pageBottom_ = paper.height - qRound(settings.bottomMargin);
  const ReportSection* footer = SectionOf(SectionKind::PageFooter);
  bodyBottom_ = pageBottom_ - (footer != nullptr ? footer->Design().height : 0);
  PrepareStyles();
  sink_.Begin(frame_);

  StartPage(SectionKind::PageHeader);
  nextPending_ = rows_.Next();
  if (!nextPending_ && LevelExists(1) && keyColumn_[1] < 0) {
    // No rows: the title block and zero totals still print, so the page says what was asked.
    OpenGroup(1);
    CloseGroup(1);
  }
  stage_ = Stage::Rows;
}

void ReportRun::LayOutRow() {
  const std::span<const db::Value> next = rows_.Rows().Row();
  const bool newGroup1 = LevelExists(1) && (!hasRow_ || (keyColumn_[1] >= 0 && !SameKey(1, next)));
  const bool newGroup2 =
      LevelExists(2) && (!hasRow_ || newGroup1 || (keyColumn_[2] >= 0 && !SameKey(2, next)));
  // Footers close on the last row of their group, so their bound fields show that row.
  if (newGroup2) CloseGroup(2);
  if (newGroup1) CloseGroup(1);
  row_.assign(next.begin(), next.end());
  hasRow_ = true;
  streamOnRow_ = true;
  ++rowsDone_;
  if (newGroup1) OpenGroup(1);
  if (newGroup2) OpenGroup(2);
  Accumulate();
  Emit(SectionKind::Detail);
}

void ReportRun::End() {
  CloseGroup(2);
  CloseGroup(1);
  FinishPage();
  r_.ActiveReport_ReportEnd();
  // The snapshot and its connection are not needed for the second pass over the pages.
  rows_ = db::RowStream();
  stage_ = Stage::Done;
  sink_.End(pagesDone_);
}

bool ReportRun::Step(int rows) {
  if (Done()) return false;
  try {
    if (stage_ == Stage::NotStarted) Start();
    for (int n = 0; n < rows && nextPending_; ++n) {
      LayOutRow();
      streamOnRow_ = false;
      nextPending_ = rows_.Next();
    }
    if (!nextPending_) End();
  } catch (...) {
    stage_ = Stage::Failed;
    throw;
  }
  return !Done();
}

void ReportRun::Finish() {
  while (Step(4096)) {
  }
}

PageModel Report::Run(std::optional<PaperTwips> devicePaper) {
  PageModelSink sink;
  ReportRun(*this, sink, devicePaper).Finish();
  return sink.Take();
}

}  // namespace tarvel
