// Where a report run hands its pages as they are finished: a page store, a PDF file, a printer.
#pragma once

#include "reports/engine/PageModel.h"

namespace tarvel {

class PageSink {
 public:
  virtual ~PageSink() = default;
  /// Before the first page. The frame stays valid and unchanged until End.
  virtual void Begin(const PageFrame& frame) = 0;
  /// The next page (numbered from 0 in the order given), finished: nothing on it changes any
  /// more, except the texts of page-count fields (PageFrame::NeedsPageCount), written by End.
  virtual void Add(Page&& page) = 0;
  /// After the last page: the run gave `pageCount` pages. Not called when the run fails or is
  /// cancelled.
  virtual void End(int pageCount) = 0;
};

/// Writes the page count into the page-count fields of `page`: a text of its own at the end of
/// the page's character pool, so the rest of the page stays as it was.
void FillPageCount(const PageFrame& frame, Page& page, int pageCount);

/// A sink that keeps every page in a PageModel (Report::Run).
class PageModelSink final : public PageSink {
 public:
  void Begin(const PageFrame& frame) override { static_cast<PageFrame&>(model_) = frame; }
  void Add(Page&& page) override { model_.pages.push_back(std::move(page)); }
  void End(int pageCount) override;
  PageModel Take() { return std::move(model_); }

 private:
  PageModel model_;
};

}  // namespace tarvel
