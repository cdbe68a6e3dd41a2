// The customer range dialog: the start and end customer codes of an overview, each with its short
// name, found by code or through the customer lookup.
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "windows/lookup/LookupValues.h"
#include "windows/lookup/LookupWindow.h"

class QLabel;
class QLineEdit;

namespace Ui {
class CustomerRangeDialog;
}

namespace tarvel {

struct AppContext;

/// A customer code range with the short names shown beside it (0 start, 1 end).
struct CustomerRange {
  std::array<QString, 2> codes;
  std::array<QString, 2> names;
  bool operator==(const CustomerRange&) const = default;
};

/// The dialog frmTarvel_客戶起迄 (its object name; the class has an ASCII name because Qt's
/// meta-object compiler reads only ASCII identifiers). The caller puts its current range in with
/// SetRange, runs the dialog with exec() and, when it was accepted (確定), takes Range() back;
/// 取消, Esc and the close box reject it. Codes are not checked on confirmation: whatever the boxes
/// hold goes back.
class CustomerRangeDialog : public QDialog {
  Q_OBJECT

 public:
  /// `context` and `lookup` must outlive the dialog; `openLookup` opens the customer lookup when
  /// a typed code is not found.
  CustomerRangeDialog(const AppContext& context, LookupValues& lookup, LookupOpener openLookup,
                      QWidget* parent = nullptr);
  ~CustomerRangeDialog() override;

  void SetRange(const CustomerRange& range);
  CustomerRange Range() const;

  QLineEdit* CodeBox(int index) const { return codes_.at(index); }
  QLabel* NameLabel(int index) const { return names_.at(index); }

  /// FindCustomer: empties LookupResult, then puts the ID and SNAME of the customer whose code is
  /// `code` into its values 0 and 1. A database error is shown with the title
  /// "依客戶代號取得客戶資料錯誤" and leaves LookupResult empty.
  void FindCustomer(const QString& code);

 private:
  void OnCodeEnter(int index);

  const AppContext& context_;
  LookupValues& lookup_;
  LookupOpener openLookup_;
  std::unique_ptr<Ui::CustomerRangeDialog> ui_;
  std::array<QLineEdit*, 2> codes_{};
  std::array<QLabel*, 2> names_{};
};

}  // namespace tarvel
