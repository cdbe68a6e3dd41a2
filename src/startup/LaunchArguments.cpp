#include "startup/LaunchArguments.h"

#include <array>

#include "platform/Conversions.h"
#include "platform/Error.h"

namespace tarvel {
namespace {

// The runtime's own descriptions, as the loader's error message shows them.
const QString kInvalidProcedureCall = QStringLiteral("程序呼叫或引數不正確");
const QString kTypeMismatch = QStringLiteral("型態不符合");

// The runtime's Trim: blanks only (a tab is part of the line).
QString TrimBlanks(const QString& text) {
  qsizetype first = 0;
  qsizetype last = text.size();
  while (first < last && text[first] == QLatin1Char(' '))
    ++first;
  while (last > first && text[last - 1] == QLatin1Char(' '))
    --last;
  return text.mid(first, last - first);
}

}  // namespace

bool HasLaunchToken(const QString& commandLine) {
  return commandLine.contains(QLatin1String(kLaunchToken), Qt::CaseSensitive);
}

QStringList ArgumentsAfterProgram(int argc, const char* const* argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i)
    arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

QString CommandLineText(const QStringList& argumentsAfterProgram) {
  return argumentsAfterProgram.join(QLatin1Char(' '));
}

void ParseLaunchArguments(AppContext& context, const QString& commandLine) {
  context.AdminName.clear();
  context.UserName.clear();
  context.EmployeeId.clear();
  for (QString& group : context.Groups)
    group.clear();
  context.ExtensionNumber.clear();

  const QString line = TrimBlanks(commandLine);
  if (!HasLaunchToken(line)) return;

  struct Tag {
    QLatin1String text;
    QString* field;
  };
  const std::array<Tag, 6> tags = {{
      {QLatin1String("-AD="), &context.AdminName},
      {QLatin1String("-NAME="), &context.UserName},
      {QLatin1String("-ID="), &context.EmployeeId},
      {QLatin1String("-XLS="), &context.ExcelExtension},
      {QLatin1String("-DOC="), &context.DocumentExtension},
      {QLatin1String("-PID="), nullptr},
  }};

  for (size_t i = 0; i + 1 < tags.size(); ++i) {
    const qsizetype tag = line.indexOf(tags[i].text);
    const qsizetype next = line.indexOf(tags[i + 1].text);
    // A missing tag would otherwise make the arithmetic below cut a value out of whatever text
    // starts the line; it is refused like a tag out of order.
    if (tag < 0 || next < 0) throw Error(kInvalidProcedureCall);
    const qsizetype start = tag + tags[i].text.size();
    const qsizetype length = next - start - 1;  // one separator character is dropped
    if (length < 0) throw Error(kInvalidProcedureCall);
    *tags[i].field = line.mid(start, length);
  }

  const qsizetype pid = line.indexOf(tags.back().text);
  if (pid < 0) throw Error(kInvalidProcedureCall);
  const QString rest = line.mid(pid + tags.back().text.size());
  if (!IsNumeric(rest)) throw Error(kTypeMismatch);
  context.LauncherWindow = NumericValue(rest);
}

}  // namespace tarvel
