// The modal preview window: a report's pages with navigation, zoom, find, print and save as PDF,
// shown from the first page on while the later ones are still being laid out.
#pragma once

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "reports/engine/PageModel.h"
#include "reports/preview/PageSearch.h"
#include "reports/preview/ReportPrinter.h"

class QEventLoop;

namespace Ui {
class PreviewWindow;
}

namespace tarvel {

class PageStore;
class PageView;
class Report;
class ReportRun;

/// A top-level window of its own from the start (not a dialog of the window it came from), so
/// that it has its own task-bar entry and a window manager lets it be maximised; the layout's
/// ActiveReport_Activate hears every activation. It is never hidden and shown again to get
/// there: a window shown again loses its maximised state under some window managers.
class PreviewWindow : public QWidget {
  Q_OBJECT

 public:
  /// Asks for the file name of "另存PDF"; an empty name means cancelled.
  using SaveFileFunction = std::function<QString(QWidget* parent, const QString& suggested)>;

  /// Shows `model`, laid out before; `report` (may be null) is kept alive with the window and
  /// receives ActiveReport_Activate at each activation.
  PreviewWindow(PageModel model, std::unique_ptr<Report> report, QWidget* parent = nullptr);
  /// Lays `report` out while it is shown (its checked rows set on DataControl1 beforehand, if
  /// any). Returns once page 1 is laid out; the later pages are laid out on this thread in slices
  /// between the window's events, into a PageStore (memory up to its budget, then its temporary
  /// file). Errors before page 1 propagate; later ones are shown in a message and end the layout,
  /// leaving the pages laid out. Closing the window stops the run and frees the temporary file.
  /// `paper`: as for Report::Run.
  explicit PreviewWindow(std::unique_ptr<Report> report, QWidget* parent = nullptr,
                         std::optional<PaperTwips> paper = std::nullopt);
  ~PreviewWindow() override;

  /// Shows the window application-modal, maximised on the screen of its parent's window (of
  /// the primary screen without a parent), and returns when it has been closed. The state is set
  /// before the window first appears, so its first frame is the maximised one, and looked at
  /// again once it is on the screen and half a second later: a window manager that maps it
  /// otherwise, or takes the state back, is answered by maximising it again.
  void Exec();

  int CurrentPage() const;  ///< 0-based
  /// The pages laid out so far (all of them once LayoutDone).
  int PageCount() const;
  /// Whether every page is laid out (always, for a window made from a PageModel).
  bool LayoutDone() const { return run_ == nullptr; }
  /// Lays out the remaining pages now, under the hourglass (before printing or saving them).
  void FinishLayout();
  /// The page a navigation asked for that is not laid out yet (-1: none).
  int WaitingForPage() const { return waitingFor_; }
  double Zoom() const;
  const PageSource& Pages() const { return *pages_; }
  /// How often the window had to be maximised again after it appeared.
  int RemaximiseCount() const { return remaximised_; }

  /// Shows page `index`; a page not laid out yet is shown as soon as it is (WaitingForPage).
  void ShowPage(int index);
  /// Zoom factor: 1 shows the page at its printed size on this screen.
  void SetZoom(double zoom);
  /// The zoom choice shown: "頁寬" (fit width) for the first preview, afterwards the choice
  /// made last in any preview while the program runs.
  QString ZoomChoice() const;

  /// Finds the text of the find box (Ctrl+F): the next place it is found after the one shown,
  /// or from the page shown when that holds none, going round past the last page; or the
  /// previous one. The page turns to it and the text is marked. Returns false when the text is
  /// nowhere (the status line says so).
  bool FindNext();
  bool FindPrevious();
  /// The places found for the find box's text, and the one shown (-1 for none).
  const std::vector<PageHit>& Hits() const { return hits_; }
  int CurrentHit() const { return hit_; }

  /// Replaces the print dialog and the file dialog (tests, tools).
  void SetPrintDialog(PrintDialogFunction dialog) { printDialog_ = std::move(dialog); }
  void SetSaveFileDialog(SaveFileFunction dialog) { saveDialog_ = std::move(dialog); }

  void Print();
  void SaveAsPdf();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void SetUp();
  void LayOutSlice();
  void EndLayout();
  void UpdateNavigation();
  bool HandleKey(QObject* target, int key, Qt::KeyboardModifiers modifiers);
  bool Find(bool forward);
  void ApplyZoomChoice(int index);
  void PlaceMaximised();
  void EnsureMaximised();
  void UpdateStatus();

  std::unique_ptr<Ui::PreviewWindow> ui_;
  // Declared before the run: the run writes to the pages and reads the report, so it ends first.
  std::unique_ptr<Report> report_;
  std::unique_ptr<PageSource> pages_;
  PageStore* store_ = nullptr;  ///< pages_ when the window lays the report out itself
  std::unique_ptr<ReportRun> run_;
  QTimer layout_;
  int waitingFor_ = -1;
  bool layoutStopped_ = false;  ///< the run failed or the window closed before its end
  PageView* view_ = nullptr;    // owned by the scroll area
  PrintDialogFunction printDialog_ = ExecPrintDialog;
  SaveFileFunction saveDialog_;
  QEventLoop* loop_ = nullptr;
  bool mapped_ = false;
  int remaximised_ = 0;
  QString searched_;       // the text hits_ were found for
  int searchedPages_ = 0;  // the pages hits_ covers
  std::vector<PageHit> hits_;
  int hit_ = -1;
};

}  // namespace tarvel
