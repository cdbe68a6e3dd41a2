// Many workstations at once on the server: one writes work orders while eight others print the
// 表1 overview over and over, each a tarvel-cli process of its own. No report may fail; each
// report's footer counts exactly the lines it printed; and that count only ever grows by whole
// batches of the writer, because each report read one committed state of the database.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include "db/Connection.h"
#include "demo/DemoDatabase.h"
#include "support/Server.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

constexpr int kReaders = 8;
constexpr int kBatch = 3;  // work orders per transaction of the writer
constexpr int kSeconds = 8;

/// The work orders one report printed: its detail lines and the count in its footer.
struct Printed {
  qint64 lines = 0;
  qint64 footer = -1;
};

Printed ReadPrinted(const QString& textPath) {
  QFile file(textPath);
  Printed printed;
  if (!file.open(QIODevice::ReadOnly)) return printed;
  bool inFooter = false;
  for (const QString& line : QString::fromUtf8(file.readAll()).split(u'\n')) {
    if (line.startsWith(QLatin1String("-- "))) {
      inFooter = line.startsWith(QLatin1String("-- GroupFooter1"));
      if (line.startsWith(QLatin1String("-- Detail"))) ++printed.lines;
    } else if (inFooter && line.startsWith(QLatin1String("Field1: "))) {
      printed.footer = line.mid(8).remove(u',').toLongLong();
    }
  }
  return printed;
}

TEST(ServerConcurrency, EightReportsWhileAWorkstationWrites) {
  TARVEL_REQUIRE_SERVER();
  test::ScratchServerDb scratch;
  demo::DemoOptions options;
  options.orders = 400;
  options.seed = 7;
  options.today = QDate(2026, 12, 4);
  options.force = true;
  demo::GenerateDemoOnServer(scratch.uri, options);
  // Every report covers 115/12: the demo's own orders of the month and the writer's.
  const QStringList reportArguments = {QStringLiteral("report"),
                                       QStringLiteral("--choice"),
                                       QStringLiteral("0"),
                                       QStringLiteral("--db"),
                                       scratch.uri,
                                       QStringLiteral("--today"),
                                       QStringLiteral("2026-12-04"),
                                       QStringLiteral("--date-from"),
                                       QStringLiteral("1151201"),
                                       QStringLiteral("--date-to"),
                                       QStringLiteral("1151231")};
  const auto countNow = [&] {
    return scratch.Open()
        ->OpenRecordset(QStringLiteral("select count(*) as n from [歷史工單明細] where ODATE "
                                       "between '1151201' and '1151231'"))
        .Field(0)
        .Number();
  };
  const qint64 before = static_cast<qint64>(countNow());

  std::atomic<bool> stop = false;
  std::atomic<int> batches = 0;
  std::string writerFailure;
  std::thread writer([&] {
    try {
      const auto connection = scratch.Open();
      for (int b = 0; !stop; ++b) {
        db::Transaction transaction(*connection);
        for (int i = 0; i < kBatch; ++i) {
          connection->Execute(
              QStringLiteral(
                  "insert into [工單主檔] (PO, ODATE, CUST, EMPNO, EMPNO1, 工務人員代號, "
                  "KIND, 分類, CUSTNO, CODE, QTY, PRICE, AMT, OTAMT, COST) values "
                  "('W%1', '1151215', 'C0001', 'A001', 'A001', 'A001', '一般', '', '', "
                  "'', 100, 2, 200, 0, 150)")
                  .arg(b * kBatch + i, 8, 10, QLatin1Char('0')));
        }
        // And a change to an order the readers print.
        connection->Execute(QStringLiteral("update [工單主檔] set AMT = AMT + 1 where PO = 'W%1'")
                                .arg(b * kBatch, 8, 10, QLatin1Char('0')));
        transaction.Commit();
        ++batches;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    } catch (const std::exception& e) {
      writerFailure = e.what();
    }
  });

  test::TempDir folder;
  std::vector<Printed> reports;
  QStringList failures;
  const QDeadlineTimer deadline(kSeconds * 1000);
  for (int round = 0; !deadline.hasExpired(); ++round) {
    std::vector<std::unique_ptr<QProcess>> processes;
    QStringList paths;
    for (int r = 0; r < kReaders; ++r) {
      paths << folder.File(QStringLiteral("%1-%2.txt").arg(round).arg(r));
      auto process = std::make_unique<QProcess>();
      process->start(QStringLiteral(TARVEL_CLI),
                     reportArguments + QStringList{"--text", paths.back()});
      processes.push_back(std::move(process));
    }
    for (int r = 0; r < kReaders; ++r) {
      QProcess& process = *processes[static_cast<size_t>(r)];
      if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        failures << QString::fromUtf8(process.readAllStandardError());
        continue;
      }
      reports.push_back(ReadPrinted(paths[r]));
    }
  }
  stop = true;
  writer.join();
  ASSERT_TRUE(writerFailure.empty()) << writerFailure;
  EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();

  const qint64 after = static_cast<qint64>(countNow());
  EXPECT_EQ(after - before, qint64{batches} * kBatch);
  ASSERT_GE(reports.size(), size_t{kReaders});
  std::set<qint64> counts;
  for (const Printed& printed : reports) {
    EXPECT_EQ(printed.footer, printed.lines);
    EXPECT_GE(printed.lines, before);
    EXPECT_LE(printed.lines, after);
    EXPECT_EQ((printed.lines - before) % kBatch, 0) << printed.lines << " lines: half a batch";
    counts.insert(printed.lines);
  }
  RecordProperty("reports", static_cast<int>(reports.size()));
  RecordProperty("batches", batches.load());
  std::printf("%zu reports, %d batches written, %zu distinct counts\n", reports.size(),
              batches.load(), counts.size());
  EXPECT_GT(counts.size(), 1u) << "the reports ran while the writer wrote";
}

}  // namespace
}  // namespace tarvel
