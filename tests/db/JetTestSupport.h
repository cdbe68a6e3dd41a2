// The Jet fixtures of tests/db/jet and connections to them the way the program opens its own.
#pragma once

#include <QFile>
#include <QString>
#include <memory>

#include "db/Connection.h"
#include "db/DbError.h"
#include "support/TempDir.h"

namespace tarvel::db::test {

inline QString JetFixture(const QString& name) {
  return tarvel::test::SourceDir() + QStringLiteral("/tests/db/jet/") + name;
}

inline QString JetConnectionString(const QString& path) {
  return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + path +
         QStringLiteral(";Jet OLEDB:Database Password=tqlv5218tqlv5218");
}

inline std::unique_ptr<Connection> OpenJet(const QString& fixture) {
  return Connection::Open(JetConnectionString(JetFixture(fixture)));
}

inline QByteArray ReadFixture(const QString& fixture) {
  QFile file(JetFixture(fixture));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

/// The description of the DbError that `action` raises ("" when it raises none).
template <typename F>
QString ErrorText(F&& action) {
  try {
    action();
  } catch (const DbError& e) {
    return e.Description();
  }
  return {};
}

}  // namespace tarvel::db::test
