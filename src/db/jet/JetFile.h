// Reads a Jet database file through libmdb: Jet 3 (Access 97), Jet 4 (Access 2000 to 2003) and
// unencrypted ACCDB (Access 2007 and later): its header, catalog, its tables' columns and their
// rows, every value decoded to a plain number, text or bytes. Never writes.
//
// Every scan reads the file afresh (table definition, page map, pages), so what it returns is
// the file's content at the time of the scan, also while another workstation writes to it.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>
#include <string>
#include <vector>

#include "db/DbError.h"

namespace tarvel::db::jet {

/// A read that met a page that does not hold together: torn by a writer on another workstation
/// (the page is in flux) or damaged. The statement that met it may be tried again.
class InconsistentPage : public DbError {
 public:
  using DbError::DbError;
};

/// Jet's column types (the codes stored in the file).
enum class ColumnType {
  Boolean = 0x01,
  Byte = 0x02,
  Integer = 0x03,
  Long = 0x04,
  Money = 0x05,
  Single = 0x06,
  Double = 0x07,
  DateTime = 0x08,
  Binary = 0x09,
  Text = 0x0a,
  Ole = 0x0b,
  Memo = 0x0c,
  ReplicationId = 0x0f,
  Numeric = 0x10,
};
/// ACCDB's own column types, outside ColumnType so that code switching over it stays as it is.
inline constexpr int kComplexColumn = 0x12;  ///< attachments, multi-valued fields: kept elsewhere
inline constexpr int kBigIntColumn = 0x13;   ///< Access 2016's Large Number: 64 bits

struct Column {
  QString name;
  int type = 0;   ///< a ColumnType code; other codes read as bytes
  int size = 0;   ///< bytes for fixed types, the declared maximum for text
  int scale = 0;  ///< Numeric: digits after the point
  bool IsText() const;
  /// "Text(50)", "Long Integer", "Currency": Access's name of the type.
  QString TypeName() const;
};

/// One decoded value. Texts are UTF-8; Yes/No is -1 or 0 (Jet's own numbers for them); Currency
/// and Decimal with decimals are real numbers, whole Decimals whole numbers; Date/Time is the
/// text "YYYY-MM-DD HH:MM:SS" (what SQLite's date functions read, and in date order).
struct Cell {
  enum class Kind { Null, Integer, Real, Text, Blob };
  Kind kind = Kind::Null;
  qint64 integer = 0;
  double real = 0;
  std::string bytes;  ///< Text (UTF-8) or Blob
};

class File;

/// A stored query as the catalog names it.
struct QueryObject {
  QString name;
  qint64 id = 0;     ///< the low 24 bits of MSysObjects.Id, the key of its rows in MSysQueries
  qint64 flags = 0;  ///< MSysObjects.Flags: its bits 4 to 7 say the query's type
};

/// The sort order a file records in its header: the order Access compares and sorts its texts
/// in, and the order its text indexes were built in. Recorded as a Windows locale id.
struct SortOrder {
  enum class Kind {
    General,                   ///< 1033: Access's "General"
    TraditionalChineseStroke,  ///< 1028: Chinese (Taiwan), by stroke count
    Unknown,                   ///< any other: the program does not know its order
  };
  static constexpr int kGeneral = 1033;
  static constexpr int kTraditionalChineseStroke = 1028;
  int code = 0;
  Kind kind = Kind::Unknown;
  /// 「一般」, 「繁體中文筆劃」 or 「代碼 N」: the order in the user's words.
  QString Name() const;
  static SortOrder FromCode(int code);
};

/// A forward scan over one table's rows, on its own page buffers (several scans of one file,
/// a join of a table with itself included, run side by side).
class Scan {
 public:
  ~Scan();
  Scan(const Scan&) = delete;
  Scan& operator=(const Scan&) = delete;

  int ColumnCount() const { return static_cast<int>(columns_.size()); }
  const std::vector<Column>& Columns() const { return columns_; }
  /// Moves to the next live row (deleted rows skipped, moved rows read where they now are).
  /// False after the last. Throws InconsistentPage or DbError.
  bool Next();
  /// Column `index` of the current row, decoded on first use. Throws InconsistentPage.
  const Cell& Value(int index);
  /// A number that tells the rows of this scan apart: its page (bits 16 and up) and its index in
  /// that page's row table (a moved row's: where its pointer is).
  qint64 RowKey() const { return rowKey_; }

 private:
  friend class File;
  struct Impl;
  explicit Scan(std::unique_ptr<Impl> impl, std::vector<Column> columns);
  std::unique_ptr<Impl> impl_;
  std::vector<Column> columns_;
  qint64 rowKey_ = 0;
};

class File : public std::enable_shared_from_this<File> {
 public:
  /// Opens `path` read-only. Throws DbError, in words for the user, when it is not a Jet 3/4 or
  /// ACCDB file, is encrypted, or is too damaged or short to read its catalog.
  static std::shared_ptr<File> Open(const QString& path);
  /// The same over bytes in memory (tests and fuzzing): `name` stands in for the path in messages.
  static std::shared_ptr<File> OpenBytes(const QByteArray& bytes, const QString& name);
  ~File();
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  /// The page layout: 3 (Access 97) or 4 (Access 2000 to 2003, and ACCDB, which keeps it).
  int Version() const { return version_; }
  /// Whether the file is an ACCDB (Access 2007 or later).
  bool IsAccdb() const { return accdb_; }
  /// "Jet 4 (Access 2000–2003)", "ACCDB (Access 2010)", …: the format as its header says.
  QString FormatName() const;
  /// The sort order the header records.
  const jet::SortOrder& SortOrder() const { return sortOrder_; }
  const QString& Path() const { return path_; }

  /// The user tables, in catalog order.
  const QStringList& Tables() const { return tables_; }
  /// The stored queries, in catalog order.
  const std::vector<QueryObject>& Queries() const { return queries_; }
  /// The columns of `table` (a user or system table), read now. Throws DbError.
  std::vector<Column> Columns(const QString& table) const;
  /// The row count the table's definition holds (deleted rows excluded). Throws DbError.
  qint64 RowCount(const QString& table) const;
  /// A scan over `table`, starting before its first row; it keeps the file open. Throws DbError.
  std::unique_ptr<Scan> OpenScan(const QString& table) const;

 private:
  struct Handle;
  File(QString path);
  /// A catalog row: what MSysObjects says about one object.
  struct Object {
    QString name;
    int type = 0;
    unsigned long page = 0;  // its table definition page (the low bits of its Id)
    qint64 flags = 0;
  };
  void ReadHeader();
  void ReadCatalog();
  const Object* Find(const QString& table) const;
  QString path_;
  std::vector<Object> objects_;
  QByteArray bytes_;  // the file's content for OpenBytes; libmdb reads from it
  std::unique_ptr<Handle> handle_;
  int version_ = 0;
  int headerVersion_ = 0;  // the header's version byte: 0 Jet 3, 1 Jet 4, 2 and up ACCDB
  bool accdb_ = false;
  jet::SortOrder sortOrder_;
  QStringList tables_;
  std::vector<QueryObject> queries_;
};

/// "X 不是 Jet 資料庫…": a refusal for a file that is not a readable Jet file, naming it.
QString NotReadable(const QString& path, const QString& reason);

}  // namespace tarvel::db::jet
