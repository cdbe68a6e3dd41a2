#include "reports/preview/PageView.h"

#include <QImage>
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

void PageView::SetHighlight(std::optional<PageHit> hit) {
  highlight_ = hit;
  update();
}

QRect PageView::HighlightRect() const {
  if (!highlight_ || model_ == nullptr || highlight_->page >= model_->PageCount()) return {};
  // Measured on a device of this widget's resolution, as paintEvent draws.
  QImage scratch(1, 1, QImage::Format_RGB32);
  scratch.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
  scratch.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
  QPainter painter(&scratch);
  const PagePainter pages(painter, *model_, zoom_);
  return pages.TextRect(highlight_->page, highlight_->text, highlight_->from, highlight_->length)
      .toAlignedRect();
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
  PagePainter pages(painter, *model_, zoom_);
  if (highlight_ && highlight_->page == page_)
    painter.fillRect(
        pages.TextRect(highlight_->page, highlight_->text, highlight_->from, highlight_->length),
        QColor(255, 214, 0));
  pages.Paint(page_);
}

}  // namespace tarvel
