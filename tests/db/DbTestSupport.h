// A scratch SQLite database per test, made from a schema script.
#pragma once

#include <memory>

#include "db/Connection.h"
#include "support/TempDir.h"

namespace tarvel::db::test {

struct ScratchDb {
  explicit ScratchDb(const QString& schema) {
    path = dir.File(QStringLiteral("korv.mdb"));
    connection = Connection::OpenFile(path, true);
    connection->ExecuteScript(schema);
  }
  tarvel::test::TempDir dir;
  QString path;
  std::unique_ptr<Connection> connection;
};

}  // namespace tarvel::db::test
