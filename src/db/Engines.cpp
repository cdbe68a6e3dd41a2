// The one place that names the engines: which one a connection string's data source, or a local
// path, opens. Every other file of the layer and above asks a connection what it can do
// (Connection::Can), never which engine it is.
#include <QFile>
#include <QFileInfo>

#include "db/Backend.h"
#include "db/Connection.h"
#include "db/jet/JetBackend.h"
#include "db/pg/PgBackend.h"
#include "db/pg/ServerUri.h"
#include "db/sqlite/SqliteBackend.h"
#include "platform/Paths.h"

namespace tarvel::db {
namespace {

enum class FileKind { Missing, Sqlite, Jet, Other };

// A file by its first bytes, whatever its name says.
FileKind Recognise(const QString& path) {
  const QFileInfo info(path);
  if (!info.exists()) return FileKind::Missing;
  if (!info.isFile()) return FileKind::Other;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return FileKind::Other;
  const QByteArray head = file.read(32);
  if (head.startsWith(QByteArrayLiteral("SQLite format 3\0"))) return FileKind::Sqlite;
  const QByteArray jetTag = head.mid(4, 16);
  if (jetTag == QByteArrayLiteral("Standard Jet DB\0") ||
      jetTag == QByteArrayLiteral("Standard ACE DB\0")) {
    return FileKind::Jet;
  }
  return FileKind::Other;
}

}  // namespace

std::unique_ptr<Backend> OpenBackend(const QString& place, bool create, Connection::Access access) {
  const bool readOnly = access == Connection::Access::Read;
  if (IsServerUri(place)) return std::make_unique<PgBackend>(place, readOnly);
  const FileKind kind = Recognise(place);
  const bool fresh = create && (kind == FileKind::Missing || QFileInfo(place).size() == 0);
  if (!fresh) {
    switch (kind) {
      case FileKind::Missing:
        throw DbError(QStringLiteral("找不到資料庫檔案：") + place);
      case FileKind::Jet:
        return JetBackend::OpenFile(place);
      case FileKind::Other:
        throw DbError(QStringLiteral("檔案不是可辨識的資料庫：") + place);
      case FileKind::Sqlite:
        break;
    }
  }
  return SqliteBackend::OpenFile(place, create && !readOnly, readOnly);
}

std::unique_ptr<Connection> Connection::Open(const QString& connectionString, Access access) {
  const ConnectionString keys = ConnectionString::Parse(connectionString);
  if (keys.dataSource.trimmed().isEmpty()) {
    throw DbError(QStringLiteral("連接字串沒有指定資料來源（Data Source）。"));
  }
  if (IsServerUri(keys.dataSource)) return OpenFile(keys.dataSource, false, access);
  const auto path = ResolveExistingPath(keys.dataSource);
  if (!path) {
    // A mistyped URI is shown without its password too.
    throw DbError(QStringLiteral("找不到資料庫檔案：") +
                  LocalPathSyntax(RedactUri(keys.dataSource)));
  }
  return OpenFile(*path, false, access);
}

std::unique_ptr<Connection> Connection::OpenFile(const QString& path, bool create, Access access) {
  return std::unique_ptr<Connection>(new Connection(OpenBackend(path, create, access)));
}

}  // namespace tarvel::db
