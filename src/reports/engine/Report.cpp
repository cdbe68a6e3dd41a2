#include "reports/engine/Report.h"

#include <QFile>
#include <QLocale>
#include <cmath>

#include "db/Connection.h"
#include "platform/Conversions.h"
#include "platform/Error.h"

namespace tarvel {

QString SectionName(SectionKind kind) {
  switch (kind) {
    case SectionKind::PageHeader:
      return QStringLiteral("PageHeader");
    case SectionKind::GroupHeader1:
      return QStringLiteral("GroupHeader1");
    case SectionKind::GroupHeader2:
      return QStringLiteral("GroupHeader2");
    case SectionKind::Detail:
      return QStringLiteral("Detail");
    case SectionKind::GroupFooter2:
      return QStringLiteral("GroupFooter2");
    case SectionKind::GroupFooter1:
      return QStringLiteral("GroupFooter1");
    case SectionKind::PageFooter:
      return QStringLiteral("PageFooter");
  }
  return {};
}

PaperTwips PaperSizeTwips(int paperSize) {
  // Printer paper-size codes of the Windows printing API, the codes the layouts were written for.
  switch (paperSize) {
    case 1:
      return {12240, 15840};  // Letter
    case 5:
      return {12240, 20160};  // Legal
    case 8:
      return {16838, 23811};  // A3
    case 9:
      return {11906, 16838};  // A4
    case 11:
      return {8391, 11906};  // A5
    case 13:
      return {10319, 14571};  // B5 (JIS)
    default:
      break;
  }
  throw Error(QStringLiteral("不支援的紙張大小代碼 %1").arg(paperSize));
}

PaperTwips SystemDefaultPaper() {
  QString name = qEnvironmentVariable("PAPERSIZE").trimmed();
  if (name.isEmpty()) {
    QFile file(QStringLiteral("/etc/papersize"));
    if (file.open(QIODevice::ReadOnly | QIODevice::Text)) {
      // Comment lines start with '#'; the first other line names the paper.
      while (!file.atEnd() && name.isEmpty()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (!line.startsWith(u'#')) name = line.section(u' ', 0, 0);
      }
    }
  }
  name = name.toLower();
  if (name.isEmpty())
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? PaperSizeTwips(1)
                                                                              : PaperSizeTwips(9);
  static const std::pair<const char*, int> kNames[] = {{"letter", 1}, {"legal", 5}, {"a3", 8},
                                                       {"a4", 9},     {"a5", 11},   {"b5", 13}};
  for (const auto& [known, code] : kNames)
    if (name == QLatin1String(known)) return PaperSizeTwips(code);
  return PaperSizeTwips(9);
}

ReportControl::ReportControl(const ControlDef& def)
    : def_(&def), text_(def.text), visible_(def.visible), dataField_(def.dataField) {}

void ReportControl::MakeText() const {
  // A number is formatted as it is, not written out and read back first: Format reads the
  // number's text to the same 15 significant digits it rounds on.
  const QString& outputFormat = def_->outputFormat;
  textFromValue_ = false;
  if (!outputFormat.isEmpty() && value_.IsNumber()) {
    const double number =
        value_.IsInteger() ? static_cast<double>(value_.AsInteger()) : value_.AsReal();
    if (std::isfinite(number)) {
      text_ = FormatNumber(number, outputFormat);
      return;
    }
  }
  text_ = value_.Text();
  if (!outputFormat.isEmpty() && !text_.isEmpty()) text_ = Format(text_, outputFormat);
}

void ReportControl::SetValue(db::Value value) {
  value_ = std::move(value);
}

void ReportControl::SetDataField(QString column) {
  dataField_ = std::move(column);
  column_ = -2;
}

std::optional<CheckedRows> CheckedRows::Open(const QString& connectionString, QString statement) {
  db::RowStream rows = db::RowStream::Open(connectionString, statement);
  if (!rows.HasRows()) return std::nullopt;
  return CheckedRows{std::move(statement), std::move(rows)};
}

db::RowStream DataControl::OpenRows() {
  if (rows_) return db::RowStream::Over(rows_);
  if (first_) return *std::exchange(first_, std::nullopt);
  return db::RowStream::Open(ConnectionString, Source);
}

Report::Report(LayoutDefinition layout) : layout_(std::move(layout)) {
  for (const SectionDef& sectionDef : layout_.sections) {
    const auto index = static_cast<size_t>(sectionDef.kind);
    if (byKind_[index] != nullptr) {
      throw Error(
          QStringLiteral("報表 %1 的區段 %2 重複").arg(layout_.name, SectionName(sectionDef.kind)));
    }
    sections_.push_back(std::unique_ptr<ReportSection>(new ReportSection(sectionDef)));
    ReportSection* section = sections_.back().get();
    byKind_[index] = section;
    for (const ControlDef& controlDef : sectionDef.controls) {
      controls_.push_back(std::unique_ptr<ReportControl>(new ReportControl(controlDef)));
      ReportControl* control = controls_.back().get();
      section->controls_.push_back(control);
      if (!controlDef.name.isEmpty()) byName_.insert(controlDef.name, control);
    }
  }
}

Report::~Report() = default;

void Report::Initialize() {
  if (initialized_) return;
  initialized_ = true;
  ActiveReport_Initialize();
}

ReportControl& Report::Control(const QString& name) {
  auto it = byName_.find(name);
  if (it == byName_.end()) {
    throw Error(QStringLiteral("報表 %1 沒有控制項 %2").arg(layout_.name, name));
  }
  return **it;
}

ReportSection& Report::Section(SectionKind kind) {
  ReportSection* section = byKind_[static_cast<size_t>(kind)];
  if (section == nullptr) {
    throw Error(QStringLiteral("報表 %1 沒有區段 %2").arg(layout_.name, SectionName(kind)));
  }
  return *section;
}

bool Report::HasSection(SectionKind kind) const {
  return byKind_[static_cast<size_t>(kind)] != nullptr;
}

void Report::RaiseFormat(SectionKind kind) {
  switch (kind) {
    case SectionKind::PageHeader:
      PageHeader_Format();
      break;
    case SectionKind::GroupHeader1:
      GroupHeader1_Format();
      break;
    case SectionKind::GroupHeader2:
      GroupHeader2_Format();
      break;
    case SectionKind::Detail:
      Detail_Format();
      break;
    case SectionKind::GroupFooter2:
      GroupFooter2_Format();
      break;
    case SectionKind::GroupFooter1:
      GroupFooter1_Format();
      break;
    case SectionKind::PageFooter:
      PageFooter_Format();
      break;
  }
}

}  // namespace tarvel
