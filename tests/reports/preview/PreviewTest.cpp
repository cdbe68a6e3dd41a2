// The preview window driven through its controls, and printing through the print-dialog seam.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <functional>
#include <optional>

#include "platform/Error.h"
#include "reports/engine/PageStore.h"
#include "reports/engine/TestReports.h"
#include "reports/preview/PageView.h"
#include "reports/preview/PreviewWindow.h"
#include "reports/preview/ReportOutput.h"
#include "support/Golden.h"
#include "support/RecordingUi.h"
#include "support/TempDir.h"

namespace tarvel::test {
namespace {

/// Hears every event `watched` receives, for as long as it lives.
class EventWatch : public QObject {
 public:
  EventWatch(QObject& watched, std::function<void(QEvent*)> heard) : heard_(std::move(heard)) {
    watched.installEventFilter(this);
  }
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    heard_(event);
    return false;
  }

 private:
  std::function<void(QEvent*)> heard_;
};

/// `rows` rows, four to a page under a title repeated on every page, on A4 (`paperSize` 9) or on
/// the printer's paper (0). `destroyed` is set when the instance goes.
std::unique_ptr<ScriptedReport> ListReport(int rows, int paperSize = 9, bool* destroyed = nullptr) {
  class Tracked : public ScriptedReport {
   public:
    using ScriptedReport::ScriptedReport;
    bool* destroyed = nullptr;
    ~Tracked() override {
      if (destroyed != nullptr) *destroyed = true;
    }
  };
  LayoutDefinition layout;
  layout.name = QStringLiteral("rptTest");
  if (paperSize != 0) layout.page.paperSize = paperSize;
  layout.sections = {
      {.kind = SectionKind::GroupHeader1,
       .height = 1000,
       .repeatOnEveryPage = true,
       .controls = {LabelDef(QStringLiteral("Label1"), QStringLiteral("工單一覽表"), 3000, 3000)}},
      {.kind = SectionKind::Detail,
       .height = 3000,
       .controls = {FieldDef(QStringLiteral("txtPO"), QStringLiteral("PO"), 0, 3000)}},
  };
  std::vector<std::vector<db::Value>> data;
  for (int i = 1; i <= rows; ++i)
    data.push_back({db::Value(QStringLiteral("工單%1").arg(i))});
  auto report = CreateReport<Tracked>(std::move(layout), Rows({"PO"}, data));
  report->destroyed = destroyed;
  return report;
}

/// Points the user's cache folder (where page stores keep their files) at a folder of the test's.
class ScopedCacheHome {
 public:
  explicit ScopedCacheHome(const QString& folder) : previous_(qgetenv("XDG_CACHE_HOME")) {
    qputenv("XDG_CACHE_HOME", folder.toUtf8());
  }
  ~ScopedCacheHome() {
    if (previous_.isEmpty())
      qunsetenv("XDG_CACHE_HOME");
    else
      qputenv("XDG_CACHE_HOME", previous_);
  }

 private:
  QByteArray previous_;
};

void PressKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QCoreApplication::sendEvent(target, &press);
}

int PdfPages(const QString& path) {
  return static_cast<int>(test::PdfText(path).count(u'\f'));
}

using test::PdfText;

/// The page size pdfinfo reports for the first page ("612 x 792 pts (letter)").
QString PdfPageSize(const QString& path) {
  QProcess process;
  process.start(QStringLiteral("/usr/bin/pdfinfo"), {path});
  process.waitForFinished(30000);
  for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split(u'\n'))
    if (line.startsWith(QStringLiteral("Page size:"))) return line.mid(10).trimmed();
  return {};
}

TEST(ReportPreview, ButtonsAndKeysNavigateThePages) {
  auto report = ListReport(10, 0);
  PageModel model = report->Run();
  ASSERT_EQ(model.PageCount(), 3);
  PreviewWindow window(std::move(model), std::move(report));
  auto* next = window.findChild<QPushButton*>(QStringLiteral("btnNext"));
  auto* previous = window.findChild<QPushButton*>(QStringLiteral("btnPrevious"));
  auto* first = window.findChild<QPushButton*>(QStringLiteral("btnFirst"));
  auto* last = window.findChild<QPushButton*>(QStringLiteral("btnLast"));
  auto* view = window.findChild<PageView*>();
  ASSERT_TRUE(next && previous && first && last && view);
  QWidget* scrollArea = window.findChild<QWidget*>(QStringLiteral("scrollArea"));

  struct Step {
    std::function<void()> action;
    int page;
  };
  const Step steps[] = {
      {[&] { next->click(); }, 1},
      {[&] { last->click(); }, 2},
      {[&] { next->click(); }, 2},  // disabled on the last page
      {[&] { previous->click(); }, 1},
      {[&] { first->click(); }, 0},
      {[&] { PressKey(scrollArea, Qt::Key_PageDown); }, 1},
      {[&] { PressKey(scrollArea, Qt::Key_End); }, 2},
      {[&] { PressKey(&window, Qt::Key_PageUp); }, 1},
      {[&] { PressKey(&window, Qt::Key_Home); }, 0},
      {[&] { PressKey(&window, Qt::Key_PageUp); }, 0},
  };
  int index = 0;
  for (const Step& step : steps) {
    step.action();
    EXPECT_EQ(window.CurrentPage(), step.page) << "step " << index;
    EXPECT_EQ(view->Page(), step.page) << "step " << index;
    ++index;
  }
  EXPECT_FALSE(first->isEnabled());
  EXPECT_TRUE(last->isEnabled());
}

/// ListReport's 20,000 rows (5,000 pages) with a moment's work on each: many slices of layout
/// however fast the machine (without it one slice may lay them all out).
std::unique_ptr<ScriptedReport> SlowListReport() {
  auto report = ListReport(20000);
  report->onDetail = [](ScriptedReport&) { QThread::usleep(20); };
  return report;
}

TEST(ReportPreview, OpensAtTheFirstPageWhileTheRestIsLaidOut) {
  PreviewWindow window(SlowListReport());
  auto* status = window.findChild<QLabel*>(QStringLiteral("lblStatus"));
  auto* count = window.findChild<QLabel*>(QStringLiteral("lblPageCount"));
  auto* spin = window.findChild<QSpinBox*>(QStringLiteral("spinPage"));
  ASSERT_TRUE(status && count && spin);
  EXPECT_FALSE(window.LayoutDone());
  EXPECT_GE(window.PageCount(), 1);
  EXPECT_LT(window.PageCount(), 10) << "open with the first page, not after the last";
  EXPECT_TRUE(status->text().startsWith(QStringLiteral("第 1 頁，共 ? 頁")))
      << status->text().toStdString();
  EXPECT_EQ(count->text(), QStringLiteral("/ ?"));
  window.show();

  // The count goes up while the window's events run.
  const int opened = window.PageCount();
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        return window.PageCount() > opened && status->text().contains(QStringLiteral("已排版"));
      },
      60000))
      << status->text().toStdString();

  // A page not laid out yet is waited for, and shown when it is there.
  spin->setValue(900);
  if (window.PageCount() < 900) {
    EXPECT_EQ(window.WaitingForPage(), 899);
    EXPECT_NE(window.CurrentPage(), 899);
    EXPECT_TRUE(status->text().contains(QStringLiteral("等候第 900 頁")));
  }
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.CurrentPage() == 899; }, 120000));
  EXPECT_EQ(window.WaitingForPage(), -1);
  EXPECT_EQ(spin->value(), 900);

  // The last page: known only at the end.
  PressKey(&window, Qt::Key_End);
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.LayoutDone(); }, 120000));
  EXPECT_EQ(window.PageCount(), 5000);
  EXPECT_EQ(window.CurrentPage(), 4999);
  EXPECT_TRUE(status->text().startsWith(QStringLiteral("第 5000 頁，共 5000 頁")))
      << status->text().toStdString();
  EXPECT_EQ(count->text(), QStringLiteral("/ 5000"));
  EXPECT_EQ(spin->maximum(), 5000);
  // Found on the pages laid out after the first search too.
  auto* find = window.findChild<QLineEdit*>(QStringLiteral("txtFind"));
  find->setText(QStringLiteral("工單20000"));
  EXPECT_TRUE(window.FindNext());
  EXPECT_EQ(window.CurrentPage(), 4999);
}

TEST(ReportPreview, ClosingStopsTheLayoutAndLeavesNoTemporaryFile) {
  TempDir cache;
  const ScopedCacheHome home(cache.Path());
  const ScopedPageBudget tiny(16 * 1024);  // a few pages in memory, the rest on file
  auto report = SlowListReport();
  ScriptedReport* layout = report.get();
  auto window = std::make_unique<PreviewWindow>(std::move(report));
  window->show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window->PageCount() > 200; }, 60000));
  const QString folder = PageStore::DefaultFolder();
  ASSERT_TRUE(folder.startsWith(cache.Path()));
  EXPECT_EQ(OpenFilesIn(folder), 1) << "pages went to the temporary file";
  EXPECT_TRUE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty())
      << "which has no name";

  PressKey(window.get(), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
  EXPECT_TRUE(window->LayoutDone());
  EXPECT_EQ(OpenFilesIn(folder), 0) << "closing freed the file";
  const auto laidOut = layout->calls.size();
  QTest::qWait(200);
  EXPECT_EQ(layout->calls.size(), laidOut) << "and stopped the run";
  EXPECT_EQ(std::count(layout->calls.begin(), layout->calls.end(), QStringLiteral("ReportEnd")), 0);
  window.reset();
  EXPECT_TRUE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
}

TEST(ReportPreview, AnErrorWhileLayingOutIsShownAndThePagesSoFarStay) {
  RecordingUi ui;
  auto report = ListReport(400);
  report->onDetail = [](ScriptedReport& r) {
    if (r.PageNumber() == 30) throw Error(QStringLiteral("第 30 頁的資料有誤"));
  };
  PreviewWindow window(std::move(report));
  window.show();
  ASSERT_TRUE(QTest::qWaitFor([&] { return window.LayoutDone(); }, 60000));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], (ShownMessage{"第 30 頁的資料有誤", kCritical, "預覽錯誤"}));
  EXPECT_EQ(window.PageCount(), 29);
  EXPECT_TRUE(window.findChild<QLabel*>(QStringLiteral("lblStatus"))
                  ->text()
                  .contains(QStringLiteral("排版未完成")));
  window.ShowPage(28);
  EXPECT_EQ(window.CurrentPage(), 28);
}

// The first preview of the program fits the page's width; each opens with the zoom chosen last.
TEST(ReportPreview, OpensMaximisedFittingTheWidthAndKeepsTheZoomChosenLast) {
  QWidget owner;
  owner.show();
  const auto open = [&](const std::function<void(PreviewWindow&, QComboBox&)>& look) {
    PreviewWindow window(ListReport(10, 0)->Run(), nullptr, &owner);
    QTimer::singleShot(0, &window, [&] {
      EXPECT_TRUE(QTest::qWaitFor([&] { return window.isMaximized(); }));
      // Becoming a window of its own keeps it maximised.
      QEvent activate(QEvent::WindowActivate);
      QCoreApplication::sendEvent(&window, &activate);
      QApplication::processEvents();
      EXPECT_TRUE(window.isMaximized() && window.isVisible());
      EXPECT_EQ(window.screen(), owner.screen());
      look(window, *window.findChild<QComboBox*>(QStringLiteral("cboZoom")));
      window.close();
    });
    window.Exec();
  };
  open([](PreviewWindow& window, QComboBox& zoom) {
    EXPECT_EQ(window.ZoomChoice(), "頁寬");
    EXPECT_EQ(zoom.findText(QStringLiteral("整頁")) >= 0 && zoom.findText("100%") >= 0, true);
    const auto* area = window.findChild<QScrollArea*>(QStringLiteral("scrollArea"));
    const int room = area->contentsRect().width() - area->verticalScrollBar()->sizeHint().width();
    EXPECT_NEAR(window.findChild<PageView*>()->width(), room - 4, 2);
    EXPECT_GT(window.findChild<PageView*>()->width(), 700) << "the screen's width, not 100 %";
    zoom.setCurrentIndex(zoom.findText(QStringLiteral("150%")));
  });
  open([](PreviewWindow& window, QComboBox& zoom) {
    EXPECT_EQ(window.ZoomChoice(), "150%");
    EXPECT_DOUBLE_EQ(window.Zoom(), 1.5);
    zoom.setCurrentIndex(zoom.findText(QStringLiteral("頁寬")));
  });
}

TEST(ReportPreview, ZoomScalesThePage) {
  auto report = ListReport(10, 0);
  PreviewWindow window(report->Run(), nullptr);
  window.resize(800, 600);
  auto* zoom = window.findChild<QComboBox*>(QStringLiteral("cboZoom"));
  auto* view = window.findChild<PageView*>();
  ASSERT_TRUE(zoom && view);
  zoom->setCurrentIndex(zoom->findText(QStringLiteral("100%")));
  const QSize atFull = view->size();
  zoom->setCurrentIndex(zoom->findText(QStringLiteral("200%")));
  EXPECT_DOUBLE_EQ(window.Zoom(), 2.0);
  EXPECT_NEAR(view->width(), atFull.width() * 2, 2);
  zoom->setCurrentIndex(zoom->findText(QStringLiteral("50%")));
  EXPECT_NEAR(view->height(), atFull.height() / 2, 2);
  zoom->setCurrentIndex(zoom->findText(QStringLiteral("整頁")));
  window.show();
  QApplication::processEvents();
  zoom->setCurrentIndex(zoom->findText(QStringLiteral("頁寬")));
  zoom->setCurrentIndex(zoom->findText(QStringLiteral("整頁")));
  QWidget* viewport = view->parentWidget();
  EXPECT_LE(view->height(), viewport->height());
  EXPECT_LE(view->width(), viewport->width());
  EXPECT_LT(window.Zoom(), 1.0);
  zoom->setCurrentIndex(zoom->findText(QStringLiteral("頁寬")));
}

/// The share of the marked text's rectangle that shows the marking colour.
double MarkedShare(PageView& view) {
  const QRect mark = view.HighlightRect();
  if (mark.isEmpty()) return 0;
  const QImage picture = view.grab().toImage();
  int marked = 0;
  for (int y = mark.top(); y <= mark.bottom(); ++y)
    for (int x = mark.left(); x <= mark.right(); ++x)
      marked += picture.pixelColor(x, y) == QColor(255, 214, 0);
  return double(marked) / (mark.width() * mark.height());
}

int MarkedPixels(PageView& view) {
  const QImage picture = view.grab().toImage();
  int marked = 0;
  for (int y = 0; y < picture.height(); ++y)
    for (int x = 0; x < picture.width(); ++x)
      marked += picture.pixelColor(x, y) == QColor(255, 214, 0);
  return marked;
}

TEST(ReportPreview, CtrlFFindsTextOnEveryPageAndF3GoesToTheNextAndPrevious) {
  PreviewWindow window(ListReport(10, 0)->Run(), nullptr);
  window.resize(1000, 760);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  auto* find = window.findChild<QLineEdit*>(QStringLiteral("txtFind"));
  auto* result = window.findChild<QLabel*>(QStringLiteral("lblFindResult"));
  auto* view = window.findChild<PageView*>();
  ASSERT_TRUE(find && result && view);
  QWidget* scrollArea = window.findChild<QWidget*>(QStringLiteral("scrollArea"));
  const auto look = [&](const char* text) {
    PressKey(scrollArea, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(find->hasFocus());
    EXPECT_EQ(find->selectedText(), find->text()) << "Ctrl+F selects what was looked for";
    find->insert(QString::fromUtf8(text));  // typed (QTest types ASCII only)
    QTest::keyClick(find, Qt::Key_Return);
  };

  // 工單1 and 工單10: the first page and the third.
  look("工單1");
  EXPECT_EQ(window.Hits().size(), 2u);
  EXPECT_EQ(window.CurrentPage(), 0);
  EXPECT_EQ(result->text(), "「工單1」第 1 筆，共 2 筆");
  EXPECT_GT(MarkedShare(*view), 0.3) << "the found text is marked";
  PressKey(find, Qt::Key_F3);
  EXPECT_EQ(window.CurrentPage(), 2);
  EXPECT_EQ(result->text(), "「工單1」第 2 筆，共 2 筆");
  EXPECT_GT(MarkedShare(*view), 0.3);
  PressKey(&window, Qt::Key_F3);
  EXPECT_EQ(window.CurrentPage(), 0) << "past the last page it starts again";
  PressKey(&window, Qt::Key_F3, Qt::ShiftModifier);
  EXPECT_EQ(window.CurrentPage(), 2);
  PressKey(&window, Qt::Key_PageUp);
  EXPECT_EQ(MarkedPixels(*view), 0) << "the mark stays with its page";
  PressKey(&window, Qt::Key_F3);
  EXPECT_EQ(window.CurrentPage(), 2) << "the next from the page shown";

  // Nothing: the page stays and nothing is marked.
  look("工單99");
  EXPECT_FALSE(window.FindNext());
  EXPECT_EQ(window.CurrentPage(), 2);
  EXPECT_EQ(result->text(), "找不到「工單99」");
  EXPECT_EQ(MarkedPixels(*view), 0);

  // A Chinese text in the heading of every page; full-width digits find half-width ones.
  look("覽表");
  EXPECT_EQ(window.Hits().size(), 3u);
  EXPECT_EQ(window.CurrentPage(), 2);
  PressKey(&window, Qt::Key_F3);
  EXPECT_EQ(window.CurrentPage(), 0);
  look("工單１０");
  EXPECT_EQ(window.CurrentPage(), 2);
  EXPECT_EQ(window.Hits().size(), 1u);

  // In the find box Home and End move the cursor, not the pages.
  find->setFocus();
  PressKey(find, Qt::Key_Home);
  EXPECT_EQ(window.CurrentPage(), 2);
  EXPECT_EQ(find->cursorPosition(), 0);
}

// A window of its own from the start, with its own task-bar entry: activations reach the layout
// and never hide the window to get there.
TEST(ReportPreview, AWindowOfItsOwnThatActivationsNeverHide) {
  auto report = ListReport(10, 0);
  ScriptedReport* layout = report.get();
  PageModel model = report->Run();
  QWidget owner;
  PreviewWindow window(std::move(model), std::move(report), &owner);
  EXPECT_EQ(window.windowType(), Qt::Window);
  window.show();
  int hidden = 0;
  EventWatch watch(window, [&](QEvent* event) { hidden += event->type() == QEvent::Hide; });
  for (int i = 0; i < 3; ++i) {
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&window, &activate);
    QApplication::processEvents();
  }
  EXPECT_EQ(hidden, 0);
  EXPECT_TRUE(window.isVisible());
  // Every activation reaches the layout's handler (showing the window may add its own).
  EXPECT_GE(std::count(layout->calls.begin(), layout->calls.end(), QStringLiteral("Activate")), 3);
}

// Maximised before it first appears, so no frame of another size comes first; and maximised
// again when a window manager maps it otherwise or takes the state back a moment later.
TEST(ReportPreview, ItIsMaximisedFromItsFirstFrameWhateverTheWindowManagerDoes) {
  QWidget owner;
  owner.resize(640, 480);
  owner.show();
  const QRect room = owner.screen()->availableGeometry();
  const struct {
    const char* manager;
    int takenBackAfterMs;  // -1: never; 0: as the window appears
  } managers[] = {{"keeps the state", -1}, {"maps it unmaximised", 0}, {"takes it back", 100}};
  for (const auto& manager : managers) {
    SCOPED_TRACE(manager.manager);
    PreviewWindow window(ListReport(10, 0)->Run(), nullptr, &owner);
    std::optional<Qt::WindowStates> firstState;
    QRect firstGeometry;
    EventWatch watch(window, [&](QEvent* event) {
      if (event->type() != QEvent::Show || firstState) return;
      firstState = window.windowState();
      firstGeometry = window.geometry();
      if (manager.takenBackAfterMs == 0) window.setWindowState(Qt::WindowNoState);
    });
    if (manager.takenBackAfterMs > 0)
      QTimer::singleShot(manager.takenBackAfterMs, &window,
                         [&] { window.setWindowState(Qt::WindowNoState); });
    QTimer::singleShot(manager.takenBackAfterMs + 1000, &window, &QWidget::close);
    window.Exec();
    ASSERT_TRUE(firstState);
    EXPECT_TRUE(*firstState & Qt::WindowMaximized) << "maximised before it first appears";
    EXPECT_TRUE(room.contains(firstGeometry))
        << "its own size in the screen's middle, not a corner";
    EXPECT_GT(firstGeometry.width(), owner.width());
    EXPECT_TRUE(window.isMaximized());
    EXPECT_EQ(window.RemaximiseCount(), manager.takenBackAfterMs < 0 ? 0 : 1);
  }
}

TEST(ReportPreview, EscClosesAndCtrlPPrints) {
  auto report = ListReport(10, 0);
  PreviewWindow window(report->Run(), nullptr);
  int dialogs = 0;
  window.SetPrintDialog([&](QPrinter&, int pageCount, QWidget*) {
    ++dialogs;
    EXPECT_EQ(pageCount, 3);
    return false;  // cancelled: nothing printed
  });
  window.show();
  PressKey(&window, Qt::Key_P, Qt::ControlModifier);
  EXPECT_EQ(dialogs, 1);
  window.findChild<QPushButton*>(QStringLiteral("btnPrint"))->click();
  EXPECT_EQ(dialogs, 2);
  PressKey(window.findChild<QWidget*>(QStringLiteral("spinPage")), Qt::Key_Escape);
  EXPECT_FALSE(window.isVisible());
}

TEST(ReportPreview, SaveAsPdfWritesThePagesShown) {
  TempDir dir;
  const QString path = dir.File(QStringLiteral("preview.pdf"));
  auto report = ListReport(10, 0);
  PreviewWindow window(report->Run(), nullptr);
  window.SetSaveFileDialog([&](QWidget*, const QString& suggested) {
    EXPECT_EQ(suggested, QStringLiteral("rptTest.pdf"));
    return path;
  });
  window.findChild<QPushButton*>(QStringLiteral("btnSavePdf"))->click();
  EXPECT_EQ(PdfPages(path), 3);
}

TEST(ReportPrinting, PrintWithDialogRendersThroughThePrinter) {
  TempDir dir;
  struct Case {
    const char* what;
    bool accept;
    int from, to;
    int pages;
    const char* mustContain;
  };
  const Case cases[] = {
      {"all pages", true, 0, 0, 3, "工單10"},
      {"the range chosen in the dialog", true, 2, 2, 1, "工單5"},
      {"cancelled", false, 0, 0, -1, ""},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const QString path = dir.File(QStringLiteral("print%1.pdf").arg(++n));
    bool destroyed = false;
    int seenPageCount = 0;
    const bool printed = PrintReport(ListReport(10, 0, &destroyed), true, nullptr,
                                     [&](QPrinter& printer, int pageCount, QWidget*) {
                                       seenPageCount = pageCount;
                                       printer.setOutputFormat(QPrinter::PdfFormat);
                                       printer.setOutputFileName(path);
                                       if (c.from > 0) {
                                         printer.setPrintRange(QPrinter::PageRange);
                                         printer.setFromTo(c.from, c.to);
                                       }
                                       return c.accept;
                                     });
    EXPECT_EQ(printed, c.accept);
    EXPECT_TRUE(destroyed);  // the instance is released after printing
    EXPECT_EQ(seenPageCount, 0) << "the report runs after the dialog, on the printer's paper";
    if (c.pages < 0) {
      EXPECT_FALSE(QFile::exists(path));
      continue;
    }
    EXPECT_EQ(PdfPages(path), c.pages);
    EXPECT_TRUE(PdfText(path).contains(QString::fromUtf8(c.mustContain)));
    EXPECT_TRUE(PdfText(path).contains(QStringLiteral("工單一覽表")));
  }
}

TEST(ReportPrinting, TheLayoutsOwnPaperOrElseThePrintersOne) {
  test::TempDir dir;
  for (const std::optional<int> paper : {std::optional<int>(), std::optional<int>(9)}) {
    auto report = ListReport(10, 0);
    report->PageSetup().paperSize = paper;
    const QString path = dir.File(paper ? "a4.pdf" : "printer.pdf");
    ASSERT_TRUE(
        PrintReport(std::move(report), true, nullptr, [&](QPrinter& printer, int, QWidget*) {
          printer.setOutputFormat(QPrinter::PdfFormat);
          printer.setOutputFileName(path);
          printer.setPageSize(QPageSize(QPageSize::Letter));
          return true;
        }));
    EXPECT_TRUE(PdfPageSize(path).contains(paper ? "A4" : "letter"))
        << PdfPageSize(path).toStdString();
  }
}

TEST(ReportPrinting, ModalPreviewReturnsWhenClosedAndReleasesTheInstance) {
  bool destroyed = false;
  int closeAttempts = 0;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    ++closeAttempts;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (qobject_cast<PreviewWindow*>(widget) != nullptr && widget->isVisible()) {
        EXPECT_TRUE(widget->windowModality() == Qt::ApplicationModal);
        widget->close();
      }
    }
  });
  closer.start(10);
  ShowReportModal(ListReport(10, 0, &destroyed));
  closer.stop();
  EXPECT_TRUE(destroyed);
  EXPECT_GE(closeAttempts, 1);
}

}  // namespace
}  // namespace tarvel::test
