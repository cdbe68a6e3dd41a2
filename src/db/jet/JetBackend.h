// Inside the database layer: a Jet file read live, and read-only, through virtual tables of an
// in-memory SQLite database (JetModule.h): its stored queries offered, a statement that meets a
// page in flux run again.
#pragma once

#include <memory>
#include <vector>

#include "db/sqlite/SqliteBackend.h"

namespace tarvel::db {

namespace jet {
struct Source;
}

class JetBackend final : public SqliteBackend {
 public:
  /// Opens the Jet file `path` (Jet 3 or 4) read-only: its tables as virtual tables of an
  /// in-memory database, its stored queries offered (JetModule.h). Throws DbError.
  static std::unique_ptr<JetBackend> OpenFile(const QString& path);
  Capabilities Can() const override { return Capability::StoredQueries; }
  const std::vector<StoredQueryReport>& StoredQueries() const override { return storedQueries_; }
  void RunNative(const QString& statement) override;
  void RunScript(const QString& script) override;
  UpdatableRows OpenForUpdate(const sql::Translation& t, const QString& accessSql) override;
  void Begin() override;
  /// "資料庫 … 是 Jet 檔案，本程式只讀取它…": why a write was refused.
  QString ReadOnlyDescription() const;

 private:
  JetBackend(sqlite3* db, QString path, std::shared_ptr<jet::Source> source);
  detail::StatementPtr PrepareStatement(const sql::Translation& t, const Values& values,
                                        const QString& accessSql) override;
  void Guarded(const QString& accessSql, const std::function<void()>& read) override;
  bool CursorReadsWhole() const override { return true; }
  std::shared_ptr<jet::Source> source_;
  std::vector<StoredQueryReport> storedQueries_;
};

}  // namespace tarvel::db
