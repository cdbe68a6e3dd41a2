#include "pg/random/EngineOutcome.h"

#include <unistd.h>
#include <QTextStream>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <map>

#include "db/RowText.h"
#include "platform/Error.h"

namespace tarvel::test {
namespace {

// The words every engine's refusal of a construct it does not serve carries.
const QString kRefusal = QStringLiteral("資料庫上不支援");

// The fields of one JSON line as WriteRows writes it ([null,1.5,"a,\"b\""]), each as written.
QStringList Fields(QStringView line) {
  QStringList fields;
  if (line.size() < 2) return fields;
  line = line.mid(1, line.size() - 2);
  QString field;
  bool quoted = false;
  for (qsizetype i = 0; i < line.size(); ++i) {
    const QChar c = line[i];
    if (quoted && c == u'\\' && i + 1 < line.size()) {
      field += c;
      field += line[++i];
      continue;
    }
    if (c == u'"') quoted = !quoted;
    if (c == u',' && !quoted) {
      fields << field;
      field.clear();
      continue;
    }
    field += c;
  }
  fields << field;
  return fields;
}

QString Line(const QStringList& fields) {
  return u'[' + fields.join(u',') + u']';
}

// Rows cut into runs that tie on the sort columns: each run's key, and its rows in a fixed order.
std::vector<std::pair<QString, std::vector<QString>>> TiedRuns(const Outcome& o,
                                                               const std::vector<int>& columns) {
  std::vector<std::pair<QString, std::vector<QString>>> runs;
  for (const QStringList& row : o.rows) {
    QStringList key;
    for (int c : columns)
      key << (c < row.size() ? row[c].toCaseFolded() : QString());
    const QString joined = key.join(QChar(0x1F));
    if (runs.empty() || runs.back().first != joined) runs.push_back({joined, {}});
    runs.back().second.push_back(Line(row));
  }
  for (auto& run : runs)
    std::sort(run.second.begin(), run.second.end());
  return runs;
}

std::vector<QString> Sorted(const Outcome& o) {
  std::vector<QString> lines;
  for (const QStringList& row : o.rows)
    lines.push_back(Line(row));
  std::sort(lines.begin(), lines.end());
  return lines;
}

QString Describe(const QString& engine, const Outcome& o, int maxRows) {
  QString text = QStringLiteral("  %1: ").arg(engine);
  if (o.failed) return text + QStringLiteral("error: ") + o.error + u'\n';
  text += QStringLiteral("%1 rows\n    %2\n").arg(o.rows.size()).arg(o.header);
  for (size_t r = 0; r < o.rows.size() && r < static_cast<size_t>(maxRows); ++r)
    text += QStringLiteral("    ") + Line(o.rows[r]) + u'\n';
  if (o.rows.size() > static_cast<size_t>(maxRows)) text += QStringLiteral("    …\n");
  return text;
}

// The statement a crash reports: written before the run, read by the signal handler, which may
// only write bytes already in place.
char crashNote[8192];
size_t crashNoteLength = 0;
struct sigaction previous[32];
constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

void OnCrash(int signal) {
  static const char lead[] = "\ncrashed while running: ";
  (void)!write(STDERR_FILENO, lead, sizeof lead - 1);
  (void)!write(STDERR_FILENO, crashNote, crashNoteLength);
  (void)!write(STDERR_FILENO, "\n", 1);
  // The handler that was there before (the sanitizer's, or the default) takes over: a fault
  // happens again on return, an abort is raised again.
  sigaction(signal, &previous[signal], nullptr);
  if (signal == SIGABRT) raise(signal);
}

}  // namespace

bool Outcome::Refused() const {
  return failed && error.contains(kRefusal);
}

Outcome RunStatement(db::Connection& connection, const QString& sql,
                     const QList<QPair<QString, QString>>& parameters) {
  Outcome outcome;
  db::QueryOptions options;
  options.accessWildcards = true;
  options.queryOnly = true;
  for (const auto& [name, value] : parameters)
    options.parameters.insert(db::ParameterKey(name), db::Value(value));
  try {
    QString text;
    {
      db::Cursor rows = connection.OpenCursor(sql, options);
      QTextStream out(&text);
      db::WriteRows(rows, db::RowFormat::Json, out);
    }
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    if (!lines.isEmpty()) outcome.header = lines.takeFirst();
    for (const QString& line : lines)
      outcome.rows.push_back(Fields(line));
  } catch (const Error& e) {
    outcome.failed = true;
    outcome.error = e.Description();
  } catch (const std::exception& e) {
    outcome.failed = true;
    outcome.error = QString::fromUtf8(e.what());
  }
  return outcome;
}

Verdict Judge(const Outcome& sqlite, const Outcome& server, const std::vector<int>& orderColumns) {
  using Kind = Verdict::Kind;
  if (sqlite.failed && server.failed) return {Kind::BothFailed, {}};
  if (sqlite.failed || server.failed) {
    const Outcome& failed = sqlite.failed ? sqlite : server;
    if (failed.Refused()) return {Kind::Refused, {}};
    return {Kind::Different,
            sqlite.failed ? QStringLiteral("SQLite fails") : QStringLiteral("the server fails")};
  }
  if (sqlite.header != server.header) return {Kind::Different, QStringLiteral("column names")};
  if (Sorted(sqlite) != Sorted(server)) return {Kind::Different, QStringLiteral("rows")};
  if (!orderColumns.empty() && TiedRuns(sqlite, orderColumns) != TiedRuns(server, orderColumns))
    return {Kind::Different, QStringLiteral("order")};
  return {Kind::Same, {}};
}

QString DescribeOutcomes(const Outcome& sqlite, const Outcome& server, int maxRows) {
  // Rows in the same place on both sides that differ are the ones worth reading: show from the
  // first such row on, where both ran.
  if (!sqlite.failed && !server.failed) {
    size_t first = 0;
    while (first < sqlite.rows.size() && first < server.rows.size() &&
           sqlite.rows[first] == server.rows[first])
      ++first;
    if (first > 0 && first < std::max(sqlite.rows.size(), server.rows.size())) {
      Outcome a = sqlite, b = server;
      const auto from = static_cast<std::ptrdiff_t>(std::min(first, a.rows.size()));
      a.rows.erase(a.rows.begin(), a.rows.begin() + from);
      b.rows.erase(b.rows.begin(), b.rows.begin() + std::min(from, std::ptrdiff_t(b.rows.size())));
      return QStringLiteral("  (the first %1 rows alike)\n").arg(first) +
             Describe(QStringLiteral("SQLite"), a, maxRows) +
             Describe(QStringLiteral("server"), b, maxRows);
    }
  }
  return Describe(QStringLiteral("SQLite"), sqlite, maxRows) +
         Describe(QStringLiteral("server"), server, maxRows);
}

StatementOnCrash::StatementOnCrash(const QString& statement) {
  const QByteArray utf8 = statement.toUtf8();
  crashNoteLength = std::min(sizeof crashNote, static_cast<size_t>(utf8.size()));
  std::memcpy(crashNote, utf8.constData(), crashNoteLength);
  for (int signal : kCrashSignals) {
    struct sigaction action {};
    action.sa_handler = OnCrash;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, &previous[signal]);
  }
}

StatementOnCrash::~StatementOnCrash() {
  for (int signal : kCrashSignals)
    sigaction(signal, &previous[signal], nullptr);
  crashNoteLength = 0;
}

}  // namespace tarvel::test
