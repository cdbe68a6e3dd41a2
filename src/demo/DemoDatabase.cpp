#include "demo/DemoDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QTextStream>
#include <filesystem>
#include <memory>
#include <system_error>

#include "common/SuiteRules.h"
#include "db/Connection.h"
#include "db/SqlText.h"
#include "db/pg/PgSchema.h"
#include "demo/DemoGenerator.h"
#include "demo/DemoSchemaSource.h"
#include "platform/Clock.h"
#include "platform/Error.h"

namespace tarvel::demo {

namespace {

using namespace Qt::StringLiterals;

constexpr std::int64_t kMaxOrders = 50'000'000;

/// The name of an existing entry of `folder` that the connection would take for KORV.mdb (the
/// data-source path is matched case-insensitively), or an empty text.
QString ExistingDatabaseName(const QDir& folder) {
  const QString wanted = QString::fromUtf8(kDemoFileName);
  for (const QString& name : folder.entryList(
           QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
           QDir::Name))
    if (name.compare(wanted, Qt::CaseInsensitive) == 0) return name;
  return {};
}

void CheckOptions(const DemoOptions& options, const QDate& today) {
  if (options.orders < 1 || options.orders > kMaxOrders)
    throw Error(u"the number of work orders must lie between 1 and %1, not %2"_s.arg(kMaxOrders)
                    .arg(options.orders));
  if (options.company.trimmed().isEmpty()) throw Error(u"the company name must not be empty"_s);
  // Two years back must still be a three-digit ROC year (民國 1 is 1912).
  if (!today.isValid() || today.year() < 1914 || today.year() > 2910)
    throw Error(u"the demo date must lie between 1914 and 2910 (three-digit ROC years)"_s);
}

/// Moves the finished file onto `target`. Without `replace` an existing target is never
/// overwritten (the name may have been taken since the check).
void MoveIntoPlace(const QString& from, const QString& target, bool replace) {
  if (!replace) {
    if (!QFile::rename(from, target))
      throw Error(u"cannot rename %1 to %2 (does it exist already?)"_s.arg(from, target));
    return;
  }
  std::error_code error;
  std::filesystem::rename(std::filesystem::path(from.toStdU16String()),
                          std::filesystem::path(target.toStdU16String()), error);
  if (error)
    throw Error(u"cannot replace %1: %2"_s.arg(target, QString::fromLocal8Bit(error.message())));
}

/// Columns a text takes in a terminal: Chinese characters take two.
int DisplayWidth(const QString& text) {
  int width = 0;
  for (const QChar c : text)
    width += c.unicode() >= 0x1100 ? 2 : 1;
  return width;
}

}  // namespace

QString DemoSchemaText() {
  return QString::fromUtf8(detail::SchemaSqlUtf8());
}

DemoSummary GenerateDemoDatabase(const QString& dir, const DemoOptions& options) {
  const QDate today = options.today.isValid() ? options.today : Today();
  CheckOptions(options, today);

  if (dir.trimmed().isEmpty()) throw Error(u"no folder given for the demo database"_s);
  if (!QDir().mkpath(dir)) throw Error(u"cannot create the folder %1"_s.arg(dir));
  const QDir folder(QFileInfo(dir).absoluteFilePath());
  const QString existing = ExistingDatabaseName(folder);
  if (!existing.isEmpty() && !options.force)
    throw Error(u"%1 already exists; add --force to replace it"_s.arg(folder.filePath(existing)));
  // Replacing keeps the existing spelling, so no second file with another letter case appears.
  const QString target =
      folder.filePath(existing.isEmpty() ? QString::fromUtf8(kDemoFileName) : existing);

  // Written beside the target and renamed into place when complete: a failed run removes its
  // partial file and leaves an existing database as it was.
  QTemporaryFile partial(folder.filePath(u"KORV.mdb.XXXXXX.part"_s));
  partial.setAutoRemove(true);
  if (!partial.open())
    throw Error(u"cannot create a file in %1: %2"_s.arg(folder.path(), partial.errorString()));
  const QString partialPath = partial.fileName();
  partial.close();

  DemoSummary summary;
  summary.company = options.company;
  summary.today = today;
  {
    const std::unique_ptr<db::Connection> connection = db::Connection::OpenFile(partialPath, true);
    // A fresh file that nobody else sees yet: no rollback journal, no waiting for the disk.
    connection->ExecuteScript(u"PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"_s);
    FillDemoDatabase(*connection, options, today, summary);
    // Write-ahead logging from here on (the mode is kept in the file): a long report or export
    // reads its snapshot while other programs go on saving work orders, where a rollback
    // journal would keep every writer waiting until the reader ends. The log is folded into
    // the file when this connection closes.
    connection->ExecuteScript(u"PRAGMA journal_mode=WAL;"_s);
  }
  // The suite's programs on every workstation read the file, and the registry table is written.
  partial.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                         QFileDevice::WriteGroup | QFileDevice::ReadOther);
  MoveIntoPlace(partialPath, target, !existing.isEmpty());
  partial.setAutoRemove(false);
  summary.filePath = target;
  return summary;
}

DemoSummary GenerateDemoOnServer(const QString& uri, const DemoOptions& options) {
  const QDate today = options.today.isValid() ? options.today : Today();
  CheckOptions(options, today);
  const std::unique_ptr<db::Connection> connection = db::Connection::OpenFile(uri);
  if (!options.force) {
    // Any table of the demo already there: a database in use is never replaced unasked.
    QStringList names;
    for (const QString& table : db::PgSchema::SchemaFromSqlite(DemoSchemaText()).tables)
      names << u'\'' + db::SqlEscape(table.toLower()) + u'\'';
    const db::Recordset found = connection->ReadNative(
        u"select c.relname from pg_class c join pg_namespace n on n.oid = c.relnamespace "
        u"where n.nspname = current_schema() and c.relname in (%1)"_s.arg(names.join(u',')));
    if (!found.EOF_())
      throw Error(u"%1 already holds the demo's table %2; add --force to replace it"_s.arg(
          connection->FilePath(), found.Text(u"relname"_s)));
  }
  DemoSummary summary;
  summary.company = options.company;
  summary.today = today;
  FillDemoDatabase(*connection, options, today, summary);
  summary.filePath = connection->FilePath();
  return summary;
}

QString DescribeDemoSummary(const DemoSummary& summary) {
  QString text;
  QTextStream out(&text);
  out << "Demo database: " << summary.filePath << "\n";
  out << "Company: " << summary.company;
  if (OffersProductionSheet(summary.company))
    out << "  (starts with 翠峰: the main window also offers report 表5)";
  out << "\n";
  out << "As of " << summary.today.toString(Qt::ISODate) << "; work orders dated "
      << summary.firstOrderDate << " to " << summary.lastOrderDate << " (ROC yyyMMdd)\n";
  const auto list = [&](bool views) {
    int width = 0;
    for (const DemoTableCount& t : summary.tables)
      if (t.view == views) width = std::max(width, DisplayWidth(t.table));
    for (const DemoTableCount& t : summary.tables)
      if (t.view == views)
        out << "  " << t.table << QString(width + 2 - DisplayWidth(t.table), u' ')
            << QString::number(t.rows).rightJustified(9) << "\n";
  };
  out << "Tables (rows written):\n";
  list(false);
  out << "Report sources (views over those tables, rows):\n";
  list(true);
  out << "Users (tags of the launch command line, after the token -qdx5170):\n";
  for (const DemoUser& u : summary.users)
    out << "  " << u.userName << ": -AD=" << u.adminName << " -NAME=" << u.userName
        << " -ID=" << u.employeeId << " -XLS=.xlsx -DOC=.docx -PID=<window>\n"
        << "      " << u.role << "\n";
  out << "To use it, put a KORV.DSN beside the program with the lines SITE=C and DBQ="
      << QDir::toNativeSeparators(summary.filePath) << "\n";
  out.flush();
  return text;
}

}  // namespace tarvel::demo
