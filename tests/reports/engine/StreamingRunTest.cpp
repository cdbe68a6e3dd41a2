// A run in steps: pages handed out as they are finished, rows read from one snapshot (a writer
// committing meanwhile changes nothing in the pages), the page count written in after the run,
// and the text and PDF outputs that run straight into their files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include "db/Connection.h"
#include "db/DbError.h"
#include "platform/Error.h"
#include "reports/engine/PageStore.h"
#include "reports/engine/ReportFiles.h"
#include "reports/engine/ReportRun.h"
#include "reports/engine/TestReports.h"
#include "reports/engine/TextDump.h"
#include "support/Golden.h"
#include "support/TempDir.h"

namespace tarvel::test {
namespace {

/// A page header, a title band repeated on every page, then a detail of 2400 twips: five rows to
/// an A4 page.
LayoutDefinition ListLayout() {
  LayoutDefinition layout;
  layout.name = QStringLiteral("rptList");
  layout.page.paperSize = 9;
  layout.sections = {
      {.kind = SectionKind::PageHeader,
       .height = 300,
       .controls = {FieldDef(QStringLiteral("txtPage"), {}, 0, 1500),
                    SummaryFieldDef(QStringLiteral("txtPages"), {}, SummaryFunction::PageCount)}},
      {.kind = SectionKind::GroupHeader1,
       .height = 600,
       .repeatOnEveryPage = true,
       .controls = {LabelDef(QStringLiteral("Label1"), QStringLiteral("工單一覽表"), 3000, 3000)}},
      {.kind = SectionKind::Detail,
       .height = 2400,
       .controls = {FieldDef(QStringLiteral("txtPO"), QStringLiteral("PO"), 0, 2000),
                    FieldDef(QStringLiteral("txtQTY"), QStringLiteral("QTY"), 2500, 1000)}},
      {.kind = SectionKind::GroupFooter1,
       .height = 400,
       .controls = {SummaryFieldDef(QStringLiteral("txtTotal"), QStringLiteral("QTY"),
                                    SummaryFunction::Sum)}},
  };
  layout.sections[0].controls[1].left = 1600;
  return layout;
}

/// The list over a table of a SQLite file: "第 n 頁" in the page header beside the page count.
class FileList : public Report {
 public:
  FileList(QString connectionString, bool withPageCount = false) : Report(Layout(withPageCount)) {
    DataControl1.ConnectionString = std::move(connectionString);
    DataControl1.Source = QStringLiteral("select PO, QTY from T order by PO");
  }
  void PageHeader_Format() override {
    Field(QStringLiteral("txtPage")).SetText(QStringLiteral("第 %1 頁，共").arg(PageNumber()));
  }
  std::function<void()> onDetail;
  void Detail_Format() override {
    if (onDetail) onDetail();
  }
  int reportEnds = 0;
  void ActiveReport_ReportEnd() override { ++reportEnds; }

 private:
  static LayoutDefinition Layout(bool withPageCount) {
    LayoutDefinition layout = ListLayout();
    if (!withPageCount) layout.sections[0].controls.pop_back();
    return layout;
  }
};

/// A SQLite file with T (PO, QTY) of `rows` rows, in write-ahead or rollback-journal mode.
struct ListDb {
  ListDb(int rows, bool wal) {
    path = dir.File(QStringLiteral("KORV.mdb"));
    auto connection = db::Connection::OpenFile(path, true);
    connection->ExecuteScript(wal ? QStringLiteral("PRAGMA journal_mode=WAL")
                                  : QStringLiteral("PRAGMA journal_mode=DELETE"));
    connection->ExecuteScript(QStringLiteral("create table T (PO text primary key, QTY integer)"));
    db::Transaction insert(*connection);
    auto command = connection->Prepare(QStringLiteral("insert into T values (?, ?)"));
    for (int i = 1; i <= rows; ++i)
      command.Bind(1, QStringLiteral("PO%1").arg(i, 5, 10, QLatin1Char('0'))).Bind(2, i).Execute();
    insert.Commit();
  }
  QString ConnectionString() const { return QStringLiteral("Data Source=") + path; }
  TempDir dir;
  QString path;
};

/// Records what a run hands out, and when.
class RecordingSink final : public PageSink {
 public:
  void Begin(const PageFrame& frame) override {
    calls << QStringLiteral("Begin");
    static_cast<PageFrame&>(model) = frame;
  }
  void Add(Page&& page) override {
    calls << QStringLiteral("Add");
    model.pages.push_back(std::move(page));
  }
  void End(int pageCount) override { calls << QStringLiteral("End %1").arg(pageCount); }
  QStringList calls;
  PageModel model;
};

TEST(ReportRunSteps, PagesAreHandedOutAsTheyAreFinished) {
  ListDb db(60, true);  // 12 pages of five rows, the totals on the last
  FileList report(db.ConnectionString());
  RecordingSink sink;
  ReportRun run(report, sink, PaperSizeTwips(9));
  EXPECT_TRUE(sink.calls.isEmpty()) << "nothing is read before the first step";
  EXPECT_TRUE(run.Step(11));
  EXPECT_EQ(run.RowsDone(), 11);
  // Rows 1 to 10 filled two pages; the eleventh started the third, which is not finished.
  EXPECT_EQ(sink.calls, (QStringList{"Begin", "Add", "Add"}));
  EXPECT_EQ(run.PagesDone(), 2);
  EXPECT_EQ(TextsOf(sink.model, QStringLiteral("txtPO")).size(), 10);
  EXPECT_EQ(report.reportEnds, 0);
  while (run.Step(7)) {
  }
  EXPECT_TRUE(run.Done());
  EXPECT_FALSE(run.Step());
  EXPECT_EQ(sink.calls.size(), 1 + 12 + 1);
  EXPECT_EQ(sink.calls.back(), QStringLiteral("End 12"));
  EXPECT_EQ(report.reportEnds, 1);
  EXPECT_EQ(TextsOf(sink.model, QStringLiteral("txtTotal")), QStringList{"12:1830"});

  // A layout runs once per instance, however it is run.
  EXPECT_THROW(ReportRun(report, sink), Error);
  EXPECT_THROW(report.Run(), Error);
}

TEST(ReportRunSteps, AWriterCommittingDuringALongPrintChangesNothingInIt) {
  ListDb db(60, true);
  // What the report prints with nobody writing.
  const QString alone = DumpText(FileList(db.ConnectionString()).Run(PaperSizeTwips(9)));

  // The check reads the first row; the print reads on from it while another workstation
  // deletes, changes and adds rows and commits between every two pages.
  FileList report(db.ConnectionString());
  auto checked = CheckedRows::Open(db.ConnectionString(), report.DataControl1.Source);
  ASSERT_TRUE(checked);
  report.DataControl1.UseCheckedRows(std::move(checked));
  auto writer = db::Connection::OpenFile(db.path);
  int changes = 0;
  report.onDetail = [&] {
    if (report.PageNumber() <= changes) return;
    changes = report.PageNumber();
    writer->Execute(QStringLiteral("delete from T where PO = 'PO00060'"));
    writer->Execute(QStringLiteral("update T set QTY = QTY + 1000"));
    writer->Execute(QStringLiteral("insert into T values ('PO00000', 7)"));
    writer->Execute(QStringLiteral("delete from T where PO = 'PO00000'"));
    writer->Execute(QStringLiteral("insert into T values ('PO%1', 1)").arg(70 + changes));
  };
  PageModelSink sink;
  ReportRun run(report, sink, PaperSizeTwips(9));
  while (run.Step(3)) {
  }
  EXPECT_GE(changes, 12);
  EXPECT_EQ(DumpText(sink.Take()), alone);
  // The writes were real: a new run sees them.
  const QString after = DumpText(FileList(db.ConnectionString()).Run(PaperSizeTwips(9)));
  EXPECT_NE(after, alone);
  EXPECT_TRUE(after.contains(QStringLiteral("txtQTY: 1001")));
}

TEST(ReportRunSteps, TheRunHoldsItsSnapshotUntilItEndsOrIsCancelled) {
  // With a rollback journal a writer cannot commit while a reader holds its snapshot.
  ListDb db(60, false);
  db::ScopedBusyTimeout shortWait(50);
  auto writer = db::Connection::OpenFile(db.path);
  const auto write = [&] { writer->Execute(QStringLiteral("update T set QTY = QTY + 1")); };
  for (const bool cancel : {false, true}) {
    SCOPED_TRACE(cancel ? "cancelled" : "run to its end");
    FileList report(db.ConnectionString());
    PageStore store;
    auto run = std::make_unique<ReportRun>(report, store, PaperSizeTwips(9));
    ASSERT_TRUE(run->Step(20));
    EXPECT_THROW(write(), db::DbError) << "the snapshot is held between the steps";
    if (cancel) {
      run.reset();
      EXPECT_EQ(report.reportEnds, 0);
      EXPECT_FALSE(store.Complete());
    } else {
      run->Finish();
      EXPECT_EQ(report.reportEnds, 1);
    }
    EXPECT_NO_THROW(write()) << "ended with the run";
  }
}

// Only the columns the controls read are decoded from the rows; a field rebound during the run
// reads its new column from the next instance on, the row being laid out included.
TEST(ReportRunSteps, AFieldReboundDuringTheRunReadsItsNewColumn) {
  ListDb db(8, true);
  auto writer = db::Connection::OpenFile(db.path);
  writer->ExecuteScript(
      QStringLiteral("alter table T add column NOTE text; "
                     "update T set NOTE = 'n' || substr(PO, 3);"));
  FileList report(db.ConnectionString());
  report.DataControl1.Source = QStringLiteral("select PO, QTY, NOTE from T order by PO");
  int row = 0;
  report.onDetail = [&] {
    if (++row == 3) report.Field(QStringLiteral("txtQTY")).SetDataField(QStringLiteral("NOTE"));
  };
  const PageModel model = report.Run(PaperSizeTwips(9));
  EXPECT_EQ(TextsOf(model, QStringLiteral("txtQTY")),
            (QStringList{"1:1", "1:2", "1:3", "1:n00004", "1:n00005", "2:n00006", "2:n00007",
                         "2:n00008"}));
}

TEST(ReportRunSteps, ThePageCountIsFilledInAfterTheRun) {
  ListDb db(12, true);
  const PageModel model = FileList(db.ConnectionString(), true).Run(PaperSizeTwips(9));
  ASSERT_EQ(model.PageCount(), 3);
  EXPECT_EQ(TextsOf(model, QStringLiteral("txtPages")), (QStringList{"1:3", "2:3", "3:3"}));
  EXPECT_EQ(TextsOf(model, QStringLiteral("txtPage")),
            (QStringList{"1:第 1 頁，共", "2:第 2 頁，共", "3:第 3 頁，共"}));

  // A PDF of such a report waits for the count; one without it is drawn as it comes.
  TempDir dir;
  for (const bool withCount : {true, false}) {
    const QString path = dir.File(withCount ? "counted.pdf" : "plain.pdf");
    FileList report(db.ConnectionString(), withCount);
    EXPECT_EQ(WriteReportPdf(report, path, PaperSizeTwips(9)), 3);
    const QString text = PdfText(path);
    EXPECT_EQ(text.count(u'\f'), 3);
    EXPECT_TRUE(text.contains(QStringLiteral("第 2 頁，共")));
    EXPECT_EQ(text.contains(QRegularExpression(QStringLiteral("共[ \t]*3"))), withCount)
        << text.toStdString();
  }
}

TEST(ReportRunSteps, TextAndPdfRunStraightIntoTheirFilesAndAFailedRunLeavesNone) {
  ListDb db(200, true);
  TempDir dir;
  ScopedPageBudget tiny(4096);  // nearly every page goes through the temporary file
  const QString text = dir.File(QStringLiteral("list.txt"));
  FileList forText(db.ConnectionString(), true);
  EXPECT_EQ(WriteReportText(forText, text, PaperSizeTwips(9)), 40);
  QFile written(text);
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_EQ(QString::fromUtf8(written.readAll()),
            DumpText(FileList(db.ConnectionString(), true).Run(PaperSizeTwips(9))));

  // A handler failing half-way: no new file, the old one intact.
  const QString pdf = dir.Write(QStringLiteral("old.pdf"), "old");
  FileList failing(db.ConnectionString());
  failing.onDetail = [&] {
    if (failing.PageNumber() == 20) throw Error(QStringLiteral("處理程序失敗"));
  };
  EXPECT_THROW(WriteReportPdf(failing, pdf, PaperSizeTwips(9)), Error);
  QFile old(pdf);
  ASSERT_TRUE(old.open(QIODevice::ReadOnly));
  EXPECT_EQ(old.readAll(), QByteArray("old"));
  EXPECT_EQ(QDir(dir.Path()).entryList(QDir::Files).size(), 2) << "no partial file beside it";
}

}  // namespace
}  // namespace tarvel::test
