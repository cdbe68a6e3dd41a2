#include "platform/SystemServices.h"

#include <pwd.h>
#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <vector>

#include "platform/Process.h"

namespace tarvel {

QString LinuxSystemServices::ComputerName() const {
  char buffer[1024] = {};
  if (::gethostname(buffer, sizeof buffer - 1) != 0) return {};
  QString name = QString::fromLocal8Bit(buffer);
  const qsizetype dot = name.indexOf(QLatin1Char('.'));
  if (dot >= 0) name.truncate(dot);
  return name;
}

QString LinuxSystemServices::UserName() const {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found)
    return QString::fromLocal8Bit(found->pw_name);
  // No passwd entry (a container without one): the login variables are all there is.
  for (const char* name : {"USER", "LOGNAME"}) {
    const QString value = qEnvironmentVariable(name);
    if (!value.isEmpty()) return value;
  }
  return {};
}

QString LinuxSystemServices::ProgramFolder() const {
  QString file;
  if (QCoreApplication::instance()) file = QCoreApplication::applicationFilePath();
  if (file.isEmpty()) file = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
  if (file.isEmpty()) return QDir::currentPath();
  return QFileInfo(file).absolutePath();  // "/" for a program in the root folder
}

QString LinuxSystemServices::EnvironmentVariable(const QString& name) const {
  const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  if (environment.contains(name)) return environment.value(name);
  const QStringList keys = environment.keys();
  for (const QString& key : keys)
    if (key.compare(name, Qt::CaseInsensitive) == 0) return environment.value(key);
  if (name.compare(QLatin1String("userprofile"), Qt::CaseInsensitive) == 0)
    return environment.value(QStringLiteral("HOME"));
  return {};
}

QString LinuxSystemServices::DocumentsFolder() const {
  // The standard location names the folder whether it exists or not, and a fresh account has
  // none until a desktop's first login makes it (some never do): a workbook proposed there
  // could not be written.
  QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
  if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
  return folder;
}

bool LinuxSystemServices::IsLauncherAlive(double launcher) const {
  return IsProcessAlive(launcher);
}

std::unique_ptr<InstanceLock> LinuxSystemServices::LockSingleInstance(
    const QString& program) const {
  const InstanceLockLocation location = DefaultInstanceLockLocation(program);
  if (!location.problem.isEmpty()) return InstanceLock::GuardingNothing(location.problem);
  return InstanceLock::TryAcquire(location.path);
}

namespace {

SystemServices*& Installed() {
  static SystemServices* installed = nullptr;
  return installed;
}

LinuxSystemServices& Machine() {
  static LinuxSystemServices machine;
  return machine;
}

}  // namespace

SystemServices& System() {
  SystemServices* installed = Installed();
  return installed ? *installed : Machine();
}

void SetSystem(SystemServices* services) {
  Installed() = services;
}

ScopedSystemServices::ScopedSystemServices(SystemServices& services) : previous_(Installed()) {
  Installed() = &services;
}

ScopedSystemServices::~ScopedSystemServices() {
  Installed() = previous_;
}

}  // namespace tarvel
