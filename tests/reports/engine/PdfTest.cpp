// PDF output and font resolution: the Chinese text must come back out of the file.
#include <gtest/gtest.h>

#include <QFile>
#include <QFontInfo>
#include <QProcess>

#include "platform/Error.h"
#include "reports/engine/PdfRenderer.h"
#include "reports/engine/ReportFonts.h"
#include "reports/engine/TestReports.h"
#include "support/TempDir.h"

namespace tarvel::test {
namespace {

QString PdfToText(const QString& path) {
  QProcess process;
  process.start(QStringLiteral("/usr/bin/pdftotext"), {QStringLiteral("-layout"), path, "-"});
  process.waitForFinished(30000);
  return QString::fromUtf8(process.readAllStandardOutput());
}

PageModel TwoPageReport() {
  LayoutDefinition layout;
  layout.page.orientation = Orientation::Landscape;
  layout.page.SetMargins(450, 500, 400, 400);
  ControlDef title = LabelDef(QStringLiteral("Label1"), QStringLiteral("工單一覽表"), 6135, 3000);
  title.font = {.family = QStringLiteral("標楷體"), .pointSize = 18};
  title.height = 400;
  ControlDef name = FieldDef(QStringLiteral("txtSNAME"), QStringLiteral("SNAME"), 1800, 3000);
  name.font = {.family = QStringLiteral("新細明體"), .pointSize = 11};
  ControlDef amount = FieldDef(QStringLiteral("txtAMT"), QStringLiteral("AMT"), 9900, 990);
  amount.alignment = Alignment::Right;
  ControlDef rule{.kind = ControlKind::Line, .name = QStringLiteral("Line1"), .width = 15000};
  layout.sections = {
      {.kind = SectionKind::GroupHeader1,
       .height = 600,
       .repeatOnEveryPage = true,
       .controls = {title, rule}},
      {.kind = SectionKind::Detail, .height = 6000, .controls = {name, amount}},
  };
  ScriptedReport report(std::move(layout),
                        Rows({"SNAME", "AMT"}, {{"台北印刷", "1,200"}, {"高雄紙業", "35"}}));
  return report.Run();
}

TEST(ReportPdf, ChineseTextComesBackOutOfThePdf) {
  const PageModel model = TwoPageReport();
  ASSERT_EQ(model.PageCount(), 2);
  TempDir dir;
  const QString path = dir.File(QStringLiteral("overview.pdf"));
  WritePdf(model, path);
  const QString text = PdfToText(path);
  EXPECT_EQ(text.count(QLatin1Char('\f')), 2) << qPrintable(text);
  EXPECT_EQ(text.count(QStringLiteral("工單一覽表")), 2) << qPrintable(text);
  EXPECT_TRUE(text.contains(QStringLiteral("台北印刷"))) << qPrintable(text);
  EXPECT_TRUE(text.contains(QStringLiteral("高雄紙業"))) << qPrintable(text);
  EXPECT_TRUE(text.contains(QStringLiteral("1,200"))) << qPrintable(text);
}

TEST(ReportPdf, UnwritableFolderIsAnErrorAndAnEmptyModelStillWritesAPdf) {
  TempDir dir;
  EXPECT_THROW(WritePdf(TwoPageReport(), dir.File(QStringLiteral("no/such/folder/x.pdf"))), Error);
  const QString path = dir.Write(QStringLiteral("old.pdf"), "old");
  PageModel broken = TwoPageReport();
  broken.pages.clear();  // replaces the old file with a valid, empty document
  WritePdf(broken, path);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_TRUE(file.readAll().startsWith("%PDF"));
}

TEST(ReportFonts, LayoutNamesResolveToTheArphicFaces) {
  EXPECT_TRUE(LoadReportFonts());
  struct Case {
    const char* layoutName;
    const char* face;
  };
  const Case cases[] = {
      {"新細明體", "AR PL UMing TW"}, {"標楷體", "AR PL UKai TW"}, {"Arial", "Arial"}};
  for (const Case& c : cases) {
    EXPECT_EQ(ResolveFontFamily(QString::fromUtf8(c.layoutName)), QString::fromUtf8(c.face));
  }
  for (const Case& c : {cases[0], cases[1]}) {
    const QFont font = ResolveFont({.family = QString::fromUtf8(c.layoutName), .pointSize = 12});
    EXPECT_EQ(QFontInfo(font).family(), QString::fromUtf8(c.face));
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 12);
  }
}

}  // namespace
}  // namespace tarvel::test
