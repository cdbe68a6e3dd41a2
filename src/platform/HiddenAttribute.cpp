#include "platform/HiddenAttribute.h"

#include <QFile>
#include <QFileInfo>

namespace tarvel {
namespace {

struct NameInFolder {
  QString folder;
  QString name;
};

NameInFolder Split(QString path) {
  while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
    path.chop(1);
  const QFileInfo info(path);
  return {info.absolutePath(), info.fileName()};
}

QString ListPath(const QString& folder) {
  return folder + QStringLiteral("/.hidden");
}

}  // namespace

bool IsHidden(const QString& path) {
  const NameInFolder entry = Split(path);
  if (entry.name.startsWith(QLatin1Char('.'))) return true;
  QFile list(ListPath(entry.folder));
  if (!list.open(QIODevice::ReadOnly)) return false;
  const QList<QByteArray> lines = list.readAll().split('\n');
  for (const QByteArray& line : lines) {
    // File managers read the names as written; a stray CR from a Windows editor still counts.
    QByteArray name = line;
    if (name.endsWith('\r')) name.chop(1);
    if (!name.isEmpty() && QString::fromUtf8(name) == entry.name) return true;
  }
  return false;
}

bool SetHidden(const QString& path) {
  if (IsHidden(path)) return true;
  const NameInFolder entry = Split(path);
  if (entry.name.isEmpty()) return false;
  QFile list(ListPath(entry.folder));
  if (!list.open(QIODevice::ReadWrite)) return false;
  const QByteArray existing = list.readAll();
  QByteArray line;
  if (!existing.isEmpty() && !existing.endsWith('\n')) line += '\n';
  line += entry.name.toUtf8() + '\n';
  list.seek(list.size());
  return list.write(line) == line.size() && list.flush();
}

}  // namespace tarvel
