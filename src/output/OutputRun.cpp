#include "output/OutputRun.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <functional>

#include "criteria/ReworkStatements.h"
#include "db/Connection.h"
#include "platform/UserInterface.h"
#include "reports/engine/PageStore.h"
#include "reports/engine/PdfRenderer.h"
#include "reports/engine/ReportRun.h"
#include "reports/engine/TextDump.h"
#include "reports/engine/TextSink.h"
#include "reports/preview/ReportOutput.h"

namespace tarvel {
namespace {

/// Runs `statement` once; true when it has rows, and then the company name is refreshed. A print
/// or preview keeps the rows open in their read snapshot, read up to the first, in `kept`: the
/// output reads on from there and prints the rows that were checked. An export only looks for the
/// first (it streams its own rows later). The check's own connection ends with this function,
/// before any message is shown.
bool HasRowsAndRefreshCompany(const QString& statement, OutputMode mode, AppContext& context,
                              std::optional<CheckedRows>& kept) {
  auto connection = db::Connection::Open(context.ConnectionString);
  if (mode == OutputMode::Excel) {
    if (!connection->HasRows(statement)) return false;
  } else {
    kept = CheckedRows::Open(context.ConnectionString, statement);
    if (!kept) return false;
  }
  const db::Recordset company =
      connection->OpenRecordset(QStringLiteral("select * from [COMPANY]"));
  // An empty [COMPANY] table leaves the heading without a name rather than failing every print.
  context.CompanyName =
      company.RecordCount() > 0 ? company.Text(QStringLiteral("COMPANY")) : QString();
  return true;
}

/// The run both windows share. `capture` takes the window's state into its record and answers
/// the row it leads to; `prepare` (may be empty) adjusts the record once rows were found.
OutputResult Run(OutputMode mode, AppContext& context, const RequestCriteria& criteria,
                 const std::function<const ReportRow&()>& capture,
                 const std::function<void(const ReportRow&)>& prepare, const OutputStep& output) {
  try {
    const ReportRow* row = nullptr;
    std::optional<CheckedRows> rows;
    bool found = false;
    {
      BusyPointer busy;
      Ui().ProcessEvents();
      row = &capture();
      const StatementUse use =
          mode == OutputMode::Excel ? StatementUse::Check : StatementUse::Layout;
      found = HasRowsAndRefreshCompany(row->Statement(criteria, use), mode, context, rows);
    }
    if (!found) {
      ShowMessage(QStringLiteral("查無任何資料!"), kExclamation, QStringLiteral("訊息"));
      return OutputResult::NoRows;
    }
    if (prepare) prepare(*row);
    CheckedRequest request{*row, mode, criteria, std::move(rows)};
    output(request);
    return OutputResult::Done;
  } catch (const Error& e) {
    ShowMessage(e.Description(), kCritical, QStringLiteral("印表錯誤"));
  } catch (const std::exception& e) {
    ShowMessage(QString::fromUtf8(e.what()), kCritical, QStringLiteral("印表錯誤"));
  }
  return OutputResult::Failed;
}

/// Writes a report's text to `path` through `write`, with the system's words for what failed. A
/// file is made beside the target and renamed over it once complete. A device or a pipe
/// (/dev/stdout, a named pipe) is written into instead: it cannot be made anew, and a file
/// renamed over it would replace the device itself wherever the user may (root's /dev/full).
void WriteTextFile(const QString& path, const std::function<void(QIODevice&)>& write) {
  const auto cannotWrite = [&](const QFileDevice& file) {
    return Error(QStringLiteral("無法寫入檔案：%1（%2）").arg(path, file.errorString()));
  };
  const QFileInfo target(path);
  if (target.exists() && !target.isFile() && !target.isDir()) {
    QFile device(path);
    if (!device.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) throw cannotWrite(device);
    write(device);
    return;
  }
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) throw cannotWrite(file);
  write(file);
  if (!file.commit()) throw cannotWrite(file);
}

/// Writes a report's text to the file of `files` or, without one, to `out`.
void WriteReportText(const ReportFiles& files, QTextStream& out,
                     const std::function<void(QIODevice&)>& write) {
  if (!files.textPath.isEmpty()) {
    WriteTextFile(files.textPath, write);
  } else if (QIODevice* device = out.device()) {
    out.flush();
    write(*device);
  } else {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    write(buffer);
    out << QString::fromUtf8(buffer.data());
  }
}

}  // namespace

std::unique_ptr<Report> CheckedRequest::CreateLayout() {
  std::unique_ptr<Report> report = row.CreateLayout(criteria);
  report->DataControl1.UseCheckedRows(std::exchange(rows, std::nullopt));
  return report;
}

OutputResult RequestOverview(const OverviewFormState& form, OutputMode mode, AppContext& context,
                             WorkOrderCriteria& criteria, const OutputStep& output) {
  const RequestCriteria request{.context = context, .overview = &criteria};
  return Run(
      mode, context, request,
      [&]() -> const ReportRow& {
        CaptureCriteria(form, criteria);
        return RowFor(form);
      },
      {}, output);
}

OutputResult RequestRework(const ReworkFormState& form, OutputMode mode, AppContext& context,
                           ReworkCriteria& criteria, const OutputStep& output) {
  const RequestCriteria request{.context = context, .rework = &criteria};
  return Run(
      mode, context, request,
      [&]() -> const ReportRow& {
        CaptureReworkCriteria(form, criteria);
        return ReworkRowFor(form.sopt選擇報表);
      },
      [&](const ReportRow& row) {
        if (mode == OutputMode::Excel && row.exporter != nullptr)
          criteria.ReportName = ReworkReportName(row.Choice());
      },
      output);
}

void PrintOrPreview(CheckedRequest& request, QWidget* parent, const PrintDialogFunction& dialog) {
  std::unique_ptr<Report> report = request.CreateLayout();
  if (request.mode == OutputMode::Preview)
    ShowReportModal(std::move(report), parent);
  else
    PrintReport(std::move(report), true, parent, dialog ? dialog : ExecPrintDialog);
}

int WriteReportFiles(CheckedRequest& request, const ReportFiles& files, QTextStream& out) {
  std::unique_ptr<Report> report = request.CreateLayout();
  if (files.pdfPath.isEmpty()) {
    // Text alone is written out page by page as the run goes.
    TextSink text;
    ReportRun(*report, text).Finish();
    report.reset();
    WriteReportText(files, out, [&](QIODevice& device) { text.WriteTo(device); });
    return text.PageCount();
  }
  // The pages are kept in a store (bounded memory), so one run serves both files.
  PageStore pages;
  ReportRun(*report, pages).Finish();
  report.reset();
  WritePdf(pages, files.pdfPath);
  if (!files.textPath.isEmpty())
    WriteTextFile(files.textPath, [&](QIODevice& device) { WriteText(pages, device); });
  return pages.PageCount();
}

excel::ExportOutcome ExportReport(const ReportRow& row, const RequestCriteria& criteria,
                                  const QString& targetPath, const excel::ExportWatch& watch) {
  if (row.exporter != nullptr) {
    const std::unique_ptr<excel::PageBlockSheet> sheet = row.CreateExport(criteria);
    return excel::ExportRows(
        *sheet, [&] { return row.Statement(criteria, StatementUse::Export); },
        QString::fromUtf8(row.exporter->errorTitle), criteria.context, targetPath, watch);
  }
  const excel::ExportResult refused = RunReportExport(row, criteria, targetPath);
  excel::ShowExportResult(refused);
  return refused.outcome;
}

excel::ExportResult RunReportExport(const ReportRow& row, const RequestCriteria& criteria,
                                    const QString& targetPath, const excel::ExportWatch& watch,
                                    excel::ExportStop* stop) {
  if (row.exporter == nullptr)
    return {.outcome = excel::ExportOutcome::Failed,
            .message = QStringLiteral("「%1」沒有轉Excel的格式").arg(row.Name()),
            .style = kCritical,
            .title = QStringLiteral("轉Excel錯誤")};
  const std::unique_ptr<excel::PageBlockSheet> sheet = row.CreateExport(criteria);
  return excel::RunExport(
      *sheet, [&] { return row.Statement(criteria, StatementUse::Export); },
      QString::fromUtf8(row.exporter->errorTitle), criteria.context, targetPath, watch, stop);
}

}  // namespace tarvel
