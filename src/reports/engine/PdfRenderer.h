// Writes report pages to a PDF file (QPdfWriter), with the report faces embedded as searchable
// text: all at once from pages kept, or page by page as a run finishes them.
#pragma once

#include <QString>
#include <memory>

#include "reports/engine/PageSink.h"

namespace tarvel {

/// Writes every page of `pages` to `path`. The file is written under a temporary name beside the
/// target and renamed into place only when complete, so a failure leaves an older file intact.
/// Throws tarvel::Error with a description naming the file when it cannot be written.
void WritePdf(const PageSource& pages, const QString& path);

/// A run's pages drawn into a PDF file as they come, so the file grows while the report is laid
/// out and no page is kept. The file is renamed into place by End; a sink destroyed before (a
/// failed or cancelled run) leaves no file and an older one intact. The pages must not need the
/// page count (PageFrame::NeedsPageCount): such reports go to a PageStore and WritePdf.
class PdfPageSink final : public PageSink {
 public:
  explicit PdfPageSink(QString path);
  ~PdfPageSink() override;
  PdfPageSink(const PdfPageSink&) = delete;
  PdfPageSink& operator=(const PdfPageSink&) = delete;

  /// Begin and End throw tarvel::Error when the file cannot be written.
  void Begin(const PageFrame& frame) override;
  void Add(Page&& page) override;
  void End(int pageCount) override;

 private:
  friend void WritePdf(const PageSource& pages, const QString& path);
  void Draw(const Page& page);

  struct Device;
  QString path_;
  PageFrame frame_;
  std::unique_ptr<Device> device_;
  int pages_ = 0;
};

}  // namespace tarvel
