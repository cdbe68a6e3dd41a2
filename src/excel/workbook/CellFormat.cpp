#include "excel/workbook/CellFormat.h"

#include <QStringList>

namespace tarvel::excel {
namespace {

template <typename T>
void Overlay(std::optional<T>& base, const std::optional<T>& over) {
  if (over) base = over;
}

QString KeyPart(const std::optional<QString>& value) {
  return value ? u'=' + *value : QStringLiteral("-");
}

QString KeyPart(const std::optional<double>& value) {
  return value ? u'=' + QString::number(*value, 'g', 17) : QStringLiteral("-");
}

QString KeyPart(const std::optional<bool>& value) {
  return value ? QString(*value ? u'1' : u'0') : QStringLiteral("-");
}

template <typename Enum>
QString KeyPart(const std::optional<Enum>& value) {
  return value ? QString::number(static_cast<int>(*value)) : QStringLiteral("-");
}

QString KeyPart(const std::optional<Border>& value) {
  if (!value) return QStringLiteral("-");
  return QStringLiteral("%1/%2/%3")
      .arg(static_cast<int>(value->lineStyle))
      .arg(static_cast<int>(value->weight))
      .arg(static_cast<int>(value->color));
}

QString ColorName(XlColorIndex color) {
  switch (color) {
    case XlColorIndex::kRed:
      return QStringLiteral("red");
    case XlColorIndex::kBlue:
      return QStringLiteral("blue");
    case XlColorIndex::kMagenta:
      return QStringLiteral("magenta");
    case XlColorIndex::kAutomatic:
      break;
  }
  return QStringLiteral("automatic");
}

QString HorizontalName(XlHAlign align) {
  switch (align) {
    case XlHAlign::kLeft:
      return QStringLiteral("left");
    case XlHAlign::kCenter:
      return QStringLiteral("center");
    case XlHAlign::kRight:
      return QStringLiteral("right");
    case XlHAlign::kGeneral:
      break;
  }
  return QStringLiteral("general");
}

QString VerticalName(XlVAlign align) {
  switch (align) {
    case XlVAlign::kTop:
      return QStringLiteral("top");
    case XlVAlign::kCenter:
      return QStringLiteral("center");
    case XlVAlign::kBottom:
      break;
  }
  return QStringLiteral("bottom");
}

QString BorderName(const Border& border) {
  QString name;
  if (border.lineStyle == XlLineStyle::kDouble) {
    name = QStringLiteral("double");
  } else {
    switch (border.weight) {
      case XlBorderWeight::kThin:
        name = QStringLiteral("thin");
        break;
      case XlBorderWeight::kMedium:
        name = QStringLiteral("medium");
        break;
      case XlBorderWeight::kThick:
        name = QStringLiteral("thick");
        break;
    }
  }
  if (border.color != XlColorIndex::kAutomatic) name += u' ' + ColorName(border.color);
  return name;
}

}  // namespace

CellFormat CellFormat::OverlaidWith(const CellFormat& over) const {
  CellFormat result = *this;
  Overlay(result.numberFormat, over.numberFormat);
  Overlay(result.fontName, over.fontName);
  Overlay(result.fontSize, over.fontSize);
  Overlay(result.bold, over.bold);
  Overlay(result.underline, over.underline);
  Overlay(result.fontColor, over.fontColor);
  Overlay(result.horizontal, over.horizontal);
  Overlay(result.vertical, over.vertical);
  Overlay(result.wrapText, over.wrapText);
  Overlay(result.topBorder, over.topBorder);
  Overlay(result.bottomBorder, over.bottomBorder);
  return result;
}

QString CellFormat::Key() const {
  // U+001F cannot occur in a font name or number format the routines give.
  return QStringList{KeyPart(numberFormat), KeyPart(fontName),    KeyPart(fontSize),
                     KeyPart(bold),         KeyPart(underline),   KeyPart(fontColor),
                     KeyPart(horizontal),   KeyPart(vertical),    KeyPart(wrapText),
                     KeyPart(topBorder),    KeyPart(bottomBorder)}
      .join(QChar(0x1F));
}

QString CellFormat::Description() const {
  QStringList parts;
  QStringList font;
  if (fontName) font << *fontName;
  if (fontSize) font << QString::number(*fontSize);
  if (bold) font << (*bold ? QStringLiteral("bold") : QStringLiteral("not bold"));
  if (underline)
    font << (*underline == XlUnderlineStyle::kSingle ? QStringLiteral("underline")
                                                     : QStringLiteral("no underline"));
  if (fontColor) font << ColorName(*fontColor);
  if (!font.isEmpty()) parts << font.join(u' ');
  if (horizontal || vertical) {
    parts << (horizontal ? HorizontalName(*horizontal) : QStringLiteral("-")) + u'/' +
                 (vertical ? VerticalName(*vertical) : QStringLiteral("-"));
  }
  if (wrapText) parts << (*wrapText ? QStringLiteral("wrap") : QStringLiteral("no wrap"));
  if (topBorder) parts << QStringLiteral("top ") + BorderName(*topBorder);
  if (bottomBorder) parts << QStringLiteral("bottom ") + BorderName(*bottomBorder);
  if (numberFormat) parts << *numberFormat;
  return parts.join(QStringLiteral("; "));
}

bool IsGeneralNumberFormat(const QString& format) {
  return format.isEmpty() || format.compare(QStringLiteral("General"), Qt::CaseInsensitive) == 0 ||
         format == QStringLiteral("G/通用格式");
}

}  // namespace tarvel::excel
