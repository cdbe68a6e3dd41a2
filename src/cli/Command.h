// What every tarvel-cli command looks like: arguments in, text out, an exit code back.
#pragma once

#include <QStringList>
#include <QTextStream>

namespace tarvel::cli {

struct CommandIo {
  QTextStream& out;  ///< results (summaries, JSON, SQL text)
  QTextStream& err;  ///< usage errors and failures
};

/// A command's entry: `args` are the words after the command name. Returns the exit code.
using CommandFunction = int (*)(const QStringList& args, CommandIo io);

int RunDemoDbCommand(const QStringList& args, CommandIo io);
int RunContextCommand(const QStringList& args, CommandIo io);
int RunSqlCommand(const QStringList& args, CommandIo io);
int RunReportCommand(const QStringList& args, CommandIo io);
int RunExcelCommand(const QStringList& args, CommandIo io);
int RunReworkCommand(const QStringList& args, CommandIo io);
int RunJetInfoCommand(const QStringList& args, CommandIo io);
int RunCopyDbCommand(const QStringList& args, CommandIo io);
int RunQueryCommand(const QStringList& args, CommandIo io);

}  // namespace tarvel::cli
