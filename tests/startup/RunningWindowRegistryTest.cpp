#include <gtest/gtest.h>

#include "StartupFixture.h"
#include "db/Connection.h"
#include "startup/RunningWindowRegistry.h"
#include "support/RecordingUi.h"

namespace tarvel {
namespace {

using test::FakeSystem;
using test::RecordingUi;
using test::TempDir;

class RegistryTest : public ::testing::Test {
 protected:
  RegistryTest() : system(dir) {
    path = dir.File("KORV.mdb");
    test::BuildDatabase(path, {{"SYSUSER1", {"ID", "FUNC", "LPID"}, {}}});
    connectionString = test::ConnectionStringFor(path);
    system.alive = {4321};
  }

  /// The rows of [SYSUSER1] as "ID|FUNC|LPID", in insertion order.
  QStringList Rows() {
    auto connection = db::Connection::OpenFile(path);
    db::Recordset rows =
        connection->OpenRecordset("select ID, FUNC, LPID from [SYSUSER1] order by rowid");
    QStringList out;
    for (; !rows.EOF_(); rows.MoveNext())
      out << rows.Text("ID") + "|" + rows.Text("FUNC") + "|" + rows.Text("LPID");
    return out;
  }

  TempDir dir;
  FakeSystem system;
  QString path;
  QString connectionString;
};

TEST_F(RegistryTest, RegisteringTwiceKeepsOneRowWithTheNewHandle) {
  RecordingUi ui;
  RegisterRunningWindow(connectionString, "HOST1\\tester", 4321, 100, "Tarvel");
  RegisterRunningWindow(connectionString, "HOST1\\tester", 4321, 200, "Tarvel");
  RegisterRunningWindow(connectionString, "HOST1\\tester", 4321, 300, "Other");
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Rows(), QStringList({"HOST1\\tester|Tarvel|200", "HOST1\\tester|Other|300"}));

  UnregisterRunningWindow(connectionString, "HOST1\\tester", "Tarvel", false);
  EXPECT_EQ(Rows(), QStringList({"HOST1\\tester|Other|300"}));
  RegisterRunningWindow(connectionString, "HOST2\\x", 4321, 5, "Tarvel");
  UnregisterRunningWindow(connectionString, "HOST1\\tester", "ignored", true);
  EXPECT_EQ(Rows(), QStringList({"HOST2\\x|Tarvel|5"}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RegistryTest, NothingIsWrittenWhenTheLauncherIsGone) {
  RecordingUi ui;
  RegisterRunningWindow(connectionString, "HOST1\\tester", 9999, 100, "Tarvel");
  EXPECT_TRUE(Rows().isEmpty());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RegistryTest, ApostrophesInIdAndTitleAreStoredAndMatchedExactly) {
  RecordingUi ui;
  RegisterRunningWindow(connectionString, "HOST'1\\o'b", 4321, 1, "T'x");
  RegisterRunningWindow(connectionString, "HOST'1\\o'b", 4321, 2, "T'x");
  RegisterRunningWindow(connectionString, "x' or ''='", 4321, 3, "T'x");
  EXPECT_EQ(Rows(), QStringList({"HOST'1\\o'b|T'x|2", "x' or ''='|T'x|3"}));
  UnregisterRunningWindow(connectionString, "x' or ''='", "T'x", false);
  EXPECT_EQ(Rows(), QStringList({"HOST'1\\o'b|T'x|2"}));
  UnregisterRunningWindow(connectionString, "HOST'1\\o'b", "", true);
  EXPECT_TRUE(Rows().isEmpty());
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(RegistryTest, FailuresAreShownUnderTheirOwnTitles) {
  RecordingUi ui;
  const QString broken = test::ConnectionStringFor(dir.File("missing.mdb"));
  RegisterRunningWindow(broken, "A", 4321, 1, "Tarvel");
  UnregisterRunningWindow(broken, "A", "Tarvel", false);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].title, "記錄已開啟程式錯誤");
  EXPECT_EQ(ui.messages[1].title, "刪除已開啟程式錯誤");
  EXPECT_EQ(ui.messages[0].style, 16);
  EXPECT_EQ(ui.messages[1].style, 16);
  EXPECT_FALSE(ui.messages[0].text.isEmpty());
}

}  // namespace
}  // namespace tarvel
