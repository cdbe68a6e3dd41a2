// Replays report pages onto any QPainter: the one drawing routine of preview, printer and PDF.
#pragma once

#include <QFont>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QHash>
#include <QList>
#include <QPageLayout>
#include <QPainter>
#include <QRawFont>
#include <unordered_map>
#include <vector>

#include "reports/engine/PageModel.h"

class QPagedPaintDevice;

namespace tarvel {

/// Made once per device and run: the report's fonts are resolved for the device once, and every
/// text is shaped once per font (a cache of glyph runs), so a column of equal dates or names
/// costs one shaping. Each page is drawn with one glyph run per font.
class PagePainter {
 public:
  /// `zoom` scales the page on devices that show it larger or smaller (the preview); printers and
  /// PDF use 1. Positions are converted with the painter device's own resolution, and texts are
  /// measured with that device's font metrics.
  PagePainter(QPainter& painter, const PageFrame& frame, double zoom = 1.0);

  /// Paints `page` with the paper's top-left corner at `origin` (device pixels). Texts are single
  /// lines, condensed a little or else clipped to their control's box when they are wider.
  void Paint(const Page& page, QPointF origin = {});

  /// Where Paint draws characters `from` to `from + length` of text `text` (an index into the
  /// page's texts) of `page`, in device pixels: from the top of the text's box down by one line.
  /// A text whose blanks were narrowed to fit its box gives its whole extent.
  QRectF TextRect(const Page& page, std::size_t text, qsizetype from, qsizetype length,
                  QPointF origin = {}) const;

  /// Device pixels per twip, horizontally and vertically.
  double ScaleX() const { return sx_; }
  double ScaleY() const { return sy_; }

 private:
  /// A text shaped in one font: its glyph runs with the baseline at y = 0 and the first glyph's
  /// origin at x = 0, and its advance.
  struct Shaped {
    QList<QGlyphRun> runs;
    qreal width = 0;
  };
  /// How one text is drawn: the (possibly narrowed) string shaped, its box, its start and
  /// baseline, and the horizontal condensing of a text a little too wide (1: none).
  struct Placement {
    QString string;
    const Shaped* shaped = nullptr;
    QRectF box;
    qreal x = 0;
    qreal baseline = 0;
    qreal condense = 1;
    qreal Width() const { return shaped->width; }
  };
  const Shaped& Shape(int font, const QString& text) const;
  Placement Place(const PageText& text, const Page& page, QPointF origin) const;
  void DrawLines(const Page& page, QPointF origin);

  QPainter& painter_;
  const PageFrame& frame_;
  double sx_;
  double sy_;
  std::vector<QFont> fonts_;
  std::vector<QFontMetricsF> metrics_;
  /// Shaped texts by font and text (the font's index is the key's first character). Node-based,
  /// so a Shaped stays where it is while others are added.
  struct KeyHash {
    std::size_t operator()(const QString& key) const { return qHash(key); }
  };
  mutable std::unordered_map<QString, Shaped, KeyHash> shaped_;
  /// The glyphs of a page gathered per face, drawn as one glyph run each.
  struct Batch {
    QRawFont font;
    QList<quint32> glyphs;
    QList<QPointF> positions;
  };
  std::vector<Batch> batches_;
};

/// The page layout of a frame: its paper and orientation, no margins (positions are from the
/// paper's edge).
QPageLayout PageLayoutOf(const PageFrame& frame);

/// Paints pages `first` to `last` (0-based, inclusive) on a paged device that `painter` is active
/// on, starting a new device page between them.
void PaintPages(QPainter& painter, QPagedPaintDevice& device, const PageSource& pages, int first,
                int last);

}  // namespace tarvel
