#include "excel/workbook/Workbook.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include "excel/workbook/LibxlsxwriterGaps.h"
#include "excel/workbook/RecordedWorkbook.h"
#include "excel/workbook/RowWriter.h"
#include "excel/workbook/StoppableClose.h"
#include "excel/workbook/StylesPatch.h"
#include "excel/workbook/WorkbookError.h"
#include "excel/workbook/XlsxPackage.h"

namespace tarvel::excel {
namespace {

QString SheetNameProblem(lxw_error error) {
  switch (error) {
    case LXW_ERROR_SHEETNAME_LENGTH_EXCEEDED:
      return QStringLiteral("超過 31 個字元");
    case LXW_ERROR_INVALID_SHEETNAME_CHARACTER:
      return QStringLiteral("不能有 [ ] : * ? / \\ 這些字元");
    case LXW_ERROR_SHEETNAME_START_END_APOSTROPHE:
      return QStringLiteral("不能以單引號開頭或結尾");
    case LXW_ERROR_SHEETNAME_ALREADY_USED:
      return QStringLiteral("已經有同名的工作表");
    default:
      return QString::fromUtf8(lxw_strerror(error));
  }
}

}  // namespace

Workbook::Workbook(const WorkbookOptions& options) : options_(options) {
  if (options_.normalFontSize < 1 || options_.normalFontSize > 409 ||
      options_.normalDigitPixels < 1 || options_.standardRowHeight < 0 ||
      options_.standardRowHeight > 409.5 || options_.standardColumnWidth < 0 ||
      options_.standardColumnWidth > 255 || options_.paperSize < 0 || options_.paperSize > 255)
    throw WorkbookError(QStringLiteral("活頁簿的設定不在 Excel 允許的範圍內"));

  const QString folder = options_.tempFolder.isEmpty() ? QDir::tempPath() : options_.tempFolder;
  workFolder_ = std::make_unique<WorkFolder>(folder, QStringLiteral("xlsx"));
  if (!workFolder_->IsValid())
    throw WorkbookError(QStringLiteral("無法在資料夾 %1 建立暫存資料（%2）")
                            .arg(QDir::toNativeSeparators(folder), workFolder_->ErrorString()));
  workFolderName_ = QFile::encodeName(workFolder_->Path());
  packagePath_ = workFolder_->FilePath(QStringLiteral("book.xlsx"));

  lxw_workbook_options lxwOptions{};
  lxwOptions.constant_memory = LXW_TRUE;
  lxwOptions.tmpdir = workFolderName_.data();
  lxwOptions.use_zip64 = LXW_FALSE;
  book_ = workbook_new_opt(QFile::encodeName(packagePath_).constData(), &lxwOptions);
  if (!book_) throw WorkbookError(QStringLiteral("無法建立活頁簿（暫存檔或記憶體不足）"));

  normal_.numberFormat = QStringLiteral("General");
  normal_.fontName = options_.normalFontName;
  normal_.fontSize = options_.normalFontSize;
  normal_.bold = false;
  normal_.underline = XlUnderlineStyle::kNone;
  normal_.fontColor = XlColorIndex::kAutomatic;
  normal_.horizontal = XlHAlign::kGeneral;
  normal_.vertical = XlVAlign::kBottom;
  normal_.wrapText = false;
  xlsxFormats_ = std::make_unique<XlsxFormatCache>(book_, normal_);
  writer_ = std::make_unique<RowWriter>();
  try {
    NewSheet(options_.firstSheetName);
  } catch (...) {
    Discard();
    throw;
  }
}

Workbook::~Workbook() {
  Discard();
}

void Workbook::Discard() {
  writer_.reset();  // its thread may still be writing into the workbook
  if (book_) {
    lxw_workbook_free(book_);
    book_ = nullptr;
  }
  workFolder_.reset();
}

void Workbook::CheckOpen() const {
  if (!book_) throw WorkbookError(QStringLiteral("活頁簿已經儲存或關閉"));
}

Worksheet& Workbook::Sheet(int index) {
  if (index < 0 || index >= SheetCount())
    throw WorkbookError(QStringLiteral("沒有第 %1 張工作表").arg(index + 1));
  return *sheets_[static_cast<std::size_t>(index)];
}

std::vector<SheetValues> Workbook::Values() const {
  std::vector<SheetValues> values;
  for (const auto& sheet : sheets_)
    values.push_back(sheet->Values());
  return values;
}

Worksheet& Workbook::AddSheet(const QString& name) {
  CheckOpen();
  const QString sheetName =
      name.isEmpty() ? QStringLiteral("工作表%1").arg(SheetCount() + 1) : name;
  // Checked before the rows of the sheets before it are handed over: a refused name changes
  // nothing.
  const lxw_error problem = workbook_validate_sheet_name(book_, sheetName.toUtf8().constData());
  if (problem != LXW_NO_ERROR)
    throw WorkbookError(
        QStringLiteral("工作表名稱「%1」無效：%2").arg(sheetName, SheetNameProblem(problem)));
  for (const auto& sheet : sheets_)
    sheet->FlushAll();
  Writer().Drain();  // adding a sheet is the workbook's own call
  return NewSheet(sheetName);
}

Worksheet& Workbook::NewSheet(const QString& name) {
  const QByteArray utf8 = name.toUtf8();
  const lxw_error problem = workbook_validate_sheet_name(book_, utf8.constData());
  if (problem != LXW_NO_ERROR)
    throw WorkbookError(
        QStringLiteral("工作表名稱「%1」無效：%2").arg(name, SheetNameProblem(problem)));
  lxw_worksheet* sheet = workbook_add_worksheet(book_, utf8.constData());
  if (!sheet) throw WorkbookError(QStringLiteral("無法新增工作表「%1」").arg(name));
  const int index = SheetCount();
  sheets_.push_back(std::unique_ptr<Worksheet>(new Worksheet(*this, sheet, index, name)));
  if (options_.recorder) options_.recorder->SheetAdded(name);
  return *sheets_.back();
}

void Workbook::SaveAs(const QString& path, const std::function<bool()>& stopped) {
  CheckOpen();
  const QString target = path.trimmed();
  PackageEdit edit;
  int defaultStyle = 0;
  try {
    if (target.isEmpty()) throw WorkbookError(QStringLiteral("沒有指定活頁簿的檔名"));
    // The first sheet's whole-sheet formats become the workbook's default format, which reaches
    // every cell and column without a style; a later sheet with other ones gives them to its
    // own columns.
    Worksheet& first = *sheets_.front();
    const FormatTable::Id bookDefault = first.sheetFormat_;
    for (const auto& sheet : sheets_) {
      sheet->Finish(bookDefault);
      if (detail::RowFileFailed(sheet->sheet_))
        throw WorkbookError(QStringLiteral("無法寫入暫存資料（磁碟可能已滿）：") +
                            QDir::toNativeSeparators(workFolder_->Path()));
      edit.worksheets.insert(QStringLiteral("xl/worksheets/sheet%1.xml").arg(sheet->Index() + 1),
                             {sheet->rowsWritten_, sheet->lastRowWritten_});
    }
    if (lxw_format* format = first.FormatFor(FormatTable::kEmpty, false))
      defaultStyle = lxw_format_get_xf_index(format);
  } catch (...) {
    Discard();
    throw;
  }
  const std::vector<int> quotePrefixStyles = xlsxFormats_->QuotePrefixStyles();
  const QString fontName = options_.normalFontName;
  const double fontSize = options_.normalFontSize;
  edit.replace.insert(QStringLiteral("xl/styles.xml"), [=](const QByteArray& styles) {
    return PatchStyles(styles, fontName, fontSize, defaultStyle, quotePrefixStyles);
  });

  const auto stop = [&] {
    Discard();
    throw SaveStopped(QStringLiteral("已停止儲存：") + QDir::toNativeSeparators(target));
  };
  if (stopped && stopped()) stop();
  // Every row is written out (Finish): the writer's thread ends before the package is made.
  writer_.reset();
  // Closing writes the package and frees the workbook, whatever the outcome.
  const std::optional<lxw_error> closed = CloseWorkbook(book_, stopped);
  book_ = nullptr;
  if (!closed) stop();
  if (*closed != LXW_NO_ERROR) {
    Discard();
    throw WorkbookError(
        QStringLiteral("無法產生活頁簿（%1）").arg(QString::fromUtf8(lxw_strerror(*closed))));
  }

  QFile package(packagePath_);
  QSaveFile file(target);
  // Never write into the target directly: an interrupted write would ruin the old file.
  file.setDirectWriteFallback(false);
  try {
    if (!package.open(QIODevice::ReadOnly))
      throw WorkbookError(QStringLiteral("無法讀取產生的活頁簿（%1）").arg(package.errorString()));
    if (!file.open(QIODevice::WriteOnly))
      throw WorkbookError(QStringLiteral("無法寫入檔案 %1（%2）")
                              .arg(QDir::toNativeSeparators(target), file.errorString()));
    RewritePackage(package, file, edit, stopped);
    if (stopped && stopped())
      throw SaveStopped(QStringLiteral("已停止儲存：") + QDir::toNativeSeparators(target));
    if (!file.commit())
      throw WorkbookError(QStringLiteral("無法寫入檔案 %1（%2）")
                              .arg(QDir::toNativeSeparators(target), file.errorString()));
  } catch (...) {
    file.cancelWriting();
    package.close();
    Discard();
    throw;
  }
  package.close();
  Discard();
}

}  // namespace tarvel::excel
