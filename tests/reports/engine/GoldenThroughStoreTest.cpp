// Every overview layout on the demo database, its rows streamed from the check's snapshot and its
// pages kept in a page store far smaller than the report (nearly every page on the temporary
// file), matches its golden text page by page.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>

#include "platform/Clock.h"
#include "reports/ReportCatalogue.h"
#include "reports/engine/PageStore.h"
#include "reports/engine/ReportRun.h"
#include "reports/engine/TextDump.h"
#include "startup/AppContextLoader.h"
#include "support/Demo.h"
#include "support/LayoutForms.h"
#include "support/TempDir.h"

namespace tarvel {
namespace {

/// The blocks of a text dump, one per page ("=== page n/N ===" and what follows).
QStringList PageBlocks(const QString& dump) {
  QStringList blocks = dump.split(QStringLiteral("=== page "), Qt::SkipEmptyParts);
  for (QString& block : blocks)
    block.prepend(QStringLiteral("=== page "));
  return blocks;
}

TEST(GoldenThroughStore, EveryLayoutMatchesItsGoldenPageByPage) {
  ScopedToday today(test::DemoToday());
  AppContext context;
  context.ConnectionString = test::DemoConnectionString();
  ASSERT_TRUE(LoadAppContext(
      context, "-qdx5170 -AD=系統管理員 -NAME=系統管理員 -ID= -XLS=.xlsx -DOC=.docx -PID=0"));
  const OverviewFormState defaults = test::GoldenOverviewDefaults();
  int spilled = 0;
  for (const LayoutEntry& entry : ReportCatalogue()) {
    SCOPED_TRACE(entry.name);
    WorkOrderCriteria criteria;
    CaptureCriteria(test::FormForLayout(entry, defaults), criteria);
    std::unique_ptr<Report> report = CreateLayout(entry, criteria, context);
    auto checked = CheckedRows::Open(context.ConnectionString, report->DataControl1.Source);
    ASSERT_TRUE(checked);
    report->DataControl1.UseCheckedRows(std::move(checked));
    // Two pages' worth of memory: the rest of every layout goes through the file.
    PageStore store(24 * 1024);
    ReportRun(*report, store, PaperSizeTwips(9)).Finish();
    spilled += store.PagesOnFile() > 0;
    QBuffer text;
    text.open(QIODevice::WriteOnly);
    WriteText(store, text);

    QFile golden(test::SourceDir() +
                 QStringLiteral("/tests/golden/layouts/%1.txt").arg(QString::fromUtf8(entry.name)));
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    const QByteArray expected = golden.readAll();
    const QStringList want = PageBlocks(QString::fromUtf8(expected));
    const QStringList got = PageBlocks(QString::fromUtf8(text.data()));
    ASSERT_EQ(got.size(), want.size());
    for (qsizetype page = 0; page < want.size(); ++page)
      ASSERT_EQ(got[page].toStdString(), want[page].toStdString()) << "page " << page + 1;
    EXPECT_EQ(text.data(), expected) << "byte for byte";
  }
  EXPECT_GT(spilled, 10) << "the layouts went through the file";
}

}  // namespace
}  // namespace tarvel
