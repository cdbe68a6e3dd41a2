#include "reports/engine/PageSink.h"

namespace tarvel {

void FillPageCount(const PageFrame& frame, Page& page, int pageCount) {
  const QString text = PageCountText(pageCount);
  for (PageText& item : page.texts) {
    // Written once: a page read again keeps the text it was given.
    if (!frame.styles[item.style].pageCount || item.length != 0) continue;
    item.offset = static_cast<std::uint32_t>(page.chars.size());
    item.length = static_cast<std::uint32_t>(text.size());
    page.chars.append(text);
  }
}

void PageModelSink::End(int pageCount) {
  if (!model_.NeedsPageCount()) return;
  for (Page& page : model_.pages)
    FillPageCount(model_, page, pageCount);
}

}  // namespace tarvel
