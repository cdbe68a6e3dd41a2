// A fresh temporary folder per test, removed with everything in it afterwards.
#pragma once

#include <QString>
#include <QTemporaryDir>

namespace tarvel::test {

class TempDir {
 public:
  TempDir();
  /// Absolute path of the folder, without a trailing slash.
  QString Path() const { return dir_.path(); }
  /// Absolute path of `name` inside the folder.
  QString File(const QString& name) const { return dir_.filePath(name); }
  /// Writes `content` (UTF-8) to `name` inside the folder and returns its path.
  QString Write(const QString& name, const QByteArray& content) const;

 private:
  QTemporaryDir dir_;
};

/// The whole content of the file at `path` (empty when it cannot be read).
QByteArray ReadFile(const QString& path);

/// The source tree (for demo/schema.sql and golden files).
QString SourceDir();

}  // namespace tarvel::test
