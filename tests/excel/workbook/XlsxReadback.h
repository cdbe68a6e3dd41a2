// Reading a written workbook back the way its users' tools do: its parts through unzip, its
// cells through openpyxl (Debian's python3-openpyxl, run by the system interpreter).
#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace tarvel::excel::test {

/// The part `name` ("xl/styles.xml") of the .xlsx file at `path`, read by /usr/bin/unzip;
/// fails the test and returns nothing when unzip cannot read it.
QByteArray UnzipPart(const QString& path, const QString& name);

/// An XML text with one element per line, so golden-file differences name the element.
QString XmlLines(const QByteArray& xml);

/// What openpyxl reads from the workbook at `path`, as JSON: {"sheets": [names], "sheet":
/// {name: {"cells": {"A1": {"value", "type", "format", "quote", "font": [name, size, bold,
/// underline, rgb], "align": [horizontal, vertical, wrap], "border": [top, bottom, top rgb,
/// bottom rgb]}}, "merged": [...], "rows": {"1": height}, "default_row_height", "columns":
/// [[min, max, width]], "page": {"orientation", "paper", "margins": [l, r, t, b, header,
/// footer], "fit": [fit to pages, wide, tall], "breaks": [rows a page ends with]}, "dimension"
/// and "max_column" as a streaming reader (read-only mode) takes them from the sheet}}}.
/// Nothing when /usr/bin/python3 has no openpyxl (the caller skips); a failing read fails the
/// test.
std::optional<QJsonObject> OpenpyxlRead(const QString& path);

}  // namespace tarvel::excel::test
