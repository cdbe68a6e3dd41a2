#include "reports/engine/PagePainter.h"

#include <QPageSize>
#include <QPagedPaintDevice>
#include <QTextLayout>
#include <algorithm>

#include "reports/engine/ReportFonts.h"

namespace tarvel {
namespace {

/// How far a text may be condensed horizontally to fit its box before it is cut instead.
constexpr qreal kMinCondense = 0.8;

bool IsSpacing(QChar c) {
  return c == QLatin1Char(' ') || c == QChar(0x3000);
}

/// Captions are spread over their column with runs of blanks ("客      戶"). When the face is
/// wider than the designer's, those runs shrink (the longest first) before anything is cut off.
QString FitBySpacing(QString text, const QFontMetricsF& metrics, qreal width) {
  while (metrics.horizontalAdvance(text) > width) {
    qsizetype bestStart = -1, bestLength = 1;
    for (qsizetype i = 0; i < text.size();) {
      if (!IsSpacing(text[i])) {
        ++i;
        continue;
      }
      qsizetype j = i;
      while (j < text.size() && IsSpacing(text[j]))
        ++j;
      // Only blanks between two words count: leading and trailing ones are alignment, not spread.
      if (i > 0 && j < text.size() && j - i > bestLength) {
        bestStart = i;
        bestLength = j - i;
      }
      i = j;
    }
    if (bestStart < 0) break;
    text.remove(bestStart, 1);
  }
  return text;
}

}  // namespace

PagePainter::PagePainter(QPainter& painter, const PageFrame& frame, double zoom)
    : painter_(painter), frame_(frame) {
  QPaintDevice* device = painter.device();
  sx_ = device->logicalDpiX() * zoom / double(kTwipsPerInch);
  sy_ = device->logicalDpiY() * zoom / double(kTwipsPerInch);
  fonts_.reserve(frame.fonts.size());
  metrics_.reserve(frame.fonts.size());
  for (const FontSpec& spec : frame.fonts) {
    QFont font(ResolveFont(spec), device);
    font.setPointSizeF(font.pointSizeF() * zoom);
    fonts_.push_back(font);
    metrics_.emplace_back(font, device);
  }
}

const PagePainter::Shaped& PagePainter::Shape(int font, const QString& text) const {
  QString key;
  key.reserve(text.size() + 1);
  key += QChar(static_cast<char16_t>(font));
  key += text;
  auto it = shaped_.find(key);
  if (it != shaped_.end()) return it->second;
  Shaped shaped;
  const QFont& face = fonts_[static_cast<size_t>(font)];
  QTextLayout layout(text, face, painter_.device());
  layout.setCacheEnabled(true);
  layout.beginLayout();
  const QTextLine line = layout.createLine();
  layout.endLayout();
  if (line.isValid()) {
    // The layout puts the baseline at the line's ascent: moved to 0, so a text is drawn at its
    // baseline whatever faces its characters came from.
    const qreal ascent = line.ascent();
    shaped.runs = layout.glyphRuns();
    for (QGlyphRun& run : shaped.runs) {
      QList<QPointF> positions = run.positions();
      for (QPointF& position : positions)
        position.ry() -= ascent;
      run.setPositions(positions);
    }
  }
  // Measured as the font's metrics measure it, so alignment and fitting are those of drawText.
  shaped.width = metrics_[static_cast<size_t>(font)].horizontalAdvance(text);
  return shaped_.emplace(std::move(key), std::move(shaped)).first->second;
}

PagePainter::Placement PagePainter::Place(const PageText& text, const Page& page,
                                          QPointF origin) const {
  const ItemStyle& style = frame_.styles[text.style];
  const QFontMetricsF& metrics = metrics_[static_cast<size_t>(style.font)];
  const QRect box = frame_.Box(text);
  Placement placement;
  placement.box = QRectF(origin.x() + box.left() * sx_, origin.y() + box.top() * sy_,
                         box.width() * sx_, box.height() * sy_);
  placement.string = page.Text(text).toString();
  placement.shaped = &Shape(style.font, placement.string);
  if (placement.Width() > placement.box.width()) {
    placement.string = FitBySpacing(std::move(placement.string), metrics, placement.box.width());
    placement.shaped = &Shape(style.font, placement.string);
  }
  const qreal width = placement.Width();
  placement.x = placement.box.left();
  if (style.alignment == Alignment::Right) {
    placement.x = placement.box.right() - width;
  } else if (style.alignment == Alignment::Center) {
    placement.x = placement.box.left() + (placement.box.width() - width) / 2;
  }
  placement.baseline = placement.box.top() + metrics.ascent();
  if (width > placement.box.width()) {
    placement.x = placement.box.left();
    if (width * kMinCondense <= placement.box.width())
      placement.condense = placement.box.width() / width;
  }
  return placement;
}

QRectF PagePainter::TextRect(const Page& page, std::size_t text, qsizetype from, qsizetype length,
                             QPointF origin) const {
  const PageText& item = page.texts.at(text);
  const Placement placement = Place(item, page, origin);
  const QFontMetricsF& metrics = metrics_[static_cast<size_t>(frame_.styles[item.style].font)];
  qreal left = placement.x;
  qreal right = placement.x + placement.Width() * placement.condense;
  // Blanks taken out to fit the box move the characters: then the whole text stands for them.
  if (placement.string == page.Text(item)) {
    left =
        placement.x + metrics.horizontalAdvance(placement.string.left(from)) * placement.condense;
    right = placement.x +
            metrics.horizontalAdvance(placement.string.left(from + length)) * placement.condense;
  }
  const QRectF rect(QPointF(left, placement.box.top()),
                    QPointF(right, placement.box.top() + metrics.height()));
  return rect.intersected(placement.box.adjusted(0, 0, 0, metrics.height()));
}

void PagePainter::Paint(const Page& page, QPointF origin) {
  // Bounded: a long report's unique texts (order numbers) would otherwise pile up.
  constexpr std::size_t kMaxShaped = 20000;
  if (shaped_.size() > kMaxShaped) shaped_.clear();
  for (Batch& batch : batches_) {
    batch.glyphs.clear();
    batch.positions.clear();
  }
  painter_.save();
  painter_.setPen(Qt::black);
  for (const PageText& text : page.texts) {
    const Placement placement = Place(text, page, origin);
    if (placement.Width() <= placement.box.width()) {
      const QPointF at(placement.x, placement.baseline);
      for (const QGlyphRun& run : placement.shaped->runs) {
        const QRawFont font = run.rawFont();
        auto batch = std::find_if(batches_.begin(), batches_.end(),
                                  [&](const Batch& b) { return b.font == font; });
        if (batch == batches_.end()) batch = batches_.insert(batches_.end(), Batch{font, {}, {}});
        batch->glyphs.append(run.glyphIndexes());
        for (const QPointF& position : run.positions())
          batch->positions.append(position + at);
      }
    } else if (placement.condense < 1) {
      // A little too wide (a date in a narrow column): condensed to fit rather than losing a digit.
      painter_.save();
      painter_.translate(placement.x, placement.baseline);
      painter_.scale(placement.condense, 1.0);
      for (const QGlyphRun& run : placement.shaped->runs)
        painter_.drawGlyphRun(QPointF(0, 0), run);
      painter_.restore();
    } else {
      // Far too wide for its box: cut at the box, as the designer's text box does.
      painter_.save();
      painter_.setClipRect(placement.box, Qt::IntersectClip);
      for (const QGlyphRun& run : placement.shaped->runs)
        painter_.drawGlyphRun(QPointF(placement.x, placement.baseline), run);
      painter_.restore();
    }
  }
  for (const Batch& batch : batches_) {
    if (batch.glyphs.isEmpty()) continue;
    QGlyphRun run;
    run.setRawFont(batch.font);
    run.setGlyphIndexes(batch.glyphs);
    run.setPositions(batch.positions);
    painter_.drawGlyphRun(QPointF(0, 0), run);
  }
  DrawLines(page, origin);
  painter_.restore();
}

void PagePainter::DrawLines(const Page& page, QPointF origin) {
  // Rules of one width are stroked together: one pen, one path.
  std::vector<std::pair<int, std::vector<QLineF>>> byWidth;
  for (const PageLine& line : page.lines) {
    const int width = frame_.styles[line.style].lineWidth;
    auto group = std::find_if(byWidth.begin(), byWidth.end(),
                              [width](const auto& g) { return g.first == width; });
    if (group == byWidth.end()) group = byWidth.insert(byWidth.end(), {width, {}});
    const QLine l = frame_.Line(line);
    group->second.emplace_back(QPointF(origin.x() + l.x1() * sx_, origin.y() + l.y1() * sy_),
                               QPointF(origin.x() + l.x2() * sx_, origin.y() + l.y2() * sy_));
  }
  for (const auto& [width, lines] : byWidth) {
    QPen pen(Qt::black);
    pen.setWidthF(std::max(width * sx_, 1.0));
    pen.setCapStyle(Qt::FlatCap);
    painter_.setPen(pen);
    painter_.drawLines(lines.data(), static_cast<int>(lines.size()));
  }
}

QPageLayout PageLayoutOf(const PageFrame& model) {
  QPageSize::PageSizeId id = QPageSize::Custom;
  switch (model.settings.paperSize.value_or(0)) {
    case 1:
      id = QPageSize::Letter;
      break;
    case 5:
      id = QPageSize::Legal;
      break;
    case 8:
      id = QPageSize::A3;
      break;
    case 9:
      id = QPageSize::A4;
      break;
    case 11:
      id = QPageSize::A5;
      break;
    case 13:
      id = QPageSize::JisB5;
      break;
    default:
      break;
  }
  const bool landscape = model.settings.orientation == Orientation::Landscape;
  // Without a code of its own the page has the device's paper; a size that is a standard one
  // (fuzzy match, the default) is known by that name to printers and PDF readers.
  QPageSize size = id != QPageSize::Custom
                       ? QPageSize(id)
                       : QPageSize(QSizeF(landscape ? model.paperHeight : model.paperWidth,
                                          landscape ? model.paperWidth : model.paperHeight) /
                                       20.0,
                                   QPageSize::Point);
  return QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                     QMarginsF(0, 0, 0, 0));
}

void PaintPages(QPainter& painter, QPagedPaintDevice& device, const PageSource& pages, int first,
                int last) {
  PagePainter pagePainter(painter, pages.Frame());
  for (int index = first; index <= last; ++index) {
    if (index > first) device.newPage();
    pagePainter.Paint(pages.PageAt(index));
  }
}

}  // namespace tarvel
