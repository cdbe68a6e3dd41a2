// The programs against their bare limits, as whole processes on one demo database, in pairs run
// one after the other so both see the same machine (others building on it slow both alike):
//   - Excel: `tarvel-cli excel` (process start, the check, the rows, the save and its check
//     included) against bare_table1 writing the same workbook in plain C;
//   - text: `tarvel-cli report --text` against bare_table1 stepping the same statement and
//     reading every column as text.
// Prints each side's median wall time, user time (its children's included: the workbook's
// package is made in one) and peak resident memory, tarvel's ratios of those medians to the bare
// program's, and the median of the pairs' own ratios.
// TARVEL_BENCH_ORDERS sets the demo's work orders (100,000), TARVEL_BENCH_PAIRS the pairs (3);
// with TARVEL_BENCH_KEEP set, the database, the statement and the outputs are kept for profiling.
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <stdexcept>
#include <vector>

#include "Table1Request.h"

namespace tarvel {
namespace {

struct Usage {
  double wallSeconds = 0;
  double userSeconds = 0;
  double peakMiB = 0;
};

/// Runs `program` with `args` through measure_run; throws when it cannot start or fails.
Usage Run(const QString& program, const QStringList& args) {
  QProcess run;
  run.start(QStringLiteral(MEASURE_RUN_PATH), QStringList{program} + args);
  if (!run.waitForFinished(-1) || run.exitStatus() != QProcess::NormalExit || run.exitCode() != 0)
    throw std::runtime_error(program.toStdString() +
                             " failed: " + run.readAllStandardError().toStdString());
  const QList<QByteArray> fields = run.readAllStandardOutput().trimmed().split(' ');
  if (fields.size() != 3) throw std::runtime_error("measure_run said nothing");
  return {fields[0].toDouble(), fields[1].toDouble(), fields[2].toDouble() / 1024};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

Usage Medians(const std::vector<Usage>& runs) {
  const auto of = [&](double Usage::*member) {
    std::vector<double> values;
    for (const Usage& run : runs)
      values.push_back(run.*member);
    return Median(values);
  };
  return {of(&Usage::wallSeconds), of(&Usage::userSeconds), of(&Usage::peakMiB)};
}

/// The median of each pair's ratio: a pair's two runs see the same machine, so a machine that
/// changes pace during the benchmark (another guest on the host) moves both sides of a pair alike.
Usage PairRatios(const std::vector<Usage>& tarvel, const std::vector<Usage>& bare) {
  std::vector<Usage> ratios;
  for (std::size_t i = 0; i < tarvel.size(); ++i)
    ratios.push_back({tarvel[i].wallSeconds / bare[i].wallSeconds,
                      tarvel[i].userSeconds / bare[i].userSeconds,
                      tarvel[i].peakMiB / bare[i].peakMiB});
  return Medians(ratios);
}

void Report(const char* work, const std::vector<Usage>& tarvelRuns,
            const std::vector<Usage>& bareRuns) {
  const Usage tarvel = Medians(tarvelRuns), bare = Medians(bareRuns);
  const Usage ratio = PairRatios(tarvelRuns, bareRuns);
  const int pairs = static_cast<int>(tarvelRuns.size());
  std::printf("%-6s tarvel  %7.2f s wall %7.2f s user %7.1f MiB\n", work, tarvel.wallSeconds,
              tarvel.userSeconds, tarvel.peakMiB);
  std::printf("%-6s bare    %7.2f s wall %7.2f s user %7.1f MiB\n", work, bare.wallSeconds,
              bare.userSeconds, bare.peakMiB);
  std::printf("%-6s ratio   %7.2fx wall %7.2fx user %7.2fx memory   (medians of %d pairs)\n", work,
              tarvel.wallSeconds / bare.wallSeconds, tarvel.userSeconds / bare.userSeconds,
              tarvel.peakMiB / bare.peakMiB, pairs);
  std::printf(
      "%-6s pairs   %7.2fx wall %7.2fx user %7.2fx memory   (median of the pairs' ratios)\n", work,
      ratio.wallSeconds, ratio.userSeconds, ratio.peakMiB);
  std::fflush(stdout);
}

QString LoadAverage() {
  QFile file(QStringLiteral("/proc/loadavg"));
  return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(u' ', 0, 2)
                                        : QStringLiteral("?");
}

int Main() {
  const int orders = bench::OrdersFrom("TARVEL_BENCH_ORDERS", 100000);
  const int pairs = bench::OrdersFrom("TARVEL_BENCH_PAIRS", 3);
  QTemporaryDir dir;
  if (qEnvironmentVariableIsSet("TARVEL_BENCH_KEEP")) {
    dir.setAutoRemove(false);
    std::printf("files kept in %s\n", qPrintable(dir.path()));
  }
  const QString database = bench::WriteDemo(dir.path(), orders);
  const bench::Table1Request request(database);
  const QString cli = QStringLiteral(TARVEL_CLI_PATH);
  const QString bare = QStringLiteral(BARE_TABLE1_PATH);

  // The bare program steps the statement tarvel-cli runs: the same request, checked here.
  QProcess sql;
  sql.start(cli, QStringList{QStringLiteral("sql")} + request.CliOptions());
  sql.waitForFinished(-1);
  const QString cliStatement = QString::fromUtf8(sql.readAllStandardOutput()).trimmed();
  if (cliStatement != request.Statement(StatementUse::Export).trimmed()) {
    std::fprintf(stderr, "tarvel-cli sql gives another statement:\n%s\n", qPrintable(cliStatement));
    return 1;
  }
  const QString statementFile = dir.filePath(QStringLiteral("table1.sql"));
  QFile file(statementFile);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write(request.SqliteStatement(StatementUse::Export).toUtf8()) < 0)
    return 1;
  file.close();
  const QString today = bench::BenchToday().toString(Qt::ISODate);

  std::printf("表1 over %d work orders, %d pairs; load average before: %s\n", orders, pairs,
              qPrintable(LoadAverage()));
  struct Work {
    const char* name;
    QStringList tarvel;
    QStringList bare;
  };
  const Work works[] = {
      {"Excel",
       QStringList{QStringLiteral("excel")} + request.CliOptions() +
           QStringList{QStringLiteral("--xlsx"), dir.filePath(QStringLiteral("tarvel.xlsx"))},
       {database, statementFile, today, dir.filePath(QStringLiteral("bare.xlsx"))}},
      {"text",
       QStringList{QStringLiteral("report")} + request.CliOptions() +
           QStringList{QStringLiteral("--text"), dir.filePath(QStringLiteral("tarvel.txt"))},
       {database, statementFile, today}},
  };
  for (const Work& work : works) {
    std::vector<Usage> tarvelRuns, bareRuns;
    for (int i = 0; i < pairs; ++i) {
      tarvelRuns.push_back(Run(cli, work.tarvel));
      bareRuns.push_back(Run(bare, work.bare));
    }
    Report(work.name, tarvelRuns, bareRuns);
  }
  std::printf("load average after: %s\n", qPrintable(LoadAverage()));
  return 0;
}

}  // namespace
}  // namespace tarvel

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  try {
    return tarvel::Main();
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
