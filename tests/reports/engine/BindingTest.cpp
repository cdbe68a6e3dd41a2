// Binding of fields to rows: output formats, rebinding, visibility, and the one-run rule.
#include <gtest/gtest.h>

#include "platform/Error.h"
#include "reports/engine/TestReports.h"
#include "reports/engine/TextDump.h"

namespace tarvel::test {
namespace {

LayoutDefinition OneFieldLayout(const QString& column, const QString& format) {
  ControlDef field = FieldDef(QStringLiteral("txtODATE"), column);
  field.outputFormat = format;
  LayoutDefinition layout;
  layout.sections = {{.kind = SectionKind::Detail, .height = 300, .controls = {field}}};
  return layout;
}

TEST(ReportBinding, OutputFormatsApplyToTheBoundValue) {
  struct Case {
    const char* format;
    db::Value value;
    QString shown;
  };
  const Case cases[] = {
      {"###/##/##", "1151204", "115/12/04"},
      {"###/##/##", "0900512", "90/05/12"},
      {"###/##/##", " 1151204 ", "115/12/04"},
      {"00/00", "1204", "12/04"},
      {"00/00", "0512", "05/12"},
      {"###/##/##", "", ""},
      {"###/##/##", db::Value(), ""},
      {"###/##/##", "未定", "未定"},
      {"", "0900512", "0900512"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(QStringLiteral("%1 of '%2'").arg(c.format, c.value.ToText()).toStdString());
    ScriptedReport report(OneFieldLayout(QStringLiteral("ODATE"), c.format),
                          Rows({"ODATE"}, {{c.value}}));
    QString textInHandler;
    report.onDetail = [&](ScriptedReport& r) {
      textInHandler = r.Field(QStringLiteral("txtODATE")).Text();
    };
    const PageModel model = report.Run();
    EXPECT_EQ(textInHandler, c.shown);
    EXPECT_EQ(TextsOf(model, QStringLiteral("txtODATE")),
              c.shown.isEmpty() ? QStringList() : QStringList({"1:" + c.shown}));
  }
}

TEST(ReportBinding, DataFieldRebindBeforeTheRun) {
  auto report = CreateReport<ScriptedReport>(
      OneFieldLayout(QStringLiteral("ODATE"), QStringLiteral("###/##/##")),
      Rows({"ODATE", "發票日期"}, {{"1150101", "1150220"}}));
  report->Field(QStringLiteral("txtODATE")).SetDataField(QStringLiteral("發票日期"));
  db::Value seen;
  report->onDetail = [&](ScriptedReport& r) { seen = r.Field(QStringLiteral("txtODATE")).Value(); };
  const PageModel model = report->Run();
  EXPECT_EQ(seen, db::Value("1150220"));
  EXPECT_EQ(TextsOf(model, QStringLiteral("txtODATE")), QStringList({"1:115/02/20"}));
}

TEST(ReportBinding, HandlersWriteTextsCaptionsAndVisibility) {
  LayoutDefinition layout;
  ControlDef hidden = FieldDef(QStringLiteral("txt公司名稱"), QString());
  hidden.visible = false;
  layout.sections = {
      {.kind = SectionKind::GroupHeader1,
       .height = 500,
       .controls = {LabelDef(QStringLiteral("lbl日期"), QStringLiteral("日期起迄：")), hidden,
                    FieldDef(QStringLiteral("txt列印日期"), QString())}},
      {.kind = SectionKind::Detail,
       .height = 300,
       .controls = {FieldDef(QStringLiteral("txtQTY"), QStringLiteral("QTY")),
                    FieldDef(QStringLiteral("txt天數"), QString())}},
  };
  ScriptedReport report(std::move(layout), Rows({"QTY"}, {{"1234"}, {"5"}}));
  report.onGroupHeader1 = [](ScriptedReport& r) {
    r.Label(QStringLiteral("lbl日期")).SetCaption(QStringLiteral("發票日期："));
    r.Field(QStringLiteral("txt公司名稱")).SetText(QStringLiteral("台北印刷"));
    r.Field(QStringLiteral("txt列印日期")).SetText(QStringLiteral("115/12/04"));
  };
  int row = 0;
  report.onDetail = [&](ScriptedReport& r) {
    r.Field(QStringLiteral("txtQTY")).SetText("#" + r.Field(QStringLiteral("txtQTY")).Text());
    // Unbound fields keep their text until a handler changes it.
    if (++row == 1) r.Field(QStringLiteral("txt天數")).SetText(QStringLiteral("7"));
  };
  const QString dump = DumpText(report.Run());
  EXPECT_EQ(dump, QStringLiteral("=== page 1/1 ===\n"
                                 "-- GroupHeader1 top=1440 height=500\n"
                                 "lbl日期: 發票日期：\n"
                                 "txt列印日期: 115/12/04\n"
                                 "-- Detail top=1940 height=300\n"
                                 "txtQTY: #1234\n"
                                 "txt天數: 7\n"
                                 "-- Detail top=2240 height=300\n"
                                 "txtQTY: #5\n"
                                 "txt天數: 7\n"));
}

TEST(ReportBinding, OneInstanceRunsOnce) {
  auto report = CreateReport<ScriptedReport>(OneFieldLayout(QStringLiteral("ODATE"), QString()),
                                             Rows({"ODATE"}, {{"1"}}));
  report->Run();
  EXPECT_THROW(report->Run(), Error);
  // Initialize ran at creation only, not again at the run.
  EXPECT_EQ(std::count(report->calls.begin(), report->calls.end(), QStringLiteral("Initialize")),
            1);
}

TEST(ReportBinding, DesignAndDataFaultsAreReportedAsErrors) {
  {
    ScriptedReport report(OneFieldLayout(QStringLiteral("NOSUCH"), QString()),
                          Rows({"ODATE"}, {{"1"}}));
    try {
      report.Run();
      ADD_FAILURE() << "a field bound to a missing column must fail";
    } catch (const Error& error) {
      EXPECT_TRUE(error.Description().contains(QStringLiteral("NOSUCH")));
    }
  }
  {
    ScriptedReport report(OneFieldLayout(QStringLiteral("ODATE"), QString()), Rows({"ODATE"}, {}));
    EXPECT_THROW(report.Field(QStringLiteral("txtNothing")), Error);
    EXPECT_THROW(report.Section(SectionKind::GroupHeader2), Error);
  }
  {
    // No rows given: the data control opens its connection string, which names no database.
    class Unbound : public Report {
     public:
      Unbound() : Report(OneFieldLayout(QStringLiteral("ODATE"), QString())) {}
      void ActiveReport_Initialize() override {
        DataControl1.ConnectionString =
            QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=/nonexistent/korv.mdb;");
        DataControl1.Source = QStringLiteral("select * from [歷史工單明細]");
      }
    };
    EXPECT_THROW(CreateReport<Unbound>()->Run(), Error);
  }
}

}  // namespace
}  // namespace tarvel::test
