#include "support/Golden.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>

#include "support/TempDir.h"

namespace tarvel::test {

void ExpectGolden(const QString& name, const QString& actual) {
  const QString path = SourceDir() + QStringLiteral("/tests/golden/") + name;
  if (qEnvironmentVariable("TARVEL_UPDATE_GOLDEN") == QLatin1String("1")) {
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(actual.toUtf8());
    ASSERT_TRUE(file.commit()) << path.toStdString();
    return;
  }
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly))
      << path.toStdString() << " is missing: run scripts/update-golden";
  const QString expected = QString::fromUtf8(file.readAll());
  if (expected == actual) return;
  const QStringList want = expected.split(u'\n');
  const QStringList got = actual.split(u'\n');
  qsizetype line = 0;
  while (line < want.size() && line < got.size() && want[line] == got[line])
    ++line;
  ADD_FAILURE() << name.toStdString() << " differs from the golden file at line " << line + 1
                << "\n  golden: " << want.value(line).toStdString()
                << "\n  actual: " << got.value(line).toStdString()
                << "\n(scripts/update-golden writes it anew)";
}

QString PdfText(const QString& pdfPath) {
  QProcess pdftotext;
  pdftotext.start(QStringLiteral("/usr/bin/pdftotext"),
                  {QStringLiteral("-layout"), pdfPath, QStringLiteral("-")});
  if (!pdftotext.waitForFinished(60000) || pdftotext.exitCode() != 0) {
    ADD_FAILURE() << "pdftotext failed on " << pdfPath.toStdString();
    return {};
  }
  return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

}  // namespace tarvel::test
