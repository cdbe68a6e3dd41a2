#include "reports/preview/PageSearch.h"

#include <algorithm>
#include <numeric>

namespace tarvel {
namespace {

/// The text compared: full-width forms of ASCII characters as the ASCII ones, case folded. One
/// character for one, so positions carry over to the text shown.
QString Comparable(QStringView text) {
  QString folded = text.toString();
  for (QChar& c : folded)
    if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E) c = QChar(c.unicode() - 0xFF01 + 0x21);
  return folded.toCaseFolded();
}

}  // namespace

std::vector<PageHit> FindInPages(const PageSource& pages, const QString& needle, int firstPage) {
  std::vector<PageHit> hits;
  const QString wanted = Comparable(needle.trimmed());
  if (wanted.isEmpty()) return hits;
  const PageFrame& model = pages.Frame();
  for (int p = std::max(firstPage, 0); p < pages.PageCount(); ++p) {
    const Page& page = pages.PageAt(p);
    std::vector<std::size_t> order(page.texts.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
      const QRect boxA = model.Box(page.texts[a]);
      const QRect boxB = model.Box(page.texts[b]);
      return std::pair(boxA.top(), boxA.left()) < std::pair(boxB.top(), boxB.left());
    });
    for (const std::size_t t : order) {
      const QString text = Comparable(page.Text(page.texts[t]));
      for (qsizetype at = text.indexOf(wanted); at >= 0;
           at = text.indexOf(wanted, at + wanted.size()))
        hits.push_back({p, t, at, wanted.size()});
    }
  }
  return hits;
}

}  // namespace tarvel
