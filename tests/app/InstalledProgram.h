// tarvel installed as the suite installs it, in a folder of a test's own: the executable with
// KORV.DSN beside it naming a copy of the run's demo database, and a home of its own.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

#include "support/TempDir.h"

namespace tarvel::test {

/// Installs the program in `dir` (prog/tarvel, data/KORV.mdb, home/, run/) and returns its path.
QString InstallProgram(const TempDir& dir);

/// The rows of the running-window registry that tarvel's main window writes.
double RegistryRows(const TempDir& dir);

/// Starts the installed program as the suite's menu does, offscreen, with home/ as its home and
/// run/ as its runtime folder; the test stands for the menu (its process id is the launcher's).
/// `extra` comes after "-DOC=.docx", so the document extension's value takes it in.
void StartAsTheMenuDoes(QProcess& tarvel, const TempDir& dir, const QStringList& extra = {});

/// Waits until the main window has registered itself: true then, false when the program ended
/// first, two minutes passed, or `keepWaiting` (asked at every look) said no.
bool WaitForRegistration(QProcess& tarvel, const TempDir& dir,
                         const std::function<bool()>& keepWaiting = {});

}  // namespace tarvel::test
