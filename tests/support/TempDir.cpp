#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace tarvel::test {

TempDir::TempDir() : dir_(QDir::tempPath() + QStringLiteral("/tarvel-test-XXXXXX")) {
  if (!dir_.isValid()) throw std::runtime_error("cannot create a temporary folder");
}

QString TempDir::Write(const QString& name, const QByteArray& content) const {
  const QString path = File(name);
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly))
    throw std::runtime_error("cannot write " + path.toStdString());
  file.write(content);
  return path;
}

QString SourceDir() {
  const QByteArray dir = qgetenv("TARVEL_SOURCE_DIR");
  return dir.isEmpty() ? QStringLiteral(TARVEL_SOURCE_DIR_FALLBACK) : QString::fromUtf8(dir);
}

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace tarvel::test
