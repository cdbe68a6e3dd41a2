#include <gtest/gtest.h>

#include <optional>

#include "platform/Error.h"
#include "startup/LaunchArguments.h"

namespace tarvel {
namespace {

struct ArgumentCase {
  const char* line;
  const char* admin;
  const char* name;
  const char* id;
  const char* xls;
  const char* doc;
  double pid;
  const char* error;  ///< expected error text, or nullptr
};

TEST(LaunchArguments, TagsTokenSeparatorsAndErrors) {
  const ArgumentCase cases[] = {
      {"-qdx5170 -AD=ad -NAME=王小明 -ID=A001 -XLS=.xlsx -DOC=.docx -PID=1234", "ad", "王小明",
       "A001", ".xlsx", ".docx", 1234, nullptr},
      // Blanks around the line are trimmed; blanks around the number are allowed.
      {"   -qdx5170 -AD= -NAME=n -ID=i -XLS=.xls -DOC=.doc -PID= 77.5   ", "", "n", "i", ".xls",
       ".doc", 77.5, nullptr},
      // Only one separator character is dropped.
      {"-qdx5170 -AD=a  -NAME=b   -ID=c -XLS=x -DOC=d -PID=1", "a ", "b  ", "c", "x", "d", 1,
       nullptr},
      // The token between two tags stays part of the value before it.
      {"-AD=a -qdx5170 -NAME=b -ID=c -XLS=x -DOC=d -PID=2", "a -qdx5170", "b", "c", "x", "d", 2,
       nullptr},
      // Any single character separates, not only a blank.
      {"-qdx5170 -AD=a,-NAME=b,-ID=c,-XLS=x,-DOC=d,-PID=3", "a", "b", "c", "x", "d", 3, nullptr},
      // Values without a separator before the next tag: a negative length.
      {"-qdx5170 -AD=-NAME=b -ID=c -XLS=x -DOC=d -PID=3", "", "", "", "", "", 0,
       "程序呼叫或引數不正確"},
      // Out of order: -NAME= before -AD=.
      {"-qdx5170 -NAME=b -AD=a -ID=c -XLS=x -DOC=d -PID=3", "", "", "", "", "", 0,
       "程序呼叫或引數不正確"},
      // A missing tag stops at the value before it; earlier values are kept.
      {"-qdx5170 -AD=a -NAME=b -ID=c -DOC=d -PID=3", "a", "b", "", "", "", 0,
       "程序呼叫或引數不正確"},
      // A missing first tag is refused too (the text before the next tag is no value).
      {"-qdx5170 xxxxxxxx -NAME=b -ID=c -XLS=x -DOC=d -PID=3", "", "", "", "", "", 0,
       "程序呼叫或引數不正確"},
      {"-qdx5170 -AD=a -NAME=b -ID=c -XLS=x -DOC=d -PID=12abc", "a", "b", "c", "x", "d", 0,
       "型態不符合"},
      {"-qdx5170 -AD=a -NAME=b -ID=c -XLS=x -DOC=d -PID=", "a", "b", "c", "x", "d", 0,
       "型態不符合"},
      // The token after the tags becomes part of the -PID= rest, which is then no number.
      {"-AD=a -NAME=b -ID=c -XLS=x -DOC=d -PID=5 -qdx5170", "a", "b", "c", "x", "d", 0,
       "型態不符合"},
      // Without the token (case-sensitive) nothing is parsed and nothing fails.
      {"-QDX5170 -AD=a -NAME=b -ID=c -XLS=x -DOC=d -PID=5", "", "", "", "", "", 0, nullptr},
      {"", "", "", "", "", "", 0, nullptr},
  };
  for (const ArgumentCase& c : cases) {
    SCOPED_TRACE(c.line);
    AppContext context;
    context.AdminName = "old";
    context.Groups[7] = "old group";
    context.ExtensionNumber = "old ext";
    std::optional<QString> error;
    try {
      ParseLaunchArguments(context, QString::fromUtf8(c.line));
    } catch (const Error& e) {
      error = e.Description();
    }
    EXPECT_EQ(error, c.error ? std::optional<QString>(QString::fromUtf8(c.error)) : std::nullopt);
    EXPECT_EQ(context.AdminName, QString::fromUtf8(c.admin));
    EXPECT_EQ(context.UserName, QString::fromUtf8(c.name));
    EXPECT_EQ(context.EmployeeId, QString::fromUtf8(c.id));
    EXPECT_EQ(context.ExcelExtension, QString::fromUtf8(c.xls));
    EXPECT_EQ(context.DocumentExtension, QString::fromUtf8(c.doc));
    EXPECT_EQ(context.LauncherWindow, c.pid);
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
