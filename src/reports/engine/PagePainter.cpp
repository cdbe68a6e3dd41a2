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
    const QFontMetricsF& metrics = metrics_[static_cast<size_t>(currentFont)];
    const QRect box = model_.Box(text);
    const QRectF rect(origin.x() + box.left() * sx_, origin.y() + box.top() * sy_,
                      box.width() * sx_, box.height() * sy_);
    QString string = page.Text(text).toString();
    qreal width = metrics.horizontalAdvance(string);
    if (width > rect.width()) {
      string = FitBySpacing(std::move(string), metrics, rect.width());
      width = metrics.horizontalAdvance(string);
    }
    qreal x = rect.left();
    if (style.alignment == Alignment::Right) {
      x = rect.right() - width;
    } else if (style.alignment == Alignment::Center) {
      x = rect.left() + (rect.width() - width) / 2;
    }
    const QPointF baseline(x, rect.top() + metrics.ascent());
    if (width <= rect.width()) {
      painter_.drawText(baseline, string);
    } else if (width * kMinCondense <= rect.width()) {
      // A little too wide (a date in a narrow column): condensed to fit rather than losing a digit.
      painter_.save();
      painter_.translate(rect.left(), baseline.y());
      painter_.scale(rect.width() / width, 1.0);
      painter_.drawText(QPointF(0, 0), string);
      painter_.restore();
    } else {
      // Far too wide for its box: cut at the box, as the designer's text box does.
      painter_.save();
      painter_.setClipRect(rect, Qt::IntersectClip);
      painter_.drawText(QPointF(rect.left(), baseline.y()), string);
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
