#include "excel/workbook/RowWriter.h"

#include "excel/workbook/WorkbookError.h"

namespace tarvel::excel {
namespace {

/// Calls handed over at a time: enough to keep the thread busy between two hand-overs, few
/// enough that a batch's texts stay small (a few hundred kilobytes).
constexpr std::size_t kBatchCalls = 8192;

}  // namespace

RowWriter::RowWriter() : thread_(&RowWriter::Run, this) {}

RowWriter::~RowWriter() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void RowWriter::SetDefaultRow(lxw_worksheet* sheet, double height) {
  Queue({Call::Kind::kDefaultRow, sheet, nullptr, 0, 0, nullptr, height, 0, {}});
}

void RowWriter::SetRow(lxw_worksheet* sheet, const QString* sheetName, lxw_row_t row,
                       double height) {
  Queue({Call::Kind::kRow, sheet, sheetName, row, 0, nullptr, height, 0, {}});
}

void RowWriter::WriteNumber(lxw_worksheet* sheet, const QString* sheetName, lxw_row_t row,
                            lxw_col_t column, double number, lxw_format* format) {
  Queue({Call::Kind::kNumber, sheet, sheetName, row, column, format, number, 0, {}});
}

void RowWriter::WriteString(lxw_worksheet* sheet, const QString* sheetName, lxw_row_t row,
                            lxw_col_t column, QStringView text, lxw_format* format) {
  std::string& texts = filling_.texts;
  const std::size_t start = texts.size();
  texts.resize(start + static_cast<std::size_t>(utf8_.requiredSpace(text.size())) + 1);
  char* end = utf8_.appendToBuffer(texts.data() + start, text);
  *end = '\0';
  texts.resize(static_cast<std::size_t>(end - texts.data()) + 1);
  Queue({Call::Kind::kString, sheet, sheetName, row, column, format, 0, start, {}});
}

void RowWriter::WriteBlank(lxw_worksheet* sheet, const QString* sheetName, lxw_row_t row,
                           lxw_col_t column, lxw_format* format) {
  Queue({Call::Kind::kBlank, sheet, sheetName, row, column, format, 0, 0, {}});
}

void RowWriter::Merge(lxw_worksheet* sheet, const CellArea& area) {
  Queue({Call::Kind::kMerge, sheet, nullptr, 0, 0, nullptr, 0, 0, area});
}

void RowWriter::Commit() {
  if (filling_.calls.size() < kBatchCalls) {
    // A failure is told at the next hand-over at the latest.
    return;
  }
  std::unique_lock lock(mutex_);
  HandOver(lock);
  if (!failure_.isEmpty()) ThrowFailure();
}

void RowWriter::Drain() {
  std::unique_lock lock(mutex_);
  if (!filling_.calls.empty()) HandOver(lock);
  changed_.wait(lock, [&] { return !busy_; });
  if (!failure_.isEmpty()) ThrowFailure();
}

void RowWriter::HandOver(std::unique_lock<std::mutex>& lock) {
  changed_.wait(lock, [&] { return !busy_; });
  std::swap(handed_, filling_);
  filling_.calls.clear();
  filling_.texts.clear();
  busy_ = true;
  lock.unlock();
  changed_.notify_all();
  lock.lock();
}

void RowWriter::ThrowFailure() {
  const QString failure = failure_;
  throw WorkbookError(failure);
}

void RowWriter::Run() {
  std::unique_lock lock(mutex_);
  while (true) {
    changed_.wait(lock, [&] { return busy_ || stopping_; });
    if (!busy_) return;
    const bool failed = !failure_.isEmpty();
    lock.unlock();
    QString failure;
    // After a failure the workbook is given up: nothing more is written.
    if (!failed) {
      for (const Call& call : handed_.calls) {
        failure = Make(call, handed_.texts);
        if (!failure.isEmpty()) break;
      }
    }
    lock.lock();
    if (failure_.isEmpty()) failure_ = failure;
    busy_ = false;
    changed_.notify_all();
  }
}

QString RowWriter::Make(const Call& call, const std::string& texts) {
  lxw_error error = LXW_NO_ERROR;
  switch (call.kind) {
    case Call::Kind::kDefaultRow:
      worksheet_set_default_row(call.sheet, call.number, LXW_FALSE);
      return {};
    case Call::Kind::kRow:
      error = worksheet_set_row(call.sheet, call.row, call.number, nullptr);
      break;
    case Call::Kind::kNumber:
      error = worksheet_write_number(call.sheet, call.row, call.column, call.number, call.format);
      break;
    case Call::Kind::kString:
      error = worksheet_write_string(call.sheet, call.row, call.column, texts.data() + call.text,
                                     call.format);
      break;
    case Call::Kind::kBlank:
      error = worksheet_write_blank(call.sheet, call.row, call.column, call.format);
      break;
    case Call::Kind::kMerge: {
      const CellArea& a = call.area;
      error = worksheet_merge_range(call.sheet, static_cast<lxw_row_t>(a.firstRow - 1),
                                    static_cast<lxw_col_t>(a.firstColumn - 1),
                                    static_cast<lxw_row_t>(a.lastRow - 1),
                                    static_cast<lxw_col_t>(a.lastColumn - 1), "", nullptr);
      if (error == LXW_NO_ERROR) return {};
      return QStringLiteral("無法合併儲存格 ") + AddressText(a) + QStringLiteral("：") +
             QString::fromUtf8(lxw_strerror(error));
    }
  }
  if (error == LXW_NO_ERROR) return {};
  return QStringLiteral("無法寫入工作表「%1」第 %2 列")
             .arg(call.sheetName ? *call.sheetName : QString())
             .arg(call.row + 1) +
         QStringLiteral("：") + QString::fromUtf8(lxw_strerror(error));
}

}  // namespace tarvel::excel
