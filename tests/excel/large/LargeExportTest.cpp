// Exports on the run's large demo database (56,000 work orders): an .xls of more rows than one of
// its sheets holds, read back by LibreOffice; tarvel-cli exports ended by signals.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <functional>

#include "criteria/WindowDefaults.h"
#include "demo/DemoDatabase.h"
#include "excel/ConvertedWorkbook.h"
#include "excel/workbook/Worksheet.h"
#include "output/OutputRun.h"
#include "platform/Clock.h"
#include "startup/Startup.h"
#include "support/Demo.h"
#include "support/Processes.h"
#include "support/RecordingUi.h"
#include "support/TempDir.h"

namespace tarvel::excel {
namespace {

using test::TempDir;

QString LargeDemoPath() {
  return test::LargeDemoDatabasePath();
}

QStringList Entries(const QString& folder) {
  return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
  const QDeadlineTimer deadline(milliseconds);
  while (!condition()) {
    if (deadline.hasExpired()) return false;
    QThread::msleep(20);
  }
  return true;
}

using test::ProcessesMentioning;

/// Whether LibreOffice's converter proper (its launcher starts it as a child of its own, which
/// outlives the launcher) works in a work folder of `folder`; names that folder in `work`.
bool ConverterRuns(const TempDir& folder, QString& work) {
  for (const QString& name : Entries(folder.Path()))
    if (name.startsWith(".tarvel-convert-") &&
        ProcessesMentioning(folder.File(name), "soffice.bin") > 0) {
      work = folder.File(name);
      return true;
    }
  return false;
}

// The whole large demo: its conversion runs for seconds, long enough to be interrupted.
constexpr char kFirstDay[] = "0010101";
constexpr char kLastDay[] = "9991231";

QString ReadText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

/// tarvel-cli exporting 表1 of the large demo (work orders dated within `from`..`to`) to `target`.
std::unique_ptr<QProcess> StartExport(const QString& target, const QString& from,
                                      const QString& to) {
  auto process = std::make_unique<QProcess>();
  process->setProcessChannelMode(QProcess::MergedChannels);
  process->start(QStringLiteral(TARVEL_CLI),
                 {"excel", "--choice", "0", "--db", LargeDemoPath(), "--today", "2026-12-04",
                  "--admin", "系統管理員", "--user", "系統管理員", "--date-from", from, "--date-to",
                  to, "--xlsx", target});
  EXPECT_TRUE(process->waitForStarted(30000));
  return process;
}

// The first field of a CSV line as LibreOffice writes it.
QString FirstField(const QString& line) {
  if (!line.startsWith(u'"')) return line.section(u',', 0, 0);
  QString field;
  for (qsizetype i = 1; i < line.size(); ++i) {
    if (line[i] == u'"') {
      if (i + 1 < line.size() && line[i + 1] == u'"') {
        field += u'"';
        ++i;
        continue;
      }
      break;
    }
    field += line[i];
  }
  return field;
}

TEST(LargeExport, AnXlsOfMoreRowsThanASheetHoldsKeepsEveryRowAndTheTotals) {
  const ScopedToday today(test::DemoToday());
  test::RecordingUi ui;
  AppContext context;
  ASSERT_TRUE(LoadContextForDatabase(
      context, LargeDemoPath(),
      "-qdx5170 -AD=系統管理員 -NAME=系統管理員 -ID= -XLS=.xls -DOC=.docx -PID=0"));
  OverviewFormState form;
  QStringList expected;
  WorkOrderCriteria criteria;
  {
    const auto connection = db::Connection::OpenFile(LargeDemoPath());
    form = FirstActivationDefaults(LoadSalespeople(*connection), LoadCustomers(*connection));
    form.txt日期_起 = kFirstDay;
    form.txt日期_末 = kLastDay;
    CaptureCriteria(form, criteria);
    db::Cursor rows = connection->OpenCursor(
        RowFor(form).Statement({.context = context, .overview = &criteria}, StatementUse::Export));
    while (rows.Next())
      expected << rows.Text(QStringLiteral("PO"));
  }
  // 22 lines a block of 28 rows: far more rows than an .xls sheet's.
  ASSERT_GT(expected.size() / 22 * 28, kXlsMaxRows);

  TempDir folder;
  const QString target = folder.File("工單一覽表.xls");
  ASSERT_EQ(ExportReport(RowFor(form), {.context = context, .overview = &criteria}, target),
            ExportOutcome::Written)
      << ui.messages.back().text.toStdString();

  // LibreOffice reads the file back, every sheet into a CSV file of its own.
  QProcess soffice;
  soffice.setProcessChannelMode(QProcess::MergedChannels);
  soffice.start("soffice",
                {"-env:UserInstallation=" + QUrl::fromLocalFile(folder.File("profile")).toString(),
                 "--headless", "--norestore", "--convert-to",
                 "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1",
                 "--outdir", folder.File("back"), target});
  ASSERT_TRUE(soffice.waitForFinished(600000));
  const QStringList sheets =
      QDir(folder.File("back")).entryList({"*.csv"}, QDir::Files, QDir::Name);
  // A sheet ends at its last row or at its last page break, whichever comes first: here the
  // page breaks, 1,024 blocks a sheet.
  const qsizetype blocks = (expected.size() + 21) / 22;
  const qsizetype blocksPerSheet = std::min<qsizetype>(kMaxPageBreaks + 1, kXlsMaxRows / 28);
  QStringList names;
  for (qsizetype n = 1; n <= (blocks + blocksPerSheet - 1) / blocksPerSheet; ++n)
    names << QStringLiteral("工單一覽表-工作表%1.csv").arg(n);
  ASSERT_GT(names.size(), 1);
  ASSERT_EQ(sheets, names) << soffice.readAll().toStdString();

  static const QRegularExpression workOrder(QStringLiteral("^\\d{9}$"));
  QStringList written;
  QString lastLine;
  for (const QString& sheet : sheets) {
    QStringList lines = ReadText(folder.File("back/" + sheet)).split(u'\n');
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
      lines.removeLast();
    EXPECT_LE(lines.size(), blocksPerSheet * 28) << sheet.toStdString();
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(FirstField(lines.front()), "工單一覽表")
        << sheet.toStdString() << ": a sheet starts with a page block's heading";
    for (const QString& line : lines)
      if (workOrder.match(FirstField(line)).hasMatch()) written << FirstField(line);
    lastLine = lines.back();
  }
  ASSERT_EQ(written.size(), expected.size());
  for (qsizetype i = 0; i < expected.size(); ++i)
    ASSERT_EQ(written[i], expected[i]) << "line " << i;
  EXPECT_EQ(FirstField(lastLine), QStringLiteral("合　　計：%1 件").arg(expected.size()));
}

// Logout (SIGTERM), Ctrl+C (SIGINT) or a closed terminal (SIGHUP) while the rows are written or
// while LibreOffice converts them: the old workbook stays, nothing is left beside it, and no
// converter goes on running.
TEST(InterruptedExport, ASignalLeavesTheOldTargetAloneAndNothingBesideIt) {
  const struct {
    const char* stage;
    int signal;
    const char* from;
    const char* to;
  } cases[] = {
      {"rows", SIGTERM, kFirstDay, kLastDay},
      {"conversion", SIGTERM, kFirstDay, kLastDay},
      {"conversion", SIGINT, "1151101", "1151130"},
      {"conversion", SIGHUP, "1151101", "1151130"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.stage) + " " + std::to_string(c.signal));
    TempDir folder;
    const QString target = folder.Write("工單一覽表.xls", "old workbook");
    const auto cli = StartExport(target, c.from, c.to);
    QString work;
    ASSERT_TRUE(WaitFor(
        [&] {
          if (std::strcmp(c.stage, "conversion") == 0) return ConverterRuns(folder, work);
          for (const QString& name : Entries(folder.Path()))
            if (name.startsWith(".tarvel-xlsx-")) work = folder.File(name);
          return !work.isEmpty();
        },
        180000))
        << cli->readAll().toStdString();
    ::kill(static_cast<pid_t>(cli->processId()), c.signal);
    ASSERT_TRUE(cli->waitForFinished(60000));
    EXPECT_EQ(cli->exitStatus(), QProcess::CrashExit) << "ended by the signal, as before";
    EXPECT_EQ(Entries(folder.Path()), QStringList{"工單一覽表.xls"});
    EXPECT_EQ(ReadText(target), "old workbook");
    EXPECT_TRUE(WaitFor([&] { return ProcessesMentioning(folder.Path()) == 0; }, 30000))
        << "a converter outlived the program";
  }
}

// A program killed outright cannot clean up: its converter still ends with it, and the next export
// in the folder removes what it left.
TEST(InterruptedExport, AKilledProgramsConverterEndsAndTheNextExportClearsItsFolders) {
  TempDir folder;
  const QString target = folder.Write("工單一覽表.xls", "old workbook");
  const auto cli = StartExport(target, kFirstDay, kLastDay);
  QString work;
  ASSERT_TRUE(WaitFor([&] { return ConverterRuns(folder, work); }, 180000))
      << cli->readAll().toStdString();
  // Once it has read the workbook, the converter no longer notices its launcher's end.
  QThread::sleep(3);
  ASSERT_GT(ProcessesMentioning(work, "soffice.bin"), 0) << "the conversion ended too soon";
  ::kill(static_cast<pid_t>(cli->processId()), SIGKILL);
  ASSERT_TRUE(cli->waitForFinished(60000));
  EXPECT_TRUE(WaitFor([&] { return ProcessesMentioning(folder.Path()) == 0; }, 30000))
      << "the converter outlived the killed program";
  EXPECT_GT(Entries(folder.Path()).size(), 1) << "a killed program leaves its folders";

  const auto next = StartExport(folder.File("下一次.xlsx"), "1151101", "1151110");
  ASSERT_TRUE(next->waitForFinished(300000));
  EXPECT_EQ(next->exitCode(), 0) << next->readAll().toStdString();
  EXPECT_EQ(Entries(folder.Path()), (QStringList{"下一次.xlsx", "工單一覽表.xls"}));
  EXPECT_EQ(ReadText(target), "old workbook");
}

}  // namespace
}  // namespace tarvel::excel
