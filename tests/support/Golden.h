// Golden files: a text the program produces, compared with the reviewed copy under tests/golden/.
// Run scripts/update-golden (TARVEL_UPDATE_GOLDEN=1) to write the copies anew after an intended
// change, then review the diff.
#pragma once

#include <QString>

namespace tarvel::test {

/// Compares `actual` with tests/golden/`name`; on a difference the failure names the first
/// differing line. With TARVEL_UPDATE_GOLDEN=1 in the environment it writes the file instead.
void ExpectGolden(const QString& name, const QString& actual);

/// The text pdftotext (-layout) reads back from a PDF file; fails the test when it cannot run.
QString PdfText(const QString& pdfPath);

}  // namespace tarvel::test
