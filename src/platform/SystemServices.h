// What the start-up asks of the operating system, behind one replaceable interface.
//
// The program was written for a desktop where the computer name, the signed-in user, the folder of
// the executable, the "userprofile" variable and window handles come from system calls. On Linux
// each has a stand-in chosen here; tests install a fake (ScopedSystemServices) so that every
// start-up rule can be checked with a chosen host, user, program folder and environment.
#pragma once

#include <QString>
#include <memory>

#include "platform/InstanceLock.h"

namespace tarvel {

class SystemServices {
 public:
  virtual ~SystemServices() = default;

  /// The computer's name (stand-in for the NetBIOS name): the host name up to its first dot, as
  /// the system reports it. Empty when it cannot be obtained.
  virtual QString ComputerName() const = 0;
  /// The signed-in user's login name. Empty when it cannot be obtained.
  virtual QString UserName() const = 0;
  /// The folder of the running executable, without a trailing separator except for the root
  /// folder, which is reported as "/" (as a drive root keeps its backslash).
  virtual QString ProgramFolder() const = 0;
  /// An environment variable; empty when it is not set. Names are matched without regard to case,
  /// as on the desktop the program comes from. "userprofile" stands for the user's home folder:
  /// when no variable of that name is set, the value of HOME is returned.
  virtual QString EnvironmentVariable(const QString& name) const = 0;
  /// The user's documents folder (stand-in for the drive root "C:\" that the program offers as
  /// the default workbook folder) when it exists, else the home folder; with a trailing "/".
  virtual QString DocumentsFolder() const = 0;
  /// Whether the suite's menu that started the program still runs. The menu passes its process
  /// id where it used to pass its window handle; see IsProcessAlive (platform/Process.h).
  virtual bool IsLauncherAlive(double launcher) const = 0;
  /// Takes the per-user single-instance lock of the program called `program`; nullptr when
  /// another instance holds it. The lock is held as long as the returned object lives.
  virtual std::unique_ptr<InstanceLock> LockSingleInstance(const QString& program) const = 0;
};

/// The services of the machine the program runs on.
class LinuxSystemServices : public SystemServices {
 public:
  QString ComputerName() const override;
  QString UserName() const override;
  QString ProgramFolder() const override;
  QString EnvironmentVariable(const QString& name) const override;
  QString DocumentsFolder() const override;
  bool IsLauncherAlive(double launcher) const override;
  std::unique_ptr<InstanceLock> LockSingleInstance(const QString& program) const override;
};

/// The installed services (the machine's own until something else is installed).
SystemServices& System();

/// Installs `services` (not owned; must outlive its use). nullptr restores the machine's own.
void SetSystem(SystemServices* services);

/// Installs `services` for the lifetime of the object, then puts the previous one back.
class ScopedSystemServices {
 public:
  explicit ScopedSystemServices(SystemServices& services);
  ~ScopedSystemServices();
  ScopedSystemServices(const ScopedSystemServices&) = delete;
  ScopedSystemServices& operator=(const ScopedSystemServices&) = delete;

 private:
  SystemServices* previous_;
};

}  // namespace tarvel
