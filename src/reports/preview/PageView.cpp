#include "reports/preview/PageView.h"

#include <QImage>
#include <QPainter>

#include "reports/engine/PagePainter.h"

namespace tarvel {

PageView::PageView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PageView::SetPages(const PageSource* pages) {
  pages_ = pages;
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
  if (pages_ == nullptr) return {};
  return QSizeF(pages_->Frame().paperWidth * logicalDpiX() / double(kTwipsPerInch),
                pages_->Frame().paperHeight * logicalDpiY() / double(kTwipsPerInch));
}

void PageView::SetHighlight(std::optional<PageHit> hit) {
  highlight_ = hit;
  update();
}

QRect PageView::HighlightRect() const {
  if (!highlight_ || pages_ == nullptr || highlight_->page >= pages_->PageCount()) return {};
  // Measured on a device of this widget's resolution, as paintEvent draws.
  QImage scratch(1, 1, QImage::Format_RGB32);
  scratch.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
  scratch.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
  QPainter painter(&scratch);
  const PagePainter pages(painter, pages_->Frame(), zoom_);
  return pages
      .TextRect(pages_->PageAt(highlight_->page), highlight_->text, highlight_->from,
                highlight_->length)
      .toAlignedRect();
}

QSize PageView::sizeHint() const {
  return (PaperPixels() * zoom_).toSize();
}

void PageView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  if (pages_ == nullptr || page_ < 0 || page_ >= pages_->PageCount()) return;
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  PagePainter pages(painter, pages_->Frame(), zoom_);
  const tarvel::Page& page = pages_->PageAt(page_);
  if (highlight_ && highlight_->page == page_)
    painter.fillRect(pages.TextRect(page, highlight_->text, highlight_->from, highlight_->length),
                     QColor(255, 214, 0));
  pages.Paint(page);
}

}  // namespace tarvel
