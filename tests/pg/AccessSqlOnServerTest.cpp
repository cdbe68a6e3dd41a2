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
  const test::AccessSqlTable table = test::ReadAccessSqlTable();
  ASSERT_GT(table.cases.size(), 50u);
  test::MakeAccessSqlTables(*server.connection, table);
  for (const test::AccessSqlCase& c : table.cases) {
    SCOPED_TRACE(c.sql.toStdString());
    try {
      EXPECT_EQ(test::AccessSqlRows(*server.connection, c), c.rows);
    } catch (const db::DbError& e) {
      ADD_FAILURE() << e.Description().toStdString();
    }
  }
}

}  // namespace
}  // namespace tarvel
