// The one place where the layouts' Windows font names become installed faces.
#pragma once

#include <QFont>
#include <QString>

#include "reports/engine/ReportLayout.h"

namespace tarvel {

/// Registers the report faces from their files (AR PL UMing for 新細明體, AR PL UKai for 標楷體)
/// once per process. Fonts are added by file path, never from memory: a face without a file name
/// is written to PDF as outlines and the text is no longer searchable. Returns whether both files
/// were registered. Needs a QGuiApplication.
bool LoadReportFonts();

/// The installed family that stands in for a layout's family name ("新細明體" -> "AR PL UMing TW").
/// Names without a stand-in are returned unchanged.
QString ResolveFontFamily(const QString& layoutFamily);

/// The QFont for a layout font at its point size, unhinted so that widths scale linearly and every
/// device (screen, printer, PDF) measures a text alike.
QFont ResolveFont(const FontSpec& spec);

}  // namespace tarvel
