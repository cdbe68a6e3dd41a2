#include "reports/engine/PageCountGate.h"

namespace tarvel {

void PageCountGate::Begin(const PageFrame& frame) {
  if (frame.NeedsPageCount()) {
    store_.emplace();
    store_->Begin(frame);
  } else {
    next_.Begin(frame);
  }
}

void PageCountGate::Add(Page&& page) {
  if (store_)
    store_->Add(std::move(page));
  else
    next_.Add(std::move(page));
}

void PageCountGate::End(int pageCount) {
  if (!store_) return next_.End(pageCount);
  // The second pass: over the pages kept, never over the rows.
  store_->End(pageCount);
  next_.Begin(store_->Frame());
  for (int index = 0; index < store_->PageCount(); ++index) {
    Page page = store_->PageAt(index);
    next_.Add(std::move(page));
  }
  next_.End(pageCount);
  store_.reset();
}

}  // namespace tarvel
