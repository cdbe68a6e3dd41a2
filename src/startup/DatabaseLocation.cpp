#include "startup/DatabaseLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <cerrno>
#include <optional>

#include "db/pg/ServerUri.h"
#include "platform/HiddenAttribute.h"
#include "platform/OwnFile.h"
#include "platform/Paths.h"
#include "platform/SystemServices.h"
#include "platform/UserInterface.h"

namespace tarvel {
namespace {

bool EndsWithSeparator(const QString& folder) {
  // The platform's own separator counts too: the root folder "/" already ends in one, as a drive
  // root "C:\" does.
  return folder.endsWith(QLatin1Char('\\')) || folder.endsWith(QLatin1Char('/'));
}

QString WithSeparator(const QString& folder) {
  return EndsWithSeparator(folder) ? folder : folder + QLatin1Char('\\');
}

// The DSN file was written with the suite's code page; a file saved as UTF-8 (with or without a
// byte order mark) is read as such, anything else as Big5 (the Traditional Chinese code page).
QString DecodeDsnText(const QByteArray& bytes) {
  QStringDecoder utf8(QStringConverter::Utf8);
  QString text = utf8.decode(bytes);
  if (!utf8.hasError()) return text;
  QStringDecoder big5("Big5");
  if (big5.isValid()) return big5.decode(bytes);
  return QString::fromLatin1(bytes);
}

std::optional<QString> ReadWholeFile(const QString& suitePath) {
  QFile file(LocalPath(suitePath));
  if (!QFileInfo(file.fileName()).isFile() || !file.open(QIODevice::ReadOnly)) return std::nullopt;
  return DecodeDsnText(file.readAll());
}

// Every sub-step may fail on its own; the next one still runs.
void PrepareTempFolder(const QString& suiteFolder) {
  const QString local = LocalPath(suiteFolder);
  if (!QFileInfo(local).isDir()) QDir().mkdir(local);  // one level, as the folder object creates
  if (QFileInfo(local).isDir() && !IsHidden(local)) SetHidden(local);
}

QString FileErrorDescription(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
      return QStringLiteral("找不到路徑");
    case EACCES:
    case EPERM:
    case EROFS:
      return QStringLiteral("沒有使用權限");
    default:
      return QStringLiteral("路徑/檔案存取錯誤");
  }
}

// The value after the first "DBQ=" when it is a PostgreSQL URI, as written (user, password and
// database names keep their letter case): up to the end of its line, without blanks at either
// end. Otherwise an empty text.
QString ServerUriAfterDbq(const QString& original) {
  const qsizetype dbq = original.indexOf(QLatin1String("DBQ="), 0, Qt::CaseInsensitive);
  if (dbq < 0) return {};
  QString value = original.mid(dbq + 4);
  const qsizetype lineEnd = value.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
  if (lineEnd >= 0) value.truncate(lineEnd);
  value = value.trimmed();
  return db::IsServerUri(value) ? value : QString();
}

// A value of the connection string as OLE DB reads it back: as it is when that is unambiguous,
// else in double quotes with its double quotes doubled. A folder may hold ";" (which would end
// the value), quotes, or blanks at either end (which the reader drops).
QString ConnectionStringValue(const QString& value) {
  const bool plain = !value.contains(u';') && !value.contains(u'"') && !value.contains(u'\'') &&
                     (value.isEmpty() || (!value.front().isSpace() && !value.back().isSpace()));
  if (plain) return value;
  QString quoted = value;
  quoted.replace(u'"', QStringLiteral("\"\""));
  return u'"' + quoted + u'"';
}

}  // namespace

QString LocalPath(const QString& suitePath) {
  QString path = suitePath;
  while (path.size() > 1 && EndsWithSeparator(path))
    path.chop(1);
  if (std::optional<QString> existing = ResolveExistingPath(path)) return *existing;
  return ResolveForCreate(path);
}

QString GetWindowsUserName() {
  return System().UserName();
}

QString GetComputerNameText() {
  return System().ComputerName();
}

void LocateDatabase(AppContext& context) {
  context.MachineUserName = GetComputerNameText() + QLatin1Char('\\') + GetWindowsUserName();
  const QString programFolder = System().ProgramFolder();
  context.TempFolder = WithSeparator(programFolder);
  context.Site.clear();
  context.DatabaseLocationProblem.clear();

  const QString profile = System().EnvironmentVariable(QStringLiteral("userprofile"));
  if (!profile.isEmpty()) {
    context.TempFolder = profile + QStringLiteral("\\Temp\\");
    PrepareTempFolder(context.TempFolder);
  }

  const auto failurePath = [&] {
    context.DatabaseFolder = programFolder + QLatin1Char('\\');
    context.TempFolder = WithSeparator(programFolder);
  };

  const QString dsnPath = programFolder + QStringLiteral("\\KORV.DSN");
  const std::optional<QString> file = ReadWholeFile(dsnPath);
  if (!file) return failurePath();
  QString text = file->toUpper();

  bool withoutDbq = false;
  if (!text.startsWith(QLatin1Char('\''))) {
    const qsizetype site = text.indexOf(QLatin1String("SITE="));
    if (site >= 0) context.Site = text.mid(site + 5, 1);
    // DBQ= naming a PostgreSQL server: with SITE=C the URI itself is the database's place.
    if (const QString uri = ServerUriAfterDbq(*file); !uri.isEmpty()) {
      context.DatabaseFolder =
          context.Site == QLatin1String("C") ? uri : WithSeparator(programFolder);
      return;
    }
    const qsizetype dbq = text.indexOf(QLatin1String("DBQ="));
    if (dbq >= 0) {
      text = text.mid(dbq);
      const qsizetype fileName = text.indexOf(QLatin1String("KORV.MDB"));
      if (fileName < 0) return failurePath();
      text = text.mid(4, fileName - 4);
    } else {
      withoutDbq = true;
    }
  }

  if (context.Site != QLatin1String("C") || text.isEmpty()) {
    context.DatabaseFolder = WithSeparator(programFolder);
    return;
  }
  context.DatabaseFolder = text;  // without a DBQ line: the whole file text, which will not open
  if (withoutDbq)
    context.DatabaseLocationProblem =
        QStringLiteral(
            "%1 寫著 SITE=C，卻沒有 DBQ= 這一行，不知道資料庫在哪裡。"
            "請加上資料庫檔案的路徑，例如 DBQ=\\\\SRV\\ERP\\KORV.MDB。")
            .arg(LocalPath(dsnPath));
}

void CreateMarkerFile(const AppContext& context) {
  const QString path = LocalPath(context.TempFolder + QStringLiteral("KORV.TXT"));
  // Emptied with O_TRUNC through a link, the marker would empty whatever the link names.
  const OwnFileOpening marker = OpenOwnFile(path, OwnFileStart::kEmpty);
  if (!marker.file.IsOpen())
    ShowMessage(FileErrorDescription(marker.error) + QStringLiteral("：") + path, kCritical,
                QStringLiteral("建立暫存檔錯誤"));
}

QString ComposeConnectionString(const QString& dataSource) {
  return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
         ConnectionStringValue(dataSource) + QStringLiteral(";Jet OLEDB:Database Password=") +
         ConnectionStringValue(QLatin1String(kDatabasePassword));
}

QString ConnectionStringForDisplay(const QString& connectionString) {
  // A key with "password" at the end of its name, then its value as OLE DB reads it: quoted
  // (a doubled quote standing for one) or up to the next ";".
  static const QRegularExpression password(
      QStringLiteral(R"((^|;)(\s*[^;=]*password\s*=\s*)("(?:[^"]|"")*"|'(?:[^']|'')*'|[^;]*))"),
      QRegularExpression::CaseInsensitiveOption);
  QString shown = db::RedactUri(connectionString);
  shown.replace(password, QStringLiteral("\\1\\2***"));
  return shown;
}

void BuildConnectionString(AppContext& context) {
  context.DatabasePassword = QLatin1String(kDatabasePassword);
  context.ConnectionString =
      ComposeConnectionString(db::IsServerUri(context.DatabaseFolder)
                                  ? context.DatabaseFolder
                                  : context.DatabaseFolder + QStringLiteral("KORV.mdb"));
}

}  // namespace tarvel
