// Writes a PageModel to a PDF file (QPdfWriter), with the report faces embedded as searchable text.
#pragma once

#include <QString>

#include "reports/engine/PageModel.h"

namespace tarvel {

/// Writes every page of `model` to `path`. The file is written under a temporary name beside the
/// target and renamed into place only when complete, so a failure leaves an older file intact.
/// Throws tarvel::Error with a description naming the file when it cannot be written.
void WritePdf(const PageModel& model, const QString& path);

}  // namespace tarvel
