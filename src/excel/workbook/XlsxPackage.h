// Copies the .xlsx package (a zip file) libxlsxwriter made to its final place, replacing the
// parts the workbook patches and checking every part on the way, so that only a complete,
// undamaged file ever reaches the target.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QIODevice>
#include <QString>
#include <functional>

namespace tarvel::excel {

/// What a worksheet part must hold: libxlsxwriter does not notice failed writes of its row file
/// (a full disk), which would leave rows silently missing.
struct WorksheetExpectation {
  /// How many <row> elements libxlsxwriter was given.
  qint64 rows = 0;
  /// The number of the last of them (0 for none).
  int lastRow = 0;
};

struct PackageEdit {
  /// Parts replaced on the way: part name ("xl/styles.xml") to a function giving the new
  /// content from the old (it may throw WorkbookError). Each must be present in the package.
  QHash<QString, std::function<QByteArray(const QByteArray&)>> replace;
  /// Worksheet parts ("xl/worksheets/sheet1.xml") and what each must hold.
  QHash<QString, WorksheetExpectation> worksheets;
};

/// Reads the zip package from `source` (open for reading, random access) and writes it to
/// `target` (open for writing), every part deflated as it was or, if replaced, anew. Every part
/// is inflated on the way and checked against its recorded size and CRC; worksheet parts must
/// also end their document and hold the rows expected. Throws WorkbookError for a package that
/// is damaged, uses ZIP64 or encryption, misses a part named in `edit`, fails a check, or for a
/// write to `target` that fails. `stopped` (may be empty) is asked between pieces of a quarter
/// megabyte: true gives up with SaveStopped.
void RewritePackage(QIODevice& source, QIODevice& target, const PackageEdit& edit,
                    const std::function<bool()>& stopped = {});

/// Hands the content of the part `name` ("content.xml") of the zip package in `source` (open
/// for reading, random access) to `sink` in pieces, checking its size and CRC. Throws
/// WorkbookError when the package is damaged or has no such part.
void ReadPackagePart(QIODevice& source, const QString& name,
                     const std::function<void(const char*, qint64)>& sink);

}  // namespace tarvel::excel
