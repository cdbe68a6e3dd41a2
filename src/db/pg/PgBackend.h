// Inside the database layer: a PostgreSQL server under a Connection, reached through libpq
// (PgSession.h). Statements run with their placeholders' values as $1, $2 …; a cursor fetches a
// server-side cursor's rows in batches; an updatable result finds its rows again by the table's
// primary key, or by every value read.
#pragma once

#include <memory>

#include "db/Backend.h"
#include "db/pg/PgCatalog.h"

namespace tarvel::db {

namespace pg {
class Session;
}

class PgBackend final : public Backend {
 public:
  /// Connects to the server `uri` names. Throws DbError naming the server without its password.
  /// A session on the server `uri` names; `readOnly`: every transaction READ ONLY.
  PgBackend(const QString& uri, bool readOnly);
  ~PgBackend() override;

  sql::Engine Engine() const override { return sql::Engine::Postgres; }
  sql::Catalog& Catalog() override { return catalog_; }
  const QString& Name() const override;
  Capabilities Can() const override {
    return readOnly_ ? Capability::ReadSnapshot : Capability::Write | Capability::ReadSnapshot;
  }
  void CreateSchema(const QString& sqliteSchema) override;

  void RunNative(const QString& statement) override;
  void RunScript(const QString& script) override;
  Recordset ReadNative(const QString& query) override;
  void Execute(const sql::Translation& t, const Values& values, const QString& accessSql) override;
  Recordset Read(const sql::Translation& t, const Values& values,
                 const QString& accessSql) override;
  Cursor OpenCursor(const sql::Translation& t, const Values& values,
                    const QString& accessSql) override;
  bool HasRows(const sql::Translation& t, const Values& values, const QString& accessSql) override;
  std::unique_ptr<PreparedStatement> Prepare(const sql::Translation& t,
                                             const QString& accessSql) override;
  UpdatableRows OpenForUpdate(const sql::Translation& t, const QString& accessSql) override;

  void Begin() override;
  void Commit() override;
  void RollbackQuietly() noexcept override;
  void BeginReadSnapshot() override;
  void EndReadSnapshot() noexcept override;
  void Interrupt() noexcept override;

 private:
  std::shared_ptr<pg::Session> session_;
  PgCatalog catalog_;
  bool readOnly_;
};

}  // namespace tarvel::db
