// The paginated result of a report run: pages of positioned texts and lines, replayed by every
// renderer (preview, printer, PDF, text dump) without running the query again.
//
// Kept compact for reports of thousands of pages: a control's box, font and alignment are stored
// once per run (ItemStyle, in the PageFrame); each page stores only band offsets and its texts in
// one character pool. Renderers read pages through PageSource: a PageModel keeps every page in
// memory, a PageStore (PageStore.h) keeps them within a memory budget.
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
  int font = -1;  ///< index into PageFrame::fonts (texts only)
  Alignment alignment = Alignment::Left;
  int lineWidth = 0;  ///< twips (lines only)
  /// A field that shows the number of pages of the whole report: its text on a page is written
  /// when the count is known (PageSource::PageAt gives it filled in).
  bool pageCount = false;
};

struct PageText {
  std::uint32_t style;
  std::int32_t bandTop;  ///< absolute top of the band on the page, twips
  std::uint32_t offset;  ///< start in Page::chars
  std::uint32_t length;
  bool operator==(const PageText&) const = default;
};

struct PageLine {
  std::uint32_t style;
  std::int32_t bandTop;
  bool operator==(const PageLine&) const = default;
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
  bool operator==(const PageBand&) const = default;
};

struct Page {
  std::vector<PageBand> bands;
  std::vector<PageText> texts;
  std::vector<PageLine> lines;
  QString chars;

  /// Equal item for item, character pool included (a page read back from a store equals the page
  /// written).
  bool operator==(const Page&) const = default;

  QStringView Text(const PageText& text) const {
    return QStringView(chars).mid(text.offset, text.length);
  }
  /// Bytes this page holds on the heap (what a page store counts against its budget).
  std::size_t HeapBytes() const {
    return bands.capacity() * sizeof(PageBand) + texts.capacity() * sizeof(PageText) +
           lines.capacity() * sizeof(PageLine) + static_cast<std::size_t>(chars.capacity()) * 2 +
           sizeof(Page);
  }
};

/// What every page of one run shares: paper, margins, fonts and the controls' styles.
struct PageFrame {
  QString title;          ///< the layout's name
  PageSettings settings;  ///< as ActiveReport_ReportStart left them
  int paperWidth = 0;     ///< twips, after orientation
  int paperHeight = 0;    ///< twips, after orientation
  int originX = 0;        ///< left margin, twips: added to every control's left
  std::vector<FontSpec> fonts;
  std::vector<ItemStyle> styles;

  /// Whether some page shows the page count: such pages are complete only after the run.
  bool NeedsPageCount() const {
    for (const ItemStyle& style : styles)
      if (style.pageCount) return true;
    return false;
  }

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

/// Pages to be read by a renderer, in any order.
class PageSource {
 public:
  virtual ~PageSource() = default;
  virtual const PageFrame& Frame() const = 0;
  /// The pages there are so far (a run still going adds more).
  virtual int PageCount() const = 0;
  /// Page `index` (0-based, < PageCount()), valid until the next PageAt on this source.
  virtual const Page& PageAt(int index) const = 0;
};

/// Every page of a run in memory: what Report::Run returns, for tests and small reports.
class PageModel : public PageFrame, public PageSource {
 public:
  std::vector<Page> pages;

  const PageFrame& Frame() const override { return *this; }
  int PageCount() const override { return static_cast<int>(pages.size()); }
  const Page& PageAt(int index) const override { return pages.at(static_cast<size_t>(index)); }
};

/// The text a page-count field shows for `pageCount` pages.
inline QString PageCountText(int pageCount) {
  return QString::number(pageCount);
}

}  // namespace tarvel
