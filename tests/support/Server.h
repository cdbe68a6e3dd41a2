// The test run's PostgreSQL server: the CTest fixture pg_cluster starts a throwaway cluster
// (scripts/pg-cluster) and pg_demo_database writes the run's demo into it; TARVEL_TEST_PG_URI
// names it. A test program started by hand without that variable skips the tests that need it;
// under CTest a server that did not start fails them.
#pragma once

#include <QString>
#include <memory>

#include "db/Connection.h"

namespace tarvel::test {

/// TARVEL_TEST_PG_URI: the demo database on the run's server; empty outside CTest.
QString ServerUri();

/// The program's connection string for the demo on the server.
QString ServerConnectionString();

/// `uri` naming the database `name` on the same server.
QString WithDatabase(const QString& uri, const QString& name);

/// A database of its own on the run's server, for a test that writes; dropped afterwards.
class ScratchServerDb {
 public:
  ScratchServerDb();
  ~ScratchServerDb();
  ScratchServerDb(const ScratchServerDb&) = delete;
  ScratchServerDb& operator=(const ScratchServerDb&) = delete;
  /// A new connection to it.
  std::unique_ptr<db::Connection> Open() const { return db::Connection::OpenFile(uri); }
  QString name;
  QString uri;
  std::unique_ptr<db::Connection> connection;
};

}  // namespace tarvel::test

/// Skips the test when no server was given (a test program run by hand).
#define TARVEL_REQUIRE_SERVER()              \
  if (::tarvel::test::ServerUri().isEmpty()) \
  GTEST_SKIP() << "no PostgreSQL server: TARVEL_TEST_PG_URI is set by CTest"
