#include "excel/WorkbookConversion.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <cerrno>
#include <csignal>
#include <cstdio>

#include "excel/ConvertedWorkbook.h"
#include "platform/Termination.h"
#include "platform/WorkFolder.h"

namespace tarvel::excel {
namespace {

QString Converter() {
  for (const char* name : {"soffice", "libreoffice"}) {
    const QString path = QStandardPaths::findExecutable(QLatin1String(name));
    if (!path.isEmpty()) return path;
  }
  return QString();
}

QString Extension(WorkbookFormat format) {
  return format == WorkbookFormat::Xls ? QStringLiteral("xls") : QStringLiteral("ods");
}

// In the converter's process after fork, before exec: only calls a signal handler may make.
// LibreOffice's launcher starts the real converter as its own child, which a parent-death
// signal would not reach; the group and its watchdog do.
void EnterConverterGroup(int watchRead, int watchWrite, pid_t program) {
  ::setpgid(0, 0);
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (::getppid() != program) ::_exit(127);  // the program ended before the line above
  if (::fork() == 0) {
    // The watchdog: reads until the program's end of the pipe closes (the program finished the
    // conversion or died), then ends the group, itself included.
    ::close_range(0, static_cast<unsigned>(watchRead) - 1, 0);
    ::close_range(static_cast<unsigned>(watchRead) + 1, ~0U, 0);
    char byte = 0;
    while (::read(watchRead, &byte, 1) < 0 && errno == EINTR) {
    }
    ::kill(0, SIGKILL);
    ::_exit(0);
  }
  ::close(watchRead);
  ::close(watchWrite);
}

struct Descriptor {
  int fd = -1;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

QString ValuesText(const std::vector<SheetValues>& sheets) {
  QStringList parts;
  for (const SheetValues& sheet : sheets)
    parts << QStringLiteral("%1 列有值，最後是第 %2 列").arg(sheet.rows).arg(sheet.lastRow);
  return QStringLiteral("%1 張工作表（%2）")
      .arg(sheets.size())
      .arg(parts.join(QStringLiteral("、")));
}

}  // namespace

WorkbookFormat FormatOfPath(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("xls")) return WorkbookFormat::Xls;
  if (suffix == QLatin1String("ods")) return WorkbookFormat::Ods;
  return WorkbookFormat::Xlsx;
}

void ConvertWorkbook(const QString& xlsxPath, WorkbookFormat format, const QString& target,
                     const std::vector<SheetValues>& expected, const ConversionWatch& heard,
                     int timeoutMs) {
  if (format == WorkbookFormat::Xlsx) return;
  const auto goOn = [&](ConversionStep step) {
    if (TerminationRequested())
      throw ConversionInterrupted(QStringLiteral("程式結束，轉檔中斷：") + target);
    if (heard && !heard(step)) throw ConversionInterrupted(QStringLiteral("已取消轉檔：") + target);
  };
  goOn(ConversionStep::Converting);
  const QString converter = Converter();
  if (converter.isEmpty())
    throw Error(QStringLiteral("找不到 LibreOffice（soffice），無法轉成 .%1 檔：%2")
                    .arg(Extension(format), target));

  const QFileInfo targetInfo(target);
  const WorkFolder work(targetInfo.absolutePath(), QStringLiteral("convert"));
  if (!work.IsValid())
    throw Error(QStringLiteral("無法在 %1 建立暫存資料夾").arg(targetInfo.absolutePath()));
  const QString profile = QUrl::fromLocalFile(work.FilePath(QStringLiteral("profile"))).toString();
  const QString filter = format == WorkbookFormat::Xls ? QStringLiteral("xls:MS Excel 97")
                                                       : QStringLiteral("ods:calc8");
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  // LibreOffice's own temporary files go with the work folder too.
  environment.insert(QStringLiteral("TMPDIR"), work.Path());
  process.setProcessEnvironment(environment);
  int watch[2];
  if (::pipe2(watch, O_CLOEXEC) != 0) throw Error(QStringLiteral("無法啟動 LibreOffice（pipe）"));
  const Descriptor watchRead{watch[0]};
  // Open for as long as the conversion runs; its end tells the watchdog to end the group.
  Descriptor watchWrite{watch[1]};
  const pid_t program = ::getpid();
  process.setChildProcessModifier([=] { EnterConverterGroup(watch[0], watch[1], program); });
  process.start(converter, {QStringLiteral("-env:UserInstallation=") + profile,
                            QStringLiteral("--headless"), QStringLiteral("--norestore"),
                            QStringLiteral("--nologo"), QStringLiteral("--convert-to"), filter,
                            QStringLiteral("--outdir"), work.Path(), xlsxPath});
  if (!process.waitForStarted())
    throw Error(QStringLiteral("無法啟動 LibreOffice：") + process.errorString());
  const pid_t group = static_cast<pid_t>(process.processId());
  const TerminationCleanup killedAtSignal = TerminationCleanup::ProcessGroup(group);
  const auto endGroup = [&] {
    ::kill(-group, SIGKILL);
    process.waitForFinished();
  };
  const QDeadlineTimer deadline(timeoutMs);
  while (process.state() != QProcess::NotRunning && !process.waitForFinished(100)) {
    try {
      goOn(ConversionStep::Converting);
    } catch (const ConversionInterrupted&) {
      endGroup();
      throw;
    }
    if (deadline.hasExpired()) {
      endGroup();
      throw Error(QStringLiteral("LibreOffice 轉檔逾時：") + target);
    }
  }
  // Nothing the converter started outlives it.
  ::kill(-group, SIGKILL);
  goOn(ConversionStep::Checking);
  const QString converted =
      work.FilePath(QFileInfo(xlsxPath).completeBaseName() + QLatin1Char('.') + Extension(format));
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 ||
      !QFileInfo(converted).isFile() || QFileInfo(converted).size() == 0)
    throw Error(QStringLiteral("LibreOffice 無法轉換 %1：%2")
                    .arg(target, QString::fromLocal8Bit(process.readAll()).trimmed()));
  const std::vector<SheetValues> found = ReadSheetValues(converted, format, [&] {
    goOn(ConversionStep::Checking);
    return false;
  });
  if (found != expected)
    throw Error(QStringLiteral("LibreOffice 轉成的 %1 與活頁簿不符：活頁簿有 %2，轉換後是 %3。")
                    .arg(target, ValuesText(expected), ValuesText(found)));
  // rename(2) replaces the old file in one step: a reader sees the old workbook or the new one.
  if (std::rename(QFile::encodeName(converted).constData(),
                  QFile::encodeName(targetInfo.absoluteFilePath()).constData()) != 0)
    throw Error(QStringLiteral("無法寫入檔案：") + target);
}

}  // namespace tarvel::excel
