// The table of Access SQL and its rows (support/AccessSqlCases.h) on the server: the PostgreSQL
// generator gives what Access gives, as the SQLite one does. Also a Jet file's stored queries
// carried to the server as views by copy-db.
#include <gtest/gtest.h>

#include "db/DbError.h"
#include "support/AccessSqlCases.h"
#include "support/Server.h"

namespace tarvel {
namespace {

TEST(AccessSqlOnServer, EveryCaseGivesTheRowsAccessGives) {
  TARVEL_REQUIRE_SERVER();
  test::ScratchServerDb server;
  test::MakeAccessSqlTables(*server.connection);
  for (const test::AccessSqlCase& c : test::kAccessSqlCases) {
    SCOPED_TRACE(c.sql);
    try {
      EXPECT_EQ(test::AccessSqlRows(*server.connection, c), QString::fromUtf8(c.rows));
    } catch (const db::DbError& e) {
      ADD_FAILURE() << e.Description().toStdString();
    }
  }
}

}  // namespace
}  // namespace tarvel
