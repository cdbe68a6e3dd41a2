#include "support/Server.h"

#include <QCoreApplication>
#include <atomic>

#include "db/pg/PgSchema.h"

namespace tarvel::test {

QString ServerUri() {
  return qEnvironmentVariable("TARVEL_TEST_PG_URI");
}

QString ServerConnectionString() {
  return QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + ServerUri();
}

QString WithDatabase(const QString& uri, const QString& name) {
  const qsizetype authority = uri.indexOf(QLatin1String("://")) + 3;
  const qsizetype query = uri.indexOf(u'?', authority);
  const qsizetype end = query < 0 ? uri.size() : query;
  qsizetype path = uri.indexOf(u'/', authority);
  if (path < 0 || path > end) path = end;
  return uri.left(path) + u'/' + name + uri.mid(end);
}

ScratchServerDb::ScratchServerDb() {
  static std::atomic<int> counter{0};
  name = QStringLiteral("scratch_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
  db::Connection::OpenFile(ServerUri())
      ->ExecuteScript(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' "
                                     "LC_COLLATE 'C' LC_CTYPE 'C'")
                          .arg(name));
  uri = WithDatabase(ServerUri(), name);
  connection = Open();
  // What the program's server databases hold: Jet's collations and the Yes/No domain (citext for
  // the tests of databases made before them).
  connection->ExecuteScript(db::PgSchema::ServerObjects());
  connection->ExecuteScript(QStringLiteral("CREATE EXTENSION citext"));
}

ScratchServerDb::~ScratchServerDb() {
  connection.reset();
  try {
    db::Connection::OpenFile(ServerUri())
        ->ExecuteScript(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
  } catch (const db::DbError&) {
    // the cluster goes at the end of the run anyway
  }
}

}  // namespace tarvel::test
