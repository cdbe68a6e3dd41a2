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

/// Counts the rows of a worksheet part's XML handed over in pieces of any size (as it is
/// inflated): its <row r="N"> elements (texts cannot hold "<": it is written &lt;), the number of
/// the last, and whether the document ends. Keeps only a short tail of what it was given.
class WorksheetRows {
 public:
  void Add(const char* data, qint64 size);
  qint64 Rows() const { return rows_; }
  /// The number of the last row element (0 before any).
  int LastRow() const { return lastRow_; }
  /// Whether what was given ends the worksheet's document.
  bool Ended() const;

 private:
  static constexpr qsizetype kSeam = 64;
  void ReadNumber(QByteArrayView text, qsizetype digits);

  QByteArray tail_;
  qint64 rows_ = 0;
  int lastRow_ = 0;
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
