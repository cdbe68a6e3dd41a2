// The processes a test started, found by their command lines: a converter that must not outlive
// the export that started it.
#pragma once

#include <unistd.h>
#include <QDir>
#include <QFile>
#include <QString>

namespace tarvel::test {

/// The living processes (this one aside) whose command line mentions `text`, and `program` when
/// given (a zombie's command line is empty).
inline int ProcessesMentioning(const QString& text, const char* program = "") {
  const QByteArray wanted = text.toUtf8();
  int found = 0;
  for (const QString& name : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
    bool number = false;
    if (name.toInt(&number) == ::getpid() || !number) continue;
    QFile file(QStringLiteral("/proc/%1/cmdline").arg(name));
    if (!file.open(QIODevice::ReadOnly)) continue;
    const QByteArray commandLine = file.readAll();
    if (commandLine.contains(wanted) && commandLine.contains(program)) ++found;
  }
  return found;
}

}  // namespace tarvel::test
