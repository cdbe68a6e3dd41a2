// Running a tarvel-cli command in-process, as the tool's main would, with its output captured.
#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include "cli/Command.h"

namespace tarvel::test {

struct CliRun {
  int code;
  QString out, err;
};

inline CliRun RunCli(cli::CommandFunction command, const QStringList& args) {
  QString out, err;
  QTextStream outStream(&out), errStream(&err);
  const int code = command(args, {outStream, errStream});
  outStream.flush();
  errStream.flush();
  return {code, out, err};
}

}  // namespace tarvel::test
