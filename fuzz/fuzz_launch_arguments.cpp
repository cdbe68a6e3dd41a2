// The launch-argument parsing, on any command line.
//
// Invariants: only tarvel::Error is thrown, with one of the runtime's two texts; a line without
// the launch token leaves every launch field empty; a parsed "-PID=" value is finite; a value
// never holds the text of the tag after it; splitting the line at blanks and joining it again
// gives the same line.
#include <QStringList>
#include <cmath>
#include <cstdint>

#include "FuzzCheck.h"
#include "platform/Error.h"
#include "startup/LaunchArguments.h"

using tarvel::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 4096) return 0;
  const QString line =
      QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  Check(tarvel::CommandLineText(line.split(QLatin1Char(' '))) == line,
        "the arguments split at blanks join to the same line", line);

  tarvel::AppContext context;
  context.AdminName = QStringLiteral("stale");
  context.ExtensionNumber = QStringLiteral("stale");
  bool parsed = false;
  try {
    tarvel::ParseLaunchArguments(context, line);
    parsed = true;
  } catch (const tarvel::Error& error) {
    Check(error.Description() == QStringLiteral("程序呼叫或引數不正確") ||
              error.Description() == QStringLiteral("型態不符合"),
          "the runtime's error texts", line, error.Description());
    Check(tarvel::HasLaunchToken(line), "only a line with the token can fail", line);
  }
  Check(context.ExtensionNumber.isEmpty(), "the extension number is cleared", line);
  if (!tarvel::HasLaunchToken(line)) {
    Check(parsed && context.AdminName.isEmpty() && context.UserName.isEmpty() &&
              context.EmployeeId.isEmpty() && context.LauncherWindow == 0,
          "without the token nothing is read", line);
  }
  if (parsed && tarvel::HasLaunchToken(line)) {
    Check(std::isfinite(context.LauncherWindow), "a finite -PID=", line);
    Check(!context.AdminName.contains(QLatin1String("-NAME=")) &&
              !context.UserName.contains(QLatin1String("-ID=")) &&
              !context.EmployeeId.contains(QLatin1String("-XLS=")) &&
              !context.ExcelExtension.contains(QLatin1String("-DOC=")) &&
              !context.DocumentExtension.contains(QLatin1String("-PID=")),
          "a value ends before the next tag", line);
  }
  return 0;
}
