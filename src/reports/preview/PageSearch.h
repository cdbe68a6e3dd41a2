// Finding a text in the pages of a report: what the preview's Ctrl+F looks for.
#pragma once

#include <QString>
#include <cstddef>
#include <vector>

#include "reports/engine/PageModel.h"

namespace tarvel {

/// One place a text was found: the page (from 0), the text on it (an index into Page::texts)
/// and the characters of that text that match.
struct PageHit {
  int page = 0;
  std::size_t text = 0;
  qsizetype from = 0;
  qsizetype length = 0;
  bool operator==(const PageHit&) const = default;
};

/// Every occurrence of `needle` in the texts of `pages` from page `firstPage` on, in reading
/// order: page by page, each page from top to bottom and left to right, several in one text from
/// its start. Letter case and the width of Latin letters and digits (full-width Ａ１ as A1) do not
/// count. An empty or blank needle finds nothing.
std::vector<PageHit> FindInPages(const PageSource& pages, const QString& needle, int firstPage = 0);

}  // namespace tarvel
