// The command line the suite's menu starts the program with: the launch token and six tags.
#pragma once

#include <QString>
#include <QStringList>

#include "startup/AppContext.h"

namespace tarvel {

/// The token without which the program refuses to start (case-sensitive, anywhere in the line).
inline constexpr char kLaunchToken[] = "-qdx5170";

/// Whether `commandLine` holds the launch token.
bool HasLaunchToken(const QString& commandLine);

/// The process's arguments after the program's name, decoded as Qt decodes them. Read from
/// `argv` itself, so that none of them is ever handed to Qt's own option parser.
QStringList ArgumentsAfterProgram(int argc, const char* const* argv);

/// The command line as one text: the arguments after the program's own name joined with single
/// blanks (the menu passes the line as one argument or split at blanks; both give the same text).
QString CommandLineText(const QStringList& argumentsAfterProgram);

/// The argument parsing that opens LoadAppContext: clears AdminName, UserName, EmployeeId, Groups
/// and ExtensionNumber, and with the token present fills the six launch fields.
///
/// Each value runs from the end of its tag (first occurrence) to one character before the next
/// tag (first occurrence): exactly one separator character is dropped, further blanks stay in
/// the value, and the token stays in the line (between two tags it becomes part of a value).
/// "-PID=" takes the whole rest of the line, converted like the runtime's CDbl (blanks around
/// allowed). Throws tarvel::Error with the runtime's texts: "程序呼叫或引數不正確" when a tag is
/// missing or out of order, "型態不符合" when the "-PID=" value is not a number. Fields set before
/// the failure keep their values.
void ParseLaunchArguments(AppContext& context, const QString& commandLine);

}  // namespace tarvel
