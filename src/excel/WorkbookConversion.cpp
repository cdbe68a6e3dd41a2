#include "excel/WorkbookConversion.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <cstdio>

#include "platform/Error.h"

namespace tarvel::excel {
namespace {

QString Converter() {
  for (const char* name : {"soffice", "libreoffice"}) {
    const QString path = QStandardPaths::findExecutable(QLatin1String(name));
    if (!path.isEmpty()) return path;
  }
  return QString();
}

}  // namespace

WorkbookFormat FormatOfPath(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("xls")) return WorkbookFormat::Xls;
  if (suffix == QLatin1String("ods")) return WorkbookFormat::Ods;
  return WorkbookFormat::Xlsx;
}

void ConvertWorkbook(const QString& xlsxPath, WorkbookFormat format, const QString& target,
                     int timeoutMs) {
  if (format == WorkbookFormat::Xlsx) return;
  const QString converter = Converter();
  if (converter.isEmpty())
    throw Error(
        QStringLiteral("找不到 LibreOffice（soffice），無法轉成 %1 檔：%2")
            .arg(format == WorkbookFormat::Xls ? QStringLiteral(".xls") : QStringLiteral(".ods"),
                 target));

  const QFileInfo targetInfo(target);
  QTemporaryDir work(targetInfo.absolutePath() + QStringLiteral("/.tarvel-convert-XXXXXX"));
  if (!work.isValid())
    throw Error(QStringLiteral("無法在 %1 建立暫存資料夾").arg(targetInfo.absolutePath()));
  const QString profile = QUrl::fromLocalFile(work.filePath(QStringLiteral("profile"))).toString();
  const QString filter = format == WorkbookFormat::Xls ? QStringLiteral("xls:MS Excel 97")
                                                       : QStringLiteral("ods:calc8");
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(converter, {QStringLiteral("-env:UserInstallation=") + profile,
                            QStringLiteral("--headless"), QStringLiteral("--norestore"),
                            QStringLiteral("--nologo"), QStringLiteral("--convert-to"), filter,
                            QStringLiteral("--outdir"), work.path(), xlsxPath});
  if (!process.waitForStarted())
    throw Error(QStringLiteral("無法啟動 LibreOffice：") + process.errorString());
  if (!process.waitForFinished(timeoutMs)) {
    process.kill();
    process.waitForFinished();
    throw Error(QStringLiteral("LibreOffice 轉檔逾時：") + target);
  }
  const QString converted = work.filePath(
      QFileInfo(xlsxPath).completeBaseName() + QLatin1Char('.') +
      (format == WorkbookFormat::Xls ? QStringLiteral("xls") : QStringLiteral("ods")));
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
      !QFileInfo(converted).isFile() || QFileInfo(converted).size() == 0)
    throw Error(QStringLiteral("LibreOffice 無法轉換 %1：%2")
                    .arg(target, QString::fromLocal8Bit(process.readAll()).trimmed()));
  // rename(2) replaces the old file in one step: a reader sees the old workbook or the new one.
  if (std::rename(QFile::encodeName(converted).constData(),
                  QFile::encodeName(targetInfo.absoluteFilePath()).constData()) != 0)
    throw Error(QStringLiteral("無法寫入檔案：") + target);
}

}  // namespace tarvel::excel
