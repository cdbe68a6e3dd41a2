#include "XlsxReadback.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QProcess>

namespace tarvel::excel::test {
namespace {

// Python's own reading of the file; what it prints is parsed by the test.
constexpr char kReadScript[] = R"PY(
import json, sys
import openpyxl

def given(count):
    # An attribute left out of the file has the format's default, 1.
    return 1 if count is None else int(count)

def rgb(color):
    return color.rgb if color is not None and color.type == "rgb" else None

book = openpyxl.load_workbook(sys.argv[1])
# Read-only mode trusts the sheet's own record of its size, as streaming readers do.
streamed = openpyxl.load_workbook(sys.argv[1], read_only=True)
result = {"sheets": book.sheetnames, "sheet": {}}
for sheet in book.worksheets:
    cells = {}
    for row in sheet.iter_rows():
        for c in row:
            if c.value is None and not c.has_style:
                continue
            cells[c.coordinate] = {
                "value": c.value, "type": c.data_type, "format": c.number_format,
                "quote": bool(c.quotePrefix),
                "font": [c.font.name, c.font.sz, bool(c.font.b), c.font.u, rgb(c.font.color)],
                "align": [c.alignment.horizontal, c.alignment.vertical, bool(c.alignment.wrap_text)],
                "border": [c.border.top.style, c.border.bottom.style,
                           rgb(c.border.top.color), rgb(c.border.bottom.color)],
            }
    margins = sheet.page_margins
    setup = sheet.sheet_properties.pageSetUpPr
    result["sheet"][sheet.title] = {
        "cells": cells,
        "merged": sorted(str(r) for r in sheet.merged_cells.ranges),
        "rows": {str(n): d.height for n, d in sheet.row_dimensions.items() if d.height is not None},
        "default_row_height": sheet.sheet_format.defaultRowHeight,
        "columns": sorted([d.min, d.max, d.width] for d in sheet.column_dimensions.values()
                          if d.min is not None),
        "page": {"orientation": sheet.page_setup.orientation,
                 "paper": sheet.page_setup.paperSize,
                 "margins": [margins.left, margins.right, margins.top, margins.bottom,
                             margins.header, margins.footer],
                 "fit": [bool(setup and setup.fitToPage), given(sheet.page_setup.fitToWidth),
                         given(sheet.page_setup.fitToHeight)],
                 "breaks": [b.id for b in sheet.row_breaks.brk]},
        "dimension": streamed[sheet.title].calculate_dimension(),
        "max_column": streamed[sheet.title].max_column,
    }
print(json.dumps(result, ensure_ascii=False))
)PY";

}  // namespace

QByteArray UnzipPart(const QString& path, const QString& name) {
  QProcess unzip;
  // unzip reads names as patterns: "[" opens a character class.
  QString pattern = name;
  pattern.replace(u'[', QStringLiteral("[[]"));
  unzip.start(QStringLiteral("/usr/bin/unzip"), {QStringLiteral("-p"), path, pattern});
  if (!unzip.waitForFinished(60000) || unzip.exitCode() != 0) {
    ADD_FAILURE() << "unzip -p " << path.toStdString() << " " << name.toStdString()
                  << " failed: " << unzip.readAllStandardError().toStdString();
    return {};
  }
  return unzip.readAllStandardOutput();
}

QString XmlLines(const QByteArray& xml) {
  QString text = QString::fromUtf8(xml);
  text.replace(QStringLiteral("><"), QStringLiteral(">\n<"));
  if (!text.endsWith(u'\n')) text += u'\n';
  return text;
}

std::optional<QJsonObject> OpenpyxlRead(const QString& path) {
  QProcess probe;
  probe.start(QStringLiteral("/usr/bin/python3"),
              {QStringLiteral("-c"), QStringLiteral("import openpyxl")});
  if (!probe.waitForFinished(60000) || probe.exitStatus() != QProcess::NormalExit ||
      probe.exitCode() != 0)
    return std::nullopt;

  QProcess python;
  python.start(QStringLiteral("/usr/bin/python3"),
               {QStringLiteral("-c"), QString::fromUtf8(kReadScript), path});
  if (!python.waitForFinished(120000) || python.exitCode() != 0) {
    ADD_FAILURE() << "openpyxl could not read " << path.toStdString() << ":\n"
                  << python.readAllStandardError().toStdString();
    return QJsonObject();
  }
  QJsonParseError error;
  const QJsonDocument document = QJsonDocument::fromJson(python.readAllStandardOutput(), &error);
  if (error.error != QJsonParseError::NoError) {
    ADD_FAILURE() << "openpyxl's output is not JSON: " << error.errorString().toStdString();
    return QJsonObject();
  }
  return document.object();
}

}  // namespace tarvel::excel::test
