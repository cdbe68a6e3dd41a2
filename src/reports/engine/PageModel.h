// The paginated result of a report run: pages of positioned texts and lines, replayed by every
// renderer (preview, printer, PDF, text dump) without running the query again.
//
// Kept compact for reports of thousands of pages: a control's box, font and alignment are stored
// once (ItemStyle); each page stores only band offsets and its texts in one character pool.
#pragma once

#include <QLine>
#include <QRect>
#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

#include "reports/engine/ReportLayout.h"

namespace tarvel {

/// The fixed part of one printed control: what every instance of it shares.
struct ItemStyle {
  QString control;  ///< control name ("txtPO")
  SectionKind section;
  ControlKind kind;
  QRect box;      ///< relative to the band's top-left corner, twips; for a line its end points
  int font = -1;  ///< index into PageModel::fonts (texts only)
  Alignment alignment = Alignment::Left;
  int lineWidth = 0;  ///< twips (lines only)
};

struct PageText {
  std::uint32_t style;
  std::int32_t bandTop;  ///< absolute top of the band on the page, twips
  std::uint32_t offset;  ///< start in Page::chars
  std::uint32_t length;
};

struct PageLine {
  std::uint32_t style;
  std::int32_t bandTop;
};

/// One section instance placed on a page; its texts and lines are the ranges given here.
struct PageBand {
  SectionKind section;
  std::int32_t top;
  std::int32_t height;
  std::uint32_t firstText;
  std::uint32_t textCount;
  std::uint32_t firstLine;
  std::uint32_t lineCount;
};

struct Page {
  std::vector<PageBand> bands;
  std::vector<PageText> texts;
  std::vector<PageLine> lines;
  QString chars;

  QStringView Text(const PageText& text) const {
    return QStringView(chars).mid(text.offset, text.length);
  }
};

class PageModel {
 public:
  QString title;          ///< the layout's name
  PageSettings settings;  ///< as ActiveReport_ReportStart left them
  int paperWidth = 0;     ///< twips, after orientation
  int paperHeight = 0;    ///< twips, after orientation
  int originX = 0;        ///< left margin, twips: added to every control's left
  std::vector<FontSpec> fonts;
  std::vector<ItemStyle> styles;
  std::vector<Page> pages;

  int PageCount() const { return static_cast<int>(pages.size()); }

  /// Absolute box of a text on its page, twips from the paper's top-left corner.
  QRect Box(const PageText& text) const {
    return styles[text.style].box.translated(originX, text.bandTop);
  }
  /// Absolute end points of a line, twips.
  QLine Line(const PageLine& line) const {
    const QRect& b = styles[line.style].box;
    return QLine(originX + b.left(), line.bandTop + b.top(), originX + b.left() + b.width(),
                 line.bandTop + b.top() + b.height());
  }
};

}  // namespace tarvel
