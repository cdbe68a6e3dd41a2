// The modal preview window: pages of a PageModel with navigation, zoom, find, print and save as
// PDF.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <vector>

#include "reports/engine/PageModel.h"
#include "reports/preview/PageSearch.h"
#include "reports/preview/ReportPrinter.h"

class QEventLoop;

namespace Ui {
class PreviewWindow;
}

namespace tarvel {

class PageView;
class Report;

class PreviewWindow : public QWidget {
  Q_OBJECT

 public:
  /// Asks for the file name of "另存PDF"; an empty name means cancelled.
  using SaveFileFunction = std::function<QString(QWidget* parent, const QString& suggested)>;

  /// Shows `model`; `report` (may be null) is kept alive with the window and receives
  /// ActiveReport_Activate at each activation.
  PreviewWindow(PageModel model, std::unique_ptr<Report> report, QWidget* parent = nullptr);
  ~PreviewWindow() override;

  /// Shows the window application-modal, maximised on the screen of its parent's window (of
  /// the primary screen without a parent), and returns when it has been closed.
  void Exec();

  int CurrentPage() const;  ///< 0-based
  int PageCount() const { return model_.PageCount(); }
  double Zoom() const;
  const PageModel& Model() const { return model_; }
  /// Whether the first activation has made the window a top-level window of its own.
  bool PromotedToTopLevel() const { return promoted_; }
  int PromotionCount() const { return promotions_; }

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
  bool HandleKey(QObject* target, int key, Qt::KeyboardModifiers modifiers);
  bool Find(bool forward);
  void ApplyZoomChoice(int index);
  void PromoteToTopLevel();
  void UpdateStatus();

  std::unique_ptr<Ui::PreviewWindow> ui_;
  PageModel model_;
  std::unique_ptr<Report> report_;
  PageView* view_ = nullptr;  // owned by the scroll area
  PrintDialogFunction printDialog_ = ExecPrintDialog;
  SaveFileFunction saveDialog_;
  QEventLoop* loop_ = nullptr;
  bool promoted_ = false;
  int promotions_ = 0;
  QString searched_;  // the text hits_ were found for
  std::vector<PageHit> hits_;
  int hit_ = -1;
};

}  // namespace tarvel
