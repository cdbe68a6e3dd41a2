// Tables of cases kept as text under tests/data: one case a line, fields separated by " | ", lines
// starting with "#", blank lines and a line's end after "  # " passed over. A field in double
// quotes keeps its blanks ("" is empty) and reads \t, \n, \r, \" and \\ inside.
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <vector>

#include "support/TempDir.h"

namespace tarvel::test {

inline QString CaseField(QString field) {
  field = field.trimmed();
  if (field.size() < 2 || !field.startsWith(u'"') || !field.endsWith(u'"')) return field;
  QString text;
  for (qsizetype i = 1; i + 1 < field.size(); ++i) {
    QChar c = field[i];
    if (c == u'\\' && i + 2 < field.size()) {
      c = field[++i];
      c = c == u't' ? QChar(u'\t') : c == u'n' ? QChar(u'\n') : c == u'r' ? QChar(u'\r') : c;
    }
    text += c;
  }
  return text;
}

/// The cases of tests/data/`name`, each its fields; fails the test when the file cannot be read.
inline std::vector<QStringList> ReadCases(const QString& name) {
  QFile file(SourceDir() + QStringLiteral("/tests/data/") + name);
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
  std::vector<QStringList> cases;
  for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
    if (line.trimmed().isEmpty() || line.startsWith(u'#')) continue;
    QString text = line;
    for (qsizetype at = text.indexOf(QLatin1String("  # ")); at >= 0;
         at = text.indexOf(QLatin1String("  # "), at + 1)) {
      if (text.left(at).count(u'"') % 2 == 0) {
        text.truncate(at);
        break;
      }
    }
    QStringList fields;
    for (const QString& field : text.split(QStringLiteral(" | ")))
      fields << CaseField(field);
    cases.push_back(fields);
  }
  EXPECT_FALSE(cases.empty()) << name.toStdString();
  return cases;
}

}  // namespace tarvel::test
