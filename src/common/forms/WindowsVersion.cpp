#include "common/forms/WindowsVersion.h"

#include <QStringList>
#include <QSysInfo>

#include "platform/Conversions.h"
#include "platform/Error.h"

namespace tarvel {

double WindowsVersionOf(const QString& version, const QString& caption) {
  const QStringList parts = version.split(QLatin1Char('.'));
  if (version.isEmpty() || parts.size() < 2) return 0;
  double figure = 0;
  try {
    figure = Val(parts[0]) + Val(parts[1]) * 0.1;
  } catch (const Error&) {
    return 0;
  }
  const QString lower = caption.toLower();
  if (lower.contains(QLatin1String("server"))) figure = 0;
  if (lower.contains(QLatin1String("windows 10"))) figure = 10;
  if (lower.contains(QLatin1String("windows 11"))) figure = 11;
  return figure;
}

double GetWindowsVersion() {
  return WindowsVersionOf(QSysInfo::kernelVersion(), QSysInfo::prettyProductName());
}

}  // namespace tarvel
