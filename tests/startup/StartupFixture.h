// Shared set-up of the start-up tests: a fake operating system and small suite databases.
#pragma once

#include <QString>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "platform/SystemServices.h"
#include "support/TempDir.h"

namespace tarvel::test {

/// Operating-system answers chosen by the test; installs itself for its lifetime.
class FakeSystem final : public SystemServices {
 public:
  explicit FakeSystem(const TempDir& dir);
  ~FakeSystem() override;

  QString ComputerName() const override { return computer; }
  QString UserName() const override { return user; }
  QString ProgramFolder() const override { return programFolder; }
  QString EnvironmentVariable(const QString& name) const override;
  QString DocumentsFolder() const override { return documents; }
  bool IsLauncherAlive(double launcher) const override { return alive.count(launcher) > 0; }
  std::unique_ptr<InstanceLock> LockSingleInstance(const QString& program) const override;

  QString computer = QStringLiteral("HOST1");
  QString user = QStringLiteral("tester");
  QString programFolder;  ///< <dir>/prog, created
  std::map<QString, QString> environment;
  QString documents;  ///< <dir>/docs/
  std::set<double> alive;
  QString lockPath;  ///< <dir>/tarvel.lock

 private:
  ScopedSystemServices installed_;
};

/// One table of the suite as the start-up reads it, with the first row's values.
struct SuiteTable {
  QString name;
  QStringList columns;
  std::vector<std::map<QString, QString>> rows;  ///< column -> value; missing column -> NULL
};

/// The tables the loader and the registry read, filled with one known row each.
std::vector<SuiteTable> SuiteTables(const QString& excelFolder);

/// Writes the tables to a new database at `path`, leaving out `omitTable`, or only the column
/// `omitColumn` of it when that is not empty.
void BuildDatabase(const QString& path, const std::vector<SuiteTable>& tables,
                   const QString& omitTable = {}, const QString& omitColumn = {});

/// A connection string naming the database file at `path`.
QString ConnectionStringFor(const QString& path);

}  // namespace tarvel::test
