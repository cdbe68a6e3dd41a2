// Every window as the user sees it: no caption cut off by its control, and a picture of each for
// docs/screens (written when TARVEL_SCREENS_DIR names a folder; scripts/screens sets it).
#include <QAbstractButton>
#include <QDir>
#include <QImage>
#include <QPixmap>
#include <QToolButton>

#include "MainWindowFixture.h"
#include "common/forms/TraditionalChineseFont.h"
#include "reports/engine/Report.h"
#include "reports/preview/PreviewWindow.h"
#include "windows/export/WorkOrderExportWindow.h"
#include "windows/lookup/LookupRowsModel.h"
#include "windows/lookup/LookupWindow.h"
#include "windows/overview/CustomerRangeDialog.h"
#include "windows/rework/ReworkWindow.h"

namespace tarvel::test {
namespace {

/// The captions of `window` that do not fit their control as laid out, with their sizes.
QStringList ClippedCaptions(const QWidget& window) {
  QStringList clipped;
  for (const QWidget* control : window.findChildren<QWidget*>()) {
    if (!control->isVisibleTo(&window)) continue;
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(control))
      text = label->text();
    else if (const auto* button = qobject_cast<const QAbstractButton*>(control))
      text = button->text();
    if (text.isEmpty() || qobject_cast<const QToolButton*>(control)) continue;
    const QSize needed = control->sizeHint();
    if (needed.width() > control->width() || needed.height() > control->height() + 4)
      clipped << QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
                     .arg(control->objectName(), text)
                     .arg(needed.width())
                     .arg(needed.height())
                     .arg(control->width())
                     .arg(control->height());
  }
  return clipped;
}

void Picture(QWidget& window, const QString& name) {
  const QPixmap picture = window.grab();
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.size() / picture.devicePixelRatio(), window.size());
  const QString folder = qEnvironmentVariable("TARVEL_SCREENS_DIR");
  if (folder.isEmpty()) return;
  QDir().mkpath(folder);
  EXPECT_TRUE(picture.save(QDir(folder).filePath(name + QStringLiteral(".png"))));
}

// In the font the program gives its windows: captions must fit in it.
class Screens : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    UseTraditionalChineseFont();
  }
  void TearDown() override {
    MainWindowTest::TearDown();
    QApplication::setFont(desktopFont_);
  }

 private:
  QFont desktopFont_ = QApplication::font();
};

TEST_F(Screens, MainWindowInEachArrangement) {
  context.CompanyName = "翠峰彩色印刷";  // all seven choices
  Open();
  Click("chk選項");
  EXPECT_EQ(ClippedCaptions(*window), QStringList());
  Picture(*window, "frmTarvel-表1");
  Click("sopt選擇報表_2");
  EXPECT_EQ(ClippedCaptions(*window), QStringList());
  Picture(*window, "frmTarvel-表3");
  Click("sopt選擇報表_4");
  Picture(*window, "frmTarvel-表5");
}

TEST_F(Screens, CustomerRangeDialog) {
  Open();
  CustomerRangeDialog dialog(context, window->Lookup(), {}, window.get());
  EXPECT_EQ(dialog.objectName(), "frmTarvel_客戶起迄");
  dialog.SetRange({{window->CustomerRangeBox(0)->text(), window->CustomerRangeBox(1)->text()},
                   {window->CustomerRangeName(0)->text(), window->CustomerRangeName(1)->text()}});
  dialog.show();
  EXPECT_EQ(ClippedCaptions(dialog), QStringList());
  Picture(dialog, "frmTarvel_客戶起迄");
}

TEST_F(Screens, LookupWindows) {
  Open();
  const struct {
    LookupKind kind;
    const char* seed;
    const char* name;
  } pickers[] = {{LookupKind::Customer, "", "frm客戶輔助視窗"},
                 {LookupKind::Employee, "", "frm業務員輔助視窗"},
                 {LookupKind::Vendor, "", "frm廠商輔助畫面"}};
  for (const auto& picker : pickers) {
    window->Lookup().LookupSeed = picker.seed;
    window->Lookup().VendorKind = "所有廠商";
    LookupWindow lookup(picker.kind, context, window->Lookup(), window.get());
    lookup.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return lookup.Activated(); }));
    EXPECT_GT(lookup.Rows().rowCount(), 0) << picker.name;
    EXPECT_EQ(ClippedCaptions(lookup), QStringList());
    Picture(lookup, QString::fromUtf8(picker.name));
  }
}

TEST_F(Screens, ExportWindow) {
  Open();
  WorkOrderCriteria criteria;
  const RequestCriteria request{.context = context, .overview = &criteria};
  WorkOrderExportWindow exporter(context, RowFor(window->FormState()), request, window.get());
  exporter.show();
  EXPECT_EQ(ClippedCaptions(exporter), QStringList());
  Picture(exporter, "frm工單一覽表轉Excel");
}

TEST_F(Screens, ReworkWindow) {
  Open();
  ReworkCriteria criteria;
  tarvel::ReworkWindow rework(context, window->Lookup(), criteria, {}, window.get());
  rework.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return rework.FirstActivationDone(); }));
  ClickOn(Find<QAbstractButton>(rework, "chk選項"));
  EXPECT_EQ(ClippedCaptions(rework), QStringList());
  Picture(rework, "frm重工明細表");
  ClickOn(Find<QAbstractButton>(rework, "sopt選擇報表_3"));
  EXPECT_EQ(ClippedCaptions(rework), QStringList());
  Picture(rework, "frm重工明細表-刀模明細表");
}

TEST_F(Screens, PreviewOfTable1) {
  Open();
  WorkOrderCriteria criteria;
  CaptureCriteria(window->FormState(), criteria);
  std::unique_ptr<Report> report =
      FindRow("rptTarvel_1")->CreateLayout({.context = context, .overview = &criteria});
  PageModel model = report->Run();
  PreviewWindow preview(std::move(model), std::move(report), window.get());
  preview.resize(1000, 760);
  preview.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview));
  ASSERT_GE(preview.PageCount(), 1);
  // The last work order of the last page, found as a clerk finds it.
  const int last = preview.PageCount() - 1;
  const Page& page = preview.Pages().PageAt(last);
  QString po;
  for (const PageText& text : page.texts)
    if (preview.Pages().Frame().styles[text.style].control == "txtPO")
      po = page.Text(text).toString();
  ASSERT_FALSE(po.isEmpty());
  Find<QLineEdit>(preview, "txtFind")->setText(po);
  EXPECT_TRUE(preview.FindNext());
  EXPECT_EQ(preview.CurrentPage(), last);
  QApplication::processEvents();
  Picture(preview, "預覽列印-rptTarvel_1");
}

}  // namespace
}  // namespace tarvel::test
