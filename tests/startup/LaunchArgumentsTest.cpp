#include <gtest/gtest.h>

#include <optional>

#include "platform/Error.h"
#include "startup/LaunchArguments.h"
#include "support/CaseFile.h"

namespace tarvel {
namespace {

TEST(LaunchArguments, TagsTokenSeparatorsAndErrors) {
  for (const QStringList& c : test::ReadCases("launch-arguments.txt")) {
    SCOPED_TRACE(c[0].toStdString());
    AppContext context;
    context.AdminName = "old";
    context.Groups[7] = "old group";
    context.ExtensionNumber = "old ext";
    QString error = QStringLiteral("-");
    try {
      ParseLaunchArguments(context, c[0]);
    } catch (const Error& e) {
      error = e.Description();
    }
    EXPECT_EQ(error, c[7]);
    EXPECT_EQ((QStringList{context.AdminName, context.UserName, context.EmployeeId,
                           context.ExcelExtension, context.DocumentExtension}),
              c.mid(1, 5));
    EXPECT_EQ(context.LauncherWindow, c[6].toDouble());
    EXPECT_TRUE(context.Groups[7].isEmpty());
    EXPECT_TRUE(context.ExtensionNumber.isEmpty());
  }
}

TEST(LaunchArguments, CommandLineTextJoinsArgumentsWithBlanks) {
  EXPECT_EQ(CommandLineText({"-qdx5170", "-AD=", "-NAME=王小明"}), "-qdx5170 -AD= -NAME=王小明");
  EXPECT_EQ(CommandLineText({"-qdx5170 -AD= -NAME=王小明"}), "-qdx5170 -AD= -NAME=王小明");
  EXPECT_TRUE(HasLaunchToken("-AD=x-qdx5170"));
  EXPECT_FALSE(HasLaunchToken("-qdx517"));
}

}  // namespace
}  // namespace tarvel
