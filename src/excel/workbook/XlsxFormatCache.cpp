#include "excel/workbook/XlsxFormatCache.h"

#include "excel/workbook/LibxlsxwriterGaps.h"
#include "excel/workbook/WorkbookError.h"

namespace tarvel::excel {
namespace {

// libxlsxwriter keeps names and number formats in fixed fields and cuts what does not fit.
constexpr int kMaxFieldBytes = 127;

QByteArray FieldText(const QString& text, const QString& what) {
  QByteArray utf8 = text.toUtf8();
  if (utf8.size() > kMaxFieldBytes) throw WorkbookError(what + QStringLiteral("太長：") + text);
  return utf8;
}

uint8_t BorderStyle(const Border& border) {
  if (border.lineStyle == XlLineStyle::kDouble) return LXW_BORDER_DOUBLE;
  switch (border.weight) {
    case XlBorderWeight::kMedium:
      return LXW_BORDER_MEDIUM;
    case XlBorderWeight::kThick:
      return LXW_BORDER_THICK;
    case XlBorderWeight::kThin:
      break;
  }
  return LXW_BORDER_THIN;
}

}  // namespace

XlsxFormatCache::XlsxFormatCache(lxw_workbook* book, const CellFormat& normal)
    : book_(book), normal_(normal) {}

lxw_format* XlsxFormatCache::For(const CellFormat& complete, bool quotePrefix) {
  if (!quotePrefix && complete == normal_) return nullptr;
  const QString key = (quotePrefix ? u'\'' : u' ') + complete.Key();
  const auto found = formats_.constFind(key);
  if (found != formats_.constEnd()) return *found;
  lxw_format* format = Create(complete, quotePrefix);
  formats_.insert(key, format);
  return format;
}

lxw_format* XlsxFormatCache::Create(const CellFormat& complete, bool quotePrefix) {
  const QByteArray fontName =
      FieldText(complete.fontName.value_or(QString()), QStringLiteral("字型名稱"));
  const QString numberFormat = complete.numberFormat.value_or(QString());
  const QByteArray numberFormatText = IsGeneralNumberFormat(numberFormat)
                                          ? QByteArray()
                                          : FieldText(numberFormat, QStringLiteral("數值格式"));
  lxw_format* format = workbook_add_format(book_);
  if (!format) throw WorkbookError(QStringLiteral("記憶體不足，無法建立儲存格格式。"));

  // Every format names its font: libxlsxwriter's own default is not the workbook's Normal font.
  format_set_font_name(format, fontName.constData());
  format_set_font_size(format, complete.fontSize.value_or(11));
  if (complete.bold.value_or(false)) format_set_bold(format);
  if (complete.underline.value_or(XlUnderlineStyle::kNone) == XlUnderlineStyle::kSingle)
    format_set_underline(format, LXW_UNDERLINE_SINGLE);
  const int fontRgb = PaletteRgb(complete.fontColor.value_or(XlColorIndex::kAutomatic));
  if (fontRgb >= 0) format_set_font_color(format, static_cast<lxw_color_t>(fontRgb));
  if (!numberFormatText.isEmpty()) format_set_num_format(format, numberFormatText.constData());

  switch (complete.horizontal.value_or(XlHAlign::kGeneral)) {
    case XlHAlign::kLeft:
      format_set_align(format, LXW_ALIGN_LEFT);
      break;
    case XlHAlign::kCenter:
      format_set_align(format, LXW_ALIGN_CENTER);
      break;
    case XlHAlign::kRight:
      format_set_align(format, LXW_ALIGN_RIGHT);
      break;
    case XlHAlign::kGeneral:
      break;
  }
  switch (complete.vertical.value_or(XlVAlign::kBottom)) {
    case XlVAlign::kTop:
      format_set_align(format, LXW_ALIGN_VERTICAL_TOP);
      break;
    case XlVAlign::kCenter:
      format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
      break;
    case XlVAlign::kBottom:
      break;
  }
  if (complete.wrapText.value_or(false)) format_set_text_wrap(format);

  if (complete.topBorder) {
    format_set_top(format, BorderStyle(*complete.topBorder));
    const int rgb = PaletteRgb(complete.topBorder->color);
    if (rgb >= 0) format_set_top_color(format, static_cast<lxw_color_t>(rgb));
  }
  if (complete.bottomBorder) {
    format_set_bottom(format, BorderStyle(*complete.bottomBorder));
    const int rgb = PaletteRgb(complete.bottomBorder->color);
    if (rgb >= 0) format_set_bottom_color(format, static_cast<lxw_color_t>(rgb));
  }

  if (quotePrefix) detail::MarkQuotePrefix(format);
  // Numbering the style now (rather than when its first cell is written) tells which styles
  // need the quote prefix before the workbook is closed and its formats are freed.
  const int32_t style = lxw_format_get_xf_index(format);
  if (quotePrefix) quotePrefixStyles_.push_back(style);
  return format;
}

}  // namespace tarvel::excel
