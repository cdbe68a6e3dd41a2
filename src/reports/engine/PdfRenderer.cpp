#include "reports/engine/PdfRenderer.h"

#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include "platform/Error.h"
#include "reports/engine/PagePainter.h"

namespace tarvel {
namespace {

Error CannotWrite(const QString& path, const QString& reason = {}) {
  return Error(reason.isEmpty() ? QStringLiteral("無法寫入 PDF 檔 %1").arg(path)
                                : QStringLiteral("無法寫入 PDF 檔 %1：%2").arg(path, reason));
}

}  // namespace

/// The open file, the writer on it and the painter on the writer, ended in that reverse order.
struct PdfPageSink::Device {
  Device(const QString& path, const PageFrame& frame) : file(path), writer(&file) {
    if (!file.open(QIODevice::WriteOnly)) throw CannotWrite(path, file.errorString());
    writer.setResolution(600);
    writer.setTitle(frame.title);
    writer.setCreator(QStringLiteral("Tarvel"));
    writer.setPageLayout(PageLayoutOf(frame));
    if (!painter.begin(&writer)) throw CannotWrite(path);
    pages = std::make_unique<PagePainter>(painter, frame);
  }
  ~Device() {
    if (painter.isActive()) painter.end();
  }
  QSaveFile file;
  QPdfWriter writer;
  QPainter painter;
  std::unique_ptr<PagePainter> pages;
};

PdfPageSink::PdfPageSink(QString path) : path_(std::move(path)) {}

PdfPageSink::~PdfPageSink() = default;

void PdfPageSink::Begin(const PageFrame& frame) {
  frame_ = frame;
  device_ = std::make_unique<Device>(path_, frame_);
}

void PdfPageSink::Add(Page&& page) {
  Draw(page);
}

void PdfPageSink::Draw(const Page& page) {
  if (pages_++ > 0) device_->writer.newPage();
  device_->pages->Paint(page);
}

void PdfPageSink::End(int) {
  device_->painter.end();
  const bool committed = device_->file.commit();
  const QString reason = device_->file.errorString();
  device_.reset();
  if (!committed) throw CannotWrite(path_, reason);
}

void WritePdf(const PageSource& pages, const QString& path) {
  PdfPageSink sink(path);
  sink.Begin(pages.Frame());
  for (int index = 0; index < pages.PageCount(); ++index)
    sink.Draw(pages.PageAt(index));
  sink.End(pages.PageCount());
}

}  // namespace tarvel
