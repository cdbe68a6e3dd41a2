#include "reports/engine/PdfRenderer.h"

#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "platform/Error.h"
#include "reports/engine/PagePainter.h"

namespace tarvel {

void WritePdf(const PageModel& model, const QString& path) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    throw Error(QStringLiteral("無法寫入 PDF 檔 %1：%2").arg(path, file.errorString()));
  }
  {
    QPdfWriter writer(&file);
    writer.setResolution(600);
    writer.setTitle(model.title);
    writer.setCreator(QStringLiteral("Tarvel"));
    writer.setPageLayout(PageLayoutOf(model));
    QPainter painter;
    if (!painter.begin(&writer)) {
      throw Error(QStringLiteral("無法寫入 PDF 檔 %1").arg(path));
    }
    if (model.PageCount() > 0) PaintPages(painter, writer, model, 0, model.PageCount() - 1);
    painter.end();
  }
  if (!file.commit()) {
    throw Error(QStringLiteral("無法寫入 PDF 檔 %1：%2").arg(path, file.errorString()));
  }
}

}  // namespace tarvel
