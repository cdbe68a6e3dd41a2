#include "db/RowText.h"

#include <charconv>
#include <cmath>

namespace tarvel::db {
namespace {

using namespace Qt::StringLiterals;

QString NumberText(double v) {
  if (!std::isfinite(v)) return QString::number(v);
  if (v == 0) return u"0"_s;  // also -0, which no reader writes with its sign
  char buffer[400];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed);
  if (result.ec != std::errc()) return QString::number(v, 'g', 17);
  return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString Plain(const Value& v) {
  switch (v.GetKind()) {
    case Value::Kind::Null:
      return {};
    case Value::Kind::Integer:
      return QString::number(v.AsInteger());
    case Value::Kind::Real:
      return NumberText(v.AsReal());
    case Value::Kind::Text:
      return v.AsText();
    case Value::Kind::Blob:
      return u"0x"_s + QString::fromLatin1(v.AsBlob().toHex());
  }
  return {};
}

QString Tsv(const QString& text) {
  QString out;
  for (QChar c : text) {
    if (c == u'\t')
      out += u"\\t"_s;
    else if (c == u'\n')
      out += u"\\n"_s;
    else if (c == u'\r')
      out += u"\\r"_s;
    else if (c == u'\\')
      out += u"\\\\"_s;
    else
      out += c;
  }
  return out;
}

QString Csv(const QString& text) {
  if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') &&
      !text.contains(u'\r'))
    return text;
  QString quoted = text;
  quoted.replace(u'"', u"\"\""_s);
  return u'"' + quoted + u'"';
}

QString Json(const QString& text) {
  QString out = u"\""_s;
  for (QChar c : text) {
    switch (c.unicode()) {
      case u'"':
        out += u"\\\""_s;
        break;
      case u'\\':
        out += u"\\\\"_s;
        break;
      case u'\n':
        out += u"\\n"_s;
        break;
      case u'\r':
        out += u"\\r"_s;
        break;
      case u'\t':
        out += u"\\t"_s;
        break;
      default:
        if (c.unicode() < 0x20)
          out += u"\\u%1"_s.arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
          out += c;
    }
  }
  return out + u'"';
}

QString JsonValue(const Value& v) {
  switch (v.GetKind()) {
    case Value::Kind::Null:
      return u"null"_s;
    case Value::Kind::Integer:
    case Value::Kind::Real:
      return std::isfinite(v.IsReal() ? v.AsReal() : 0.0) ? Plain(v) : Json(Plain(v));
    default:
      return Json(Plain(v));
  }
}

QString Line(const QStringList& fields, RowFormat format) {
  switch (format) {
    case RowFormat::Tsv:
      return fields.join(u'\t');
    case RowFormat::Csv:
      return fields.join(u',');
    case RowFormat::Json:
      return u'[' + fields.join(u',') + u']';
  }
  return {};
}

QString Field(const QString& text, RowFormat format) {
  return format == RowFormat::Tsv ? Tsv(text) : format == RowFormat::Csv ? Csv(text) : Json(text);
}

}  // namespace

void WriteRows(Cursor& rows, RowFormat format, QTextStream& out) {
  QStringList header;
  for (const QString& name : rows.FieldNames())
    header << Field(name, format);
  out << Line(header, format) << "\n";
  while (rows.Next()) {
    QStringList fields;
    for (int c = 0; c < rows.FieldCount(); ++c) {
      const Value& v = rows.Field(c);
      fields << (format == RowFormat::Json ? JsonValue(v) : Field(Plain(v), format));
    }
    out << Line(fields, format) << "\n";
  }
}

}  // namespace tarvel::db
