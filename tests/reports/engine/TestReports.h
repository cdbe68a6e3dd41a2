// Building blocks of the report tests: rows in memory, a layout whose handlers are lambdas and
// record their calls, and compact views of a page model (band positions as text).
#pragma once

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "db/Recordset.h"
#include "reports/engine/Report.h"

namespace tarvel::test {

inline db::Recordset Rows(QStringList names, const std::vector<std::vector<db::Value>>& rows) {
  return db::Recordset(std::move(names), rows);
}

/// A layout whose handlers log "Handler" (or what the hook returns) and run an optional hook.
class ScriptedReport : public Report {
 public:
  using Hook = std::function<void(ScriptedReport&)>;

  ScriptedReport(LayoutDefinition layout, db::Recordset rows)
      : Report(std::move(layout)), rows_(std::move(rows)) {}

  std::vector<QString> calls;
  Hook onInitialize, onReportStart, onPageHeader, onGroupHeader1, onGroupHeader2, onDetail,
      onGroupFooter2, onGroupFooter1, onPageFooter, onActivate;

  void ActiveReport_Initialize() override {
    DataControl1.SetRecordset(rows_);
    Call("Initialize", onInitialize);
  }
  void ActiveReport_ReportStart() override { Call("ReportStart", onReportStart); }
  void ActiveReport_ReportEnd() override { calls.push_back(QStringLiteral("ReportEnd")); }
  void ActiveReport_Activate() override { Call("Activate", onActivate); }
  void PageHeader_Format() override { Call("PageHeader", onPageHeader); }
  void GroupHeader1_Format() override { Call("GroupHeader1", onGroupHeader1); }
  void GroupHeader2_Format() override { Call("GroupHeader2", onGroupHeader2); }
  void Detail_Format() override { Call("Detail", onDetail); }
  void GroupFooter2_Format() override { Call("GroupFooter2", onGroupFooter2); }
  void GroupFooter1_Format() override { Call("GroupFooter1", onGroupFooter1); }
  void PageFooter_Format() override { Call("PageFooter", onPageFooter); }

  /// Appended to the name of the call being logged (":A" for the group of PO A).
  QString note;

 private:
  void Call(const char* name, const Hook& hook) {
    note.clear();
    if (hook) hook(*this);
    calls.push_back(QString::fromLatin1(name) + note);
  }
  db::Recordset rows_;
};

inline ControlDef FieldDef(QString name, QString dataField, int left = 0, int width = 1000) {
  ControlDef def;
  def.kind = ControlKind::Field;
  def.name = std::move(name);
  def.dataField = std::move(dataField);
  def.left = left;
  def.width = width;
  def.height = 250;
  return def;
}

inline ControlDef LabelDef(QString name, QString caption, int left = 0, int width = 1000) {
  ControlDef def;
  def.kind = ControlKind::Label;
  def.name = std::move(name);
  def.text = std::move(caption);
  def.left = left;
  def.width = width;
  def.height = 250;
  return def;
}

inline ControlDef SummaryFieldDef(QString name, QString dataField, SummaryFunction function,
                                  SummaryRunning running = SummaryRunning::Group,
                                  SectionKind group = SectionKind::GroupHeader1) {
  ControlDef def = FieldDef(std::move(name), std::move(dataField));
  def.summary = {function, running, group};
  return def;
}

inline QString ShortName(SectionKind kind) {
  switch (kind) {
    case SectionKind::PageHeader:
      return QStringLiteral("PH");
    case SectionKind::GroupHeader1:
      return QStringLiteral("GH1");
    case SectionKind::GroupHeader2:
      return QStringLiteral("GH2");
    case SectionKind::Detail:
      return QStringLiteral("D");
    case SectionKind::GroupFooter2:
      return QStringLiteral("GF2");
    case SectionKind::GroupFooter1:
      return QStringLiteral("GF1");
    case SectionKind::PageFooter:
      return QStringLiteral("PF");
  }
  return {};
}

/// Per page: "GH1:1000 D:2000 …" (section and top of every band, in page order).
inline QStringList BandTops(const PageModel& model) {
  QStringList pages;
  for (const Page& page : model.pages) {
    QStringList bands;
    for (const PageBand& band : page.bands) {
      bands << QStringLiteral("%1:%2").arg(ShortName(band.section)).arg(band.top);
    }
    pages << bands.join(QLatin1Char(' '));
  }
  return pages;
}

/// Every printed text of control `name`, in page order, as "page:text".
inline QStringList TextsOf(const PageModel& model, const QString& name) {
  QStringList texts;
  for (int p = 0; p < model.PageCount(); ++p) {
    const Page& page = model.pages[static_cast<size_t>(p)];
    for (const PageText& text : page.texts) {
      if (model.styles[text.style].control == name) {
        texts << QStringLiteral("%1:%2").arg(p + 1).arg(page.Text(text));
      }
    }
  }
  return texts;
}

/// The descriptors of this process that lead into `folder`: a page store's nameless temporary
/// file shows as "folder/#123 (deleted)".
inline int OpenFilesIn(const QString& folder) {
  const QString canonical = QFileInfo(folder).canonicalFilePath();
  if (canonical.isEmpty()) return 0;
  int count = 0;
  const QDir fds(QStringLiteral("/proc/self/fd"));
  for (const QString& fd : fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
    char target[4096];
    const QByteArray link = QFile::encodeName(fds.filePath(fd));
    const ssize_t length = ::readlink(link.constData(), target, sizeof target);
    if (length > 0 && QFile::decodeName(QByteArray(target, static_cast<int>(length)))
                          .startsWith(canonical + u'/'))
      ++count;
  }
  return count;
}

}  // namespace tarvel::test
