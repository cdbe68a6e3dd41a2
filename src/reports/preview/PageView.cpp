#include "reports/preview/PageView.h"

#include <QPainter>

#include "reports/engine/PagePainter.h"

namespace tarvel {

PageView::PageView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageView::SetModel(const PageModel* model) {
  model_ = model;
  page_ = 0;
  resize(sizeHint());
  update();
}

void PageView::SetPage(int index) {
  page_ = index;
  update();
}

void PageView::SetZoom(double zoom) {
  zoom_ = zoom;
  resize(sizeHint());
  update();
}

QSizeF PageView::PaperPixels() const {
  if (model_ == nullptr) return {};
  return QSizeF(model_->paperWidth * logicalDpiX() / double(kTwipsPerInch),
                model_->paperHeight * logicalDpiY() / double(kTwipsPerInch));
}

QSize PageView::sizeHint() const {
  return (PaperPixels() * zoom_).toSize();
}

void PageView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (model_ == nullptr || page_ < 0 || page_ >= model_->PageCount()) return;
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  PagePainter(painter, *model_, zoom_).Paint(page_);
}

}  // namespace tarvel
