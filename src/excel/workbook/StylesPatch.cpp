#include "excel/workbook/StylesPatch.h"

#include <algorithm>
#include <utility>

#include "excel/workbook/WorkbookError.h"

namespace tarvel::excel {
namespace {

[[noreturn]] void Unexpected(const char* what) {
  throw WorkbookError(
      QStringLiteral("活頁簿的樣式表不是預期的格式（%1）").arg(QLatin1String(what)));
}

QByteArray Escaped(const QString& text) {
  return text.toHtmlEscaped().toUtf8();
}

/// Where the cell style numbered `number` lies in `styles`: its start and its length.
std::pair<qsizetype, qsizetype> CellStyle(const QByteArray& styles, int number) {
  const qsizetype cellXfs = styles.indexOf("<cellXfs ");
  const qsizetype end = styles.indexOf("</cellXfs>", cellXfs);
  if (cellXfs < 0 || end < 0) Unexpected("cellXfs");
  qsizetype at = cellXfs;
  for (int i = 0; i <= number; ++i) {
    at = styles.indexOf("<xf ", at + 1);
    if (at < 0 || at > end) Unexpected("xf");
  }
  const qsizetype close = styles.indexOf('>', at);
  if (close < 0 || close > end) Unexpected("xf");
  if (styles[close - 1] == '/') return {at, close + 1 - at};
  const qsizetype closing = styles.indexOf("</xf>", close);
  if (closing < 0 || closing > end) Unexpected("xf");
  return {at, closing + qsizetype(sizeof("</xf>") - 1) - at};
}

}  // namespace

QByteArray PatchStyles(const QByteArray& styles, const QString& fontName, double fontSize,
                       int defaultStyle, const std::vector<int>& quotePrefixStyles) {
  QByteArray result = styles;

  const qsizetype fonts = result.indexOf("<fonts ");
  if (fonts < 0) Unexpected("fonts");
  const qsizetype fontStart = result.indexOf("<font>", fonts);
  const qsizetype fontEnd = result.indexOf("</font>", fonts);
  if (fontStart < 0 || fontEnd < fontStart) Unexpected("font");
  const QByteArray normalFont = "<font><sz val=\"" + QByteArray::number(fontSize) +
                                "\"/><color theme=\"1\"/><name val=\"" + Escaped(fontName) +
                                "\"/><family val=\"2\"/></font>";
  result.replace(fontStart, fontEnd + qsizetype(sizeof("</font>") - 1) - fontStart, normalFont);

  if (defaultStyle > 0) {
    const auto [from, length] = CellStyle(result, defaultStyle);
    const QByteArray copy = result.mid(from, length);
    const auto [first, firstLength] = CellStyle(result, 0);
    result.replace(first, firstLength, copy);
  }

  if (quotePrefixStyles.empty()) return result;
  std::vector<int> wanted = quotePrefixStyles;
  std::sort(wanted.begin(), wanted.end());
  wanted.erase(std::unique(wanted.begin(), wanted.end()), wanted.end());
  const qsizetype cellXfs = result.indexOf("<cellXfs ");
  const qsizetype cellXfsEnd = result.indexOf("</cellXfs>", cellXfs);
  if (cellXfs < 0 || cellXfsEnd < 0) Unexpected("cellXfs");
  // Walk the styles in order, inserting behind the tag name of each wanted one.
  qsizetype at = cellXfs;
  qsizetype end = cellXfsEnd;
  int number = -1;
  auto next = wanted.begin();
  while (next != wanted.end()) {
    at = result.indexOf("<xf ", at + 1);
    if (at < 0 || at > end) Unexpected("xf");
    ++number;
    if (number != *next) continue;
    static constexpr char kQuotePrefix[] = " quotePrefix=\"1\"";
    result.insert(at + 3, kQuotePrefix);
    end += qsizetype(sizeof(kQuotePrefix) - 1);
    ++next;
  }
  return result;
}

}  // namespace tarvel::excel
