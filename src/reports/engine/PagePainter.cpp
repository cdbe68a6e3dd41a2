#include "reports/engine/PagePainter.h"

#include <QPageSize>
#include <QPagedPaintDevice>

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

PagePainter::PagePainter(QPainter& painter, const PageModel& model, double zoom)
    : painter_(painter), model_(model) {
  QPaintDevice* device = painter.device();
  sx_ = device->logicalDpiX() * zoom / double(kTwipsPerInch);
  sy_ = device->logicalDpiY() * zoom / double(kTwipsPerInch);
  fonts_.reserve(model.fonts.size());
  metrics_.reserve(model.fonts.size());
  for (const FontSpec& spec : model.fonts) {
    QFont font(ResolveFont(spec), device);
    font.setPointSizeF(font.pointSizeF() * zoom);
    fonts_.push_back(font);
    metrics_.emplace_back(font, device);
  }
}

PagePainter::Placement PagePainter::Place(const PageText& text, const Page& page,
                                          QPointF origin) const {
  const ItemStyle& style = model_.styles[text.style];
  const QFontMetricsF& metrics = metrics_[static_cast<size_t>(style.font)];
  const QRect box = model_.Box(text);
  Placement placement;
  placement.box = QRectF(origin.x() + box.left() * sx_, origin.y() + box.top() * sy_,
                         box.width() * sx_, box.height() * sy_);
  placement.string = page.Text(text).toString();
  placement.width = metrics.horizontalAdvance(placement.string);
  if (placement.width > placement.box.width()) {
    placement.string = FitBySpacing(std::move(placement.string), metrics, placement.box.width());
    placement.width = metrics.horizontalAdvance(placement.string);
  }
  placement.x = placement.box.left();
  if (style.alignment == Alignment::Right) {
    placement.x = placement.box.right() - placement.width;
  } else if (style.alignment == Alignment::Center) {
    placement.x = placement.box.left() + (placement.box.width() - placement.width) / 2;
  }
  placement.baseline = placement.box.top() + metrics.ascent();
  if (placement.width > placement.box.width()) {
    placement.x = placement.box.left();
    if (placement.width * kMinCondense <= placement.box.width())
      placement.condense = placement.box.width() / placement.width;
  }
  return placement;
}

QRectF PagePainter::TextRect(int index, std::size_t text, qsizetype from, qsizetype length,
                             QPointF origin) const {
  const Page& page = model_.pages.at(static_cast<size_t>(index));
  const PageText& item = page.texts.at(text);
  const Placement placement = Place(item, page, origin);
  const QFontMetricsF& metrics = metrics_[static_cast<size_t>(model_.styles[item.style].font)];
  qreal left = placement.x;
  qreal right = placement.x + placement.width * placement.condense;
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

void PagePainter::Paint(int index, QPointF origin) {
  const Page& page = model_.pages.at(static_cast<size_t>(index));
  painter_.save();
  painter_.setPen(Qt::black);
  int currentFont = -1;
  for (const PageText& text : page.texts) {
    const ItemStyle& style = model_.styles[text.style];
    if (style.font != currentFont) {
      currentFont = style.font;
      painter_.setFont(fonts_[static_cast<size_t>(currentFont)]);
    }
    const Placement placement = Place(text, page, origin);
    if (placement.width <= placement.box.width()) {
      painter_.drawText(QPointF(placement.x, placement.baseline), placement.string);
    } else if (placement.condense < 1) {
      // A little too wide (a date in a narrow column): condensed to fit rather than losing a digit.
      painter_.save();
      painter_.translate(placement.x, placement.baseline);
      painter_.scale(placement.condense, 1.0);
      painter_.drawText(QPointF(0, 0), placement.string);
      painter_.restore();
    } else {
      // Far too wide for its box: cut at the box, as the designer's text box does.
      painter_.save();
      painter_.setClipRect(placement.box, Qt::IntersectClip);
      painter_.drawText(QPointF(placement.x, placement.baseline), placement.string);
      painter_.restore();
    }
  }
  for (const PageLine& line : page.lines) {
    const ItemStyle& style = model_.styles[line.style];
    QPen pen(Qt::black);
    pen.setWidthF(std::max(style.lineWidth * sx_, 1.0));
    pen.setCapStyle(Qt::FlatCap);
    painter_.setPen(pen);
    const QLine l = model_.Line(line);
    painter_.drawLine(QPointF(origin.x() + l.x1() * sx_, origin.y() + l.y1() * sy_),
                      QPointF(origin.x() + l.x2() * sx_, origin.y() + l.y2() * sy_));
  }
  painter_.restore();
}

QPageLayout PageLayoutOf(const PageModel& model) {
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

void PaintPages(QPainter& painter, QPagedPaintDevice& device, const PageModel& model, int first,
                int last) {
  PagePainter pagePainter(painter, model);
  for (int index = first; index <= last; ++index) {
    if (index > first) device.newPage();
    pagePainter.Paint(index);
  }
}

}  // namespace tarvel
