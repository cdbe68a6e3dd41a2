// A hidden folder of the program's own beside a file it is making: the rows of a workbook being
// written, the converter's profile and output. Kept on the target's disk, which must hold the
// result anyway.
//
// A folder must not outlive its job: it is removed with the object, on a signal that ends the
// program (TerminationCleanup), and, when the program was killed outright, by the next job that
// makes one in the same place (RemoveStaleWorkFolders). A folder in use holds a lock on its file
// ".lock" for as long as it exists, so another copy of the program, on this or another
// workstation, can tell it from one left behind.
#pragma once

#include <QString>
#include <memory>

#include "platform/Termination.h"

class QTemporaryDir;

namespace tarvel {

/// The start of every work folder's name.
inline constexpr char kWorkFolderPrefix[] = ".tarvel-";

class WorkFolder {
 public:
  /// Removes the stale work folders of `parent`, then makes `parent`/.tarvel-`kind`-XXXXXX,
  /// readable by the user only. Check IsValid.
  WorkFolder(const QString& parent, const QString& kind);
  /// Removes the folder with everything in it.
  ~WorkFolder();
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  bool IsValid() const;
  /// Why the folder could not be made.
  QString ErrorString() const;
  QString Path() const;
  QString FilePath(const QString& name) const;

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  int lockFd_ = -1;
  QString error_;
  TerminationCleanup cleanup_;
};

/// Removes the work folders in `parent` that no running copy of the program uses: those of this
/// user whose lock no one holds, and those without a lock file (left by older copies) untouched
/// for ten minutes. Folders of other users and folders in use stay. Returns how many were removed.
int RemoveStaleWorkFolders(const QString& parent);

}  // namespace tarvel
