#include "reports/DefinedReport.h"

#include <string_view>

#include "common/GroupedNumber.h"
#include "common/RocDate.h"
#include "criteria/ReworkStatements.h"
#include "platform/Conversions.h"
#include "platform/Error.h"
#include "reports/PrintedLayout.h"

namespace tarvel {

// What a band's handler writes: resolved once per instance, so a line costs no name lookups.
struct DefinedReport::CellPlan {
  ReportControl* target;
  Shows shows;
  Compute compute;
  std::vector<ReportControl*> inputs;
};

struct DefinedReport::BandPlan {
  SectionKind kind;
  std::vector<CellPlan> cells;
  ReportControl* shownWhen = nullptr;  ///< a field whose empty value leaves the band out
  bool columnsLine = false;            ///< the columns' line: counted in the footers
  /// Kept totals this band adds to: the total's index and the field it adds.
  std::vector<std::pair<size_t, ReportControl*>> adds;
};

struct DefinedReport::TotalPlan {
  const Total* total;
  int level;
  ReportControl* field;
  double kept = 0;
};

namespace {

void SetIfPresent(Report& report, const char* name, const QString& text) {
  const QString control = QString::fromUtf8(name);
  if (report.HasControl(control)) report.Control(control).SetText(text);
}

/// An unbound field's value, shown through the field's output format.
void SetFormattedValue(ReportControl& field, const QString& value) {
  field.SetValue(db::Value(value));
  const QString& pattern = field.Design().outputFormat;
  field.SetText(pattern.isEmpty() || value.isEmpty() ? value : Format(value, pattern));
}

/// The field of `controls` bound to `column` in the design, or nullptr.
ReportControl* FieldBoundTo(const std::vector<ReportControl*>& controls, const char* column) {
  const QString wanted = QString::fromUtf8(column);
  for (ReportControl* c : controls)
    if (c->Kind() == ControlKind::Field && c->Design().dataField == wanted) return c;
  return nullptr;
}

}  // namespace

DefinedReport::DefinedReport(const ReportDefinition& definition, const RequestCriteria& request)
    : Report(PrintedLayout(definition)), definition_(definition), context_(request.context) {
  if (definition.family == ReportFamily::Overview)
    overview_ = request.Overview();
  else
    rework_ = request.Rework();
}

DefinedReport::~DefinedReport() = default;

void DefinedReport::ActiveReport_Initialize() {
  DataControl1.ConnectionString = context_.ConnectionString + QLatin1Char(';');
  if (rework_) {
    DataControl1.Source = ReworkStatement(definition_.choice, *rework_);
    return;
  }
  DataControl1.Source = ComposeStatement(definition_.statement, *overview_, context_);
  // Only the overview rule has a date basis; the other rules select on the order date.
  if (definition_.statement.where != WhereRule::Overview ||
      overview_->DateBasis != DateBasis::Invoice)
    return;
  for (const Column& column : definition_.columns) {
    if (!column.followsDateBasis || column.field == nullptr) continue;
    const QString field = QString::fromUtf8(column.field);
    if (HasControl(field)) Field(field).SetDataField(QStringLiteral("發票日期"));
  }
}

void DefinedReport::Plan() {
  planned_ = true;
  // The controls of each band, to find the fields a cell reads by their columns.
  const auto controlsOf = [this](SectionKind kind) {
    std::vector<ReportControl*> controls;
    if (!HasSection(kind)) return controls;
    for (const ControlDef& def : Section(kind).Design().controls)
      controls.push_back(&Control(def.name));
    return controls;
  };
  const auto cellPlan = [&](const char* field, const Cell& cell,
                            const std::vector<ReportControl*>& band) {
    CellPlan plan{&Control(QString::fromUtf8(field)), cell.shows, cell.compute, {}};
    for (const char* input : cell.inputs) {
      ReportControl* bound = FieldBoundTo(band, input);
      if (bound == nullptr)
        throw Error(QStringLiteral("報表 %1 的 %2 讀取的欄位 %3 沒有繫結的控制項")
                        .arg(Name(), QString::fromUtf8(field), QString::fromUtf8(input)));
      plan.inputs.push_back(bound);
    }
    bands_.back().cells.push_back(std::move(plan));
  };

  const std::vector<ReportControl*> columns = controlsOf(definition_.columnsBand);
  bands_.push_back({.kind = definition_.columnsBand, .columnsLine = true});
  for (const Column& column : definition_.columns)
    if (column.field != nullptr) cellPlan(column.field, column.cell, columns);
  for (const Line& line : definition_.lines) {
    const std::vector<ReportControl*> controls = controlsOf(line.band);
    if (line.band != definition_.columnsBand) bands_.push_back({.kind = line.band});
    for (const LineCell& cell : line.cells)
      if (cell.field != nullptr) cellPlan(cell.field, cell.cell, controls);
    if (line.shownWhen != nullptr) bands_.back().shownWhen = FieldBoundTo(controls, line.shownWhen);
  }

  const auto planTotals = [&](const Footer& footer, int level) {
    for (const Total& total : footer.totals) {
      totals_.push_back({&total, level, &Control(QString::fromUtf8(total.field))});
      if (total.kind != TotalKind::Sum || total.engine) continue;
      for (BandPlan& band : bands_)
        for (const char* column : total.columns)
          if (ReportControl* field = FieldBoundTo(controlsOf(band.kind), column))
            band.adds.emplace_back(totals_.size() - 1, field);
    }
  };
  planTotals(definition_.footer, 1);
  if (definition_.innerFooter) planTotals(*definition_.innerFooter, 2);
}

DefinedReport::BandPlan* DefinedReport::BandOf(SectionKind kind) {
  if (!planned_) Plan();
  for (BandPlan& band : bands_)
    if (band.kind == kind) return &band;
  return nullptr;
}

void DefinedReport::FormatBand(SectionKind kind) {
  BandPlan* plan = BandOf(kind);
  if (plan == nullptr) return;
  BandPlan& band = *plan;
  if (band.shownWhen != nullptr && band.shownWhen->Value().Text().isEmpty()) {
    Section(kind).SetVisible(false);
    return;
  }
  CellInputs in;
  for (CellPlan& cell : band.cells) {
    ReportControl& target = *cell.target;
    switch (cell.shows) {
      case Shows::MonthDay:
        target.SetText(Format(target.Value().ToText().right(4), QStringLiteral("00/00")));
        break;
      case Shows::Grouped:
      case Shows::Plain:
        target.SetText(FormatGrouped(target.Value()));
        break;
      case Shows::GroupedValue:
        target.SetText(FormatGroupedNumber(Val(target.Value().ToText())));
        break;
      case Shows::Finished:
        target.SetText(target.Value().Text().isEmpty() ? QStringLiteral("N") : QStringLiteral("Y"));
        break;
      case Shows::Computed: {
        in.Clear();
        for (const ReportControl* input : cell.inputs)
          in.Add(input->Value());
        target.SetText(cell.compute(in, context_).ToText());
        break;
      }
      case Shows::Stored:
      case Shows::Typed:
      case Shows::FullDate:
      case Shows::Caption:
      case Shows::Blank:
        break;  // the engine's text, or a label
    }
  }
  for (const auto& [total, field] : band.adds)
    totals_[total].kept += field->Value().Number();
  if (band.columnsLine) {
    ++lines_[1];
    ++lines_[2];
  }
}

QString DefinedReport::DateBasisCaption(bool withColon) const {
  const DateBasis basis = overview_ ? overview_->DateBasis : DateBasis::Unset;
  if (!withColon)
    return basis == DateBasis::Invoice ? QStringLiteral("發票日期") : QStringLiteral("工單日期");
  return basis == DateBasis::Invoice  ? QStringLiteral("發票日期：")
         : basis == DateBasis::Finish ? QStringLiteral("完工日期：")
                                      : QStringLiteral("工單日期：");
}

void DefinedReport::FillTitleBlock() {
  SetIfPresent(*this, "txt公司名稱", context_.CompanyName);
  SetIfPresent(*this, "txt列印日期", RocToday());
  SetIfPresent(*this, "txt印表日期", RocToday());
  const QString& from = overview_ ? overview_->DateFrom : rework_->DateFrom;
  const QString& to = overview_ ? overview_->DateTo : rework_->DateTo;
  for (const auto& [first, last] :
       {std::pair{"txt日期1", "txt日期2"}, std::pair{"txt訂單日期_起", "txt訂單日期_末"}}) {
    if (!HasControl(QString::fromUtf8(first))) continue;
    SetFormattedValue(Field(QString::fromUtf8(first)), from);
    SetFormattedValue(Field(QString::fromUtf8(last)), to);
  }
  if (!overview_) return;
  const TitleBlock& title = definition_.title;
  if (title.dateCaptionByBasis) SetIfPresent(*this, title.dateCaptionName, DateBasisCaption(true));
  const WorkOrderCriteria& c = *overview_;
  SetIfPresent(*this, "txt送貨狀態",
               c.DeliveryFilter == DeliveryFilter::Cleared      ? QStringLiteral("已送清")
               : c.DeliveryFilter == DeliveryFilter::NotCleared ? QStringLiteral("未送清")
                                                                : QStringLiteral("全    部"));
  SetIfPresent(*this, "txt完工狀態",
               c.CompletionFilter == CompletionFilter::Finished     ? QStringLiteral("已完工")
               : c.CompletionFilter == CompletionFilter::Unfinished ? QStringLiteral("未完工")
                                                                    : QStringLiteral("全    部"));
}

void DefinedReport::GroupHeader1_Format() {
  FillTitleBlock();
  for (const Column& column : definition_.columns)
    if (column.captionByDateBasis && column.heading != nullptr)
      Label(QString::fromUtf8(column.heading)).SetCaption(DateBasisCaption(false));
  if (definition_.title.pageNumber) {
    // The title block repeats at the top of every page, so counting its instances numbers them.
    ++pageCounter_;
    Field(QStringLiteral("txt頁次")).SetText(QString::number(pageCounter_));
  }
}

void DefinedReport::GroupHeader2_Format() {
  FormatBand(SectionKind::GroupHeader2);
}

void DefinedReport::Detail_Format() {
  FormatBand(SectionKind::Detail);
}

void DefinedReport::GroupFooter2_Format() {
  FormatFooter(2);
}

void DefinedReport::GroupFooter1_Format() {
  FormatFooter(1);
}

void DefinedReport::FormatFooter(int level) {
  if (!planned_) Plan();
  const Footer& footer = level == 1 ? definition_.footer : *definition_.innerFooter;
  if (!footer.countByEngine)
    Field(QString::fromUtf8(footer.countField)).SetText(QString::number(lines_[level]));
  std::vector<double> values;
  std::vector<TotalPlan*> computed;
  for (TotalPlan& plan : totals_) {
    if (plan.level != level) continue;
    const Total& total = *plan.total;
    ReportControl& field = *plan.field;
    values.push_back(0);
    if (total.kind == TotalKind::Computed) {
      computed.push_back(&plan);
      continue;
    }
    if (total.kind == TotalKind::Hook) continue;
    if (!total.engine) {
      values.back() = plan.kept;
      field.SetText(FormatGroupedNumber(plan.kept));
      plan.kept = 0;  // the footer closes its group
      continue;
    }
    values.back() = field.Value().Number();
    field.SetText(total.shows == Shows::GroupedValue
                      ? FormatGroupedNumber(Val(field.Value().ToText()))
                      : FormatGrouped(field.Value()));
  }
  for (TotalPlan* plan : computed)
    plan->field->SetText(plan->total->compute(values, context_).ToText());
  lines_[level] = 0;
}

std::unique_ptr<Report> NewDefinedLayout(const ReportDefinition& definition,
                                         const RequestCriteria& request) {
  if (definition.layoutHook) return definition.layoutHook(definition, request);
  return std::make_unique<DefinedReport>(definition, request);
}

}  // namespace tarvel
