// The demo database: a complete KORV.mdb with a print shop's work orders, written in one run.
#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace tarvel::demo {

/// The company name used when none is given. It starts with 翠峰, which makes the main window
/// offer the 表5 production report as well, so the demo shows every report choice.
inline constexpr const char* kDefaultDemoCompany = "翠峰印刷事業股份有限公司";

/// The file name under which the program's connection string finds the database.
inline constexpr const char* kDemoFileName = "KORV.mdb";

struct DemoOptions {
  std::int64_t orders = 2000;  ///< work orders, one line each in [歷史工單明細]; at least 1
  std::uint64_t seed = 1;      ///< same seed and same `today` give the same rows
  QDate today;                 ///< the day the data is "as of"; invalid = tarvel::Today()
  QString company = QString::fromUtf8(kDefaultDemoCompany);
  bool force = false;  ///< replace an existing database file
  /// An extra [SYSLOAD] row, so that the program on this computer finds an Excel folder. Empty
  /// texts leave only the fixed demo row (DEMO-PC\demo). Kept out of the seeded data, so the
  /// rows differ between computers only in this one row.
  QString machineUserName;  ///< computer name + "\" + user name
  QString computerName;
  QString excelFolder;  ///< the EXCEL value of that row
};

/// A user the demo sets up, with the launch tags that sign in as that user.
struct DemoUser {
  QString userName;    ///< -NAME= (key of 使用者資料)
  QString adminName;   ///< -AD=
  QString employeeId;  ///< -ID=
  QString role;        ///< what the user may do, for the summary
};

struct DemoTableCount {
  QString table;
  std::int64_t rows = 0;
  bool view = false;  ///< a report source built over the base tables
};

struct DemoSummary {
  QString filePath;  ///< absolute path of the written file
  QString company;
  QDate today;                            ///< the day the data is "as of"
  QString firstOrderDate, lastOrderDate;  ///< ROC 7-digit texts of the ODATE range
  std::vector<DemoTableCount> tables;     ///< base tables, then the main report sources
  std::vector<DemoUser> users;
};

/// Writes `dir`/KORV.mdb (creating `dir` when needed): the schema of demo/schema.sql and the
/// seeded data. The file is written under a temporary name beside the target and renamed into
/// place only when complete, so a failed run leaves an existing file as it was. Throws
/// tarvel::Error when the file exists (in any letter case) and `options.force` is false, when
/// the options are out of range, or when writing fails.
DemoSummary GenerateDemoDatabase(const QString& dir, const DemoOptions& options);

/// Writes the same demo into the PostgreSQL database `uri` names (db::IsServerUri): the schema of
/// demo/schema.sql made PostgreSQL's by db::PgSchema::SchemaFromSqlite (texts in Jet's order,
/// the views under the same names) and the same seeded rows, in one transaction. Throws
/// tarvel::Error when the demo's tables exist there and `options.force` is false, when the
/// options are out of range, or when the server fails. `machineUserName` and the like apply as
/// for a file. The summary's filePath is the URI without its password.
DemoSummary GenerateDemoOnServer(const QString& uri, const DemoOptions& options);

/// The summary as the command line prints it: file, date range, rows per table, users.
QString DescribeDemoSummary(const DemoSummary& summary);

/// The text of demo/schema.sql as built into the program.
QString DemoSchemaText();

}  // namespace tarvel::demo
