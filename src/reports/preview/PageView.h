// The widget that shows one page of a PageModel at a zoom factor, inside the preview's scroll area.
#pragma once

#include <QWidget>

#include "reports/engine/PageModel.h"

namespace tarvel {

class PageView : public QWidget {
  Q_OBJECT

 public:
  explicit PageView(QWidget* parent = nullptr);

  /// The model is not owned and must outlive the view.
  void SetModel(const PageModel* model);
  void SetPage(int index);
  void SetZoom(double zoom);
  int Page() const { return page_; }
  double Zoom() const { return zoom_; }
  /// The size of the page at zoom 1, in this widget's pixels.
  QSizeF PaperPixels() const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const PageModel* model_ = nullptr;
  int page_ = 0;
  double zoom_ = 1.0;
};

}  // namespace tarvel
