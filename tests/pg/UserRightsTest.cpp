// The signed-in user's rights on both engines, whatever blanks the menu left around the name.
#include <gtest/gtest.h>

#include "criteria/OutputRights.h"
#include "criteria/WhereClauses.h"
#include "startup/AppContextLoader.h"
#include "support/Demo.h"
#include "support/RecordingUi.h"
#include "support/Server.h"

namespace tarvel {
namespace {

TEST(UserRights, ANameWithStrayBlanksKeepsItsRestrictionsOnEveryEngine) {
  TARVEL_REQUIRE_SERVER();
  for (const QString& database : {test::DemoConnectionString(), test::ServerConnectionString()}) {
    for (const char* name : {"王小明", "王小明 ", " 王小明"}) {
      SCOPED_TRACE(database.left(40).toStdString() + " [" + name + "]");
      test::RecordingUi ui;
      AppContext context;
      context.ConnectionString = database;
      // Two blanks before the next tag leave one in the name, as the menu's line is parsed.
      ASSERT_TRUE(LoadAppContext(
          context, QStringLiteral("-qdx5170 -AD= -NAME=%1 -ID=A001 -XLS=.xlsx -DOC=.docx -PID=0")
                       .arg(QString::fromUtf8(name))));
      EXPECT_EQ(context.UserName.trimmed(), "王小明");
      EXPECT_FALSE(MayExportToExcel(context));
      EXPECT_TRUE(OwnCustomersOnly(context));
    }
  }
}

}  // namespace
}  // namespace tarvel
