#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>

namespace tarvel {
namespace {

bool IsDriveLetter(QChar c) {
  return (c >= QLatin1Char('A') && c <= QLatin1Char('Z')) ||
         (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
}

bool Exists(const QString& path) {
  return QFileInfo::exists(path);
}

// The entry of `folder` that `name` means: as written, else the first case-insensitive match.
std::optional<QString> MatchEntry(const QString& folder, const QString& name) {
  const QString direct = folder.endsWith(QLatin1Char('/')) ? folder + name : folder + u'/' + name;
  if (Exists(direct)) return direct;
  QDir dir(folder);
  if (!dir.exists()) return std::nullopt;
  QStringList entries =
      dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  std::sort(entries.begin(), entries.end());
  const QString folded = name.toCaseFolded();
  for (const QString& entry : entries) {
    if (entry.toCaseFolded() == folded) {
      return folder.endsWith(QLatin1Char('/')) ? folder + entry : folder + u'/' + entry;
    }
  }
  return std::nullopt;
}

// Splits a local-syntax path into its starting folder ("/" or the current folder) and components.
std::pair<QString, QStringList> Split(const QString& localPath) {
  const QString cleaned = QDir::cleanPath(localPath);
  const bool absolute = cleaned.startsWith(QLatin1Char('/'));
  QStringList parts = cleaned.split(QLatin1Char('/'), Qt::SkipEmptyParts);
  // cleanPath leaves leading ".." of a relative path; they step out of the current folder.
  QString start = absolute ? QStringLiteral("/") : QDir::currentPath();
  while (!parts.isEmpty() && parts.front() == QLatin1String("..")) {
    start = QDir::cleanPath(start + QStringLiteral("/.."));
    parts.pop_front();
  }
  if (parts.size() == 1 && parts.front() == QLatin1String(".")) parts.clear();
  return {start, parts};
}

std::optional<QString> Walk(const QString& start, const QStringList& parts) {
  QString current = start;
  for (const QString& part : parts) {
    auto next = MatchEntry(current, part);
    if (!next) return std::nullopt;
    current = *next;
  }
  return current;
}

}  // namespace

QString LocalPathSyntax(const QString& windowsOrUnixPath) {
  QString path = windowsOrUnixPath;
  path.replace(QLatin1Char('\\'), QLatin1Char('/'));
  if (path.size() >= 2 && path[1] == QLatin1Char(':') && IsDriveLetter(path[0])) {
    path = path.mid(2);
    if (!path.startsWith(QLatin1Char('/'))) path.prepend(QLatin1Char('/'));
  }
  // "//SRV/ERP" (UNC) and any run of leading slashes start at the root.
  qsizetype slashes = 0;
  while (slashes < path.size() && path[slashes] == QLatin1Char('/'))
    ++slashes;
  if (slashes > 1) path.remove(0, slashes - 1);
  return path;
}

std::optional<QString> ResolveExistingPath(const QString& windowsOrUnixPath) {
  const QString local = LocalPathSyntax(windowsOrUnixPath);
  if (local.trimmed().isEmpty()) return std::nullopt;
  if (Exists(local)) return QDir::cleanPath(QFileInfo(local).absoluteFilePath());
  const auto [start, parts] = Split(local);
  return Walk(start, parts);
}

QString ResolveForCreate(const QString& windowsOrUnixPath) {
  const QString local = LocalPathSyntax(windowsOrUnixPath);
  if (local.isEmpty() || local.endsWith(QLatin1Char('/'))) return local;
  auto [start, parts] = Split(local);
  if (parts.isEmpty()) return local;
  const QString name = parts.takeLast();
  const auto folder = Walk(start, parts);
  if (!folder) return local;
  if (auto existing = MatchEntry(*folder, name)) return *existing;
  return folder->endsWith(QLatin1Char('/')) ? *folder + name : *folder + u'/' + name;
}

}  // namespace tarvel
