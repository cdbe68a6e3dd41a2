// Replays pages of a PageModel onto any QPainter: the one drawing routine of preview, printer and
// PDF.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <vector>

#include "reports/engine/PageModel.h"

class QPagedPaintDevice;

namespace tarvel {

class PagePainter {
 public:
  /// `zoom` scales the page on devices that show it larger or smaller (the preview); printers and
  /// PDF use 1. Positions are converted with the painter device's own resolution, and texts are
  /// measured with that device's font metrics.
  PagePainter(QPainter& painter, const PageModel& model, double zoom = 1.0);

  /// Paints page `index` (0-based) with the paper's top-left corner at `origin` (device pixels).
  /// Texts are single lines, clipped to their control's box when they are wider.
  void Paint(int index, QPointF origin = {});

  /// Where Paint draws characters `from` to `from + length` of text `text` (an index into the
  /// page's texts) of page `index`, in device pixels: from the top of the text's box down by
  /// one line. A text whose blanks were narrowed to fit its box gives its whole extent.
  QRectF TextRect(int index, std::size_t text, qsizetype from, qsizetype length,
                  QPointF origin = {}) const;

  /// Device pixels per twip, horizontally and vertically.
  double ScaleX() const { return sx_; }
  double ScaleY() const { return sy_; }

 private:
  /// How one text is drawn: the (possibly narrowed) string, its box, its start and baseline,
  /// and the horizontal condensing of a text a little too wide (1: none).
  struct Placement {
    QString string;
    QRectF box;
    qreal width = 0;
    qreal x = 0;
    qreal baseline = 0;
    qreal condense = 1;
  };
  Placement Place(const PageText& text, const Page& page, QPointF origin) const;

  QPainter& painter_;
  const PageModel& model_;
  double sx_;
  double sy_;
  std::vector<QFont> fonts_;
  std::vector<QFontMetricsF> metrics_;
};

/// The page layout of a model: its paper and orientation, no margins (positions are from the
/// paper's edge).
QPageLayout PageLayoutOf(const PageModel& model);

/// Paints pages `first` to `last` (0-based, inclusive) on a paged device that `painter` is active
/// on, starting a new device page between them.
void PaintPages(QPainter& painter, QPagedPaintDevice& device, const PageModel& model, int first,
                int last);

}  // namespace tarvel
