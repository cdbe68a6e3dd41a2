// The widget that shows one page of a report at a zoom factor, inside the preview's scroll area,
// with the text found last marked.
#pragma once

#include <QWidget>

#include <optional>

#include "reports/engine/PageModel.h"
#include "reports/preview/PageSearch.h"

namespace tarvel {

class PageView : public QWidget {
  Q_OBJECT

 public:
  explicit PageView(QWidget* parent = nullptr);

  /// The pages are not owned and must outlive the view (or be replaced first).
  void SetPages(const PageSource* pages);
  void SetPage(int index);
  void SetZoom(double zoom);
  int Page() const { return page_; }
  double Zoom() const { return zoom_; }
  /// The size of the page at zoom 1, in this widget's pixels.
  QSizeF PaperPixels() const;
  /// Marks a found text; it shows while its page is shown. Nothing clears the mark.
  void SetHighlight(std::optional<PageHit> hit);
  const std::optional<PageHit>& Highlight() const { return highlight_; }
  /// Where the marked text is in this widget's pixels; empty without a mark.
  QRect HighlightRect() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const PageSource* pages_ = nullptr;
  int page_ = 0;
  double zoom_ = 1.0;
  std::optional<PageHit> highlight_;
};

}  // namespace tarvel
