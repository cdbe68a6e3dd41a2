// In front of a sink that draws pages as they come (PDF, printer): passes them straight on, unless
// the report prints the page count; then they wait in a PageStore until the run is over and go
// on filled in.
#pragma once

#include <optional>

#include "reports/engine/PageStore.h"

namespace tarvel {

class PageCountGate final : public PageSink {
 public:
  /// `next` must outlive the gate.
  explicit PageCountGate(PageSink& next) : next_(next) {}

  void Begin(const PageFrame& frame) override;
  void Add(Page&& page) override;
  void End(int pageCount) override;

 private:
  PageSink& next_;
  std::optional<PageStore> store_;
};

}  // namespace tarvel
