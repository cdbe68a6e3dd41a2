#include "reports/engine/ReportFiles.h"

#include <QSaveFile>

#include "platform/Error.h"
#include "reports/engine/PageCountGate.h"
#include "reports/engine/PageStore.h"
#include "reports/engine/PdfRenderer.h"
#include "reports/engine/ReportRun.h"
#include "reports/engine/TextSink.h"

namespace tarvel {

int WriteReportPdf(Report& report, const QString& path, std::optional<PaperTwips> paper) {
  PdfPageSink pdf(path);
  PageCountGate gate(pdf);
  ReportRun run(report, gate, paper);
  run.Finish();
  return run.PagesDone();
}

int WriteReportText(Report& report, QIODevice& device, std::optional<PaperTwips> paper) {
  TextSink text;
  ReportRun(report, text, paper).Finish();
  text.WriteTo(device);
  return text.PageCount();
}

int WriteReportText(Report& report, const QString& path, std::optional<PaperTwips> paper) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    throw Error(QStringLiteral("無法寫入檔案：%1（%2）").arg(path, file.errorString()));
  const int pages = WriteReportText(report, file, paper);
  if (!file.commit())
    throw Error(QStringLiteral("無法寫入檔案：%1（%2）").arg(path, file.errorString()));
  return pages;
}

}  // namespace tarvel
