#include "platform/HiddenAttribute.h"

#include <QFileInfo>

#include "platform/OwnFile.h"

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

/// File managers read lists of a few names; anything larger is no list of theirs.
constexpr qint64 kMostListed = 4 << 20;

}  // namespace

bool IsHidden(const QString& path) {
  const NameInFolder entry = Split(path);
  if (entry.name.startsWith(QLatin1Char('.'))) return true;
  const std::optional<QByteArray> list = ReadPlainFile(ListPath(entry.folder), kMostListed);
  if (!list) return false;
  const QList<QByteArray> lines = list->split('\n');
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
  // What a link there leads to is neither read nor written: the link gives way to a list of ours.
  const QString listPath = ListPath(entry.folder);
  const QByteArray existing = ReadPlainFile(listPath, kMostListed).value_or(QByteArray());
  const OwnFileOpening list = OpenOwnFile(listPath, OwnFileStart::kAppend);
  if (!list.file.IsOpen()) return false;
  QByteArray line;
  if (!existing.isEmpty() && !existing.endsWith('\n')) line += '\n';
  line += entry.name.toUtf8() + '\n';
  return WriteAll(list.file.Get(), line);
}

}  // namespace tarvel
