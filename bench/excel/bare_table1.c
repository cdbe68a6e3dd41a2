/* The bare limit of the 表1 export and of reading its rows: a plain C program over the SQLite C
 * API and libxlsxwriter (constant-memory mode) alone, as a hand-written exporter would be. It
 * steps the statement the program runs (as the access layer translates it for SQLite) and writes
 * the 13 columns of the item-code overview: a heading block of 5 rows every 22 lines (28 rows a
 * page block, a manual page break above each, 1,024 blocks a sheet), a thin bottom border on
 * every line, a number format per value chosen from the number, the totals line, column widths
 * and page setup. Only the quote prefix of text cells (a flag libxlsxwriter 1.1 cannot set) is
 * left out.
 *
 *   bare_table1 DATABASE STATEMENT-FILE TODAY [WORKBOOK]
 *
 * TODAY is yyyy-mm-dd (the days of unfinished orders count up to it). Without WORKBOOK it only
 * steps the statement and reads every column as text: the bare step text output is measured
 * against. The collations the statement names are registered the way a C programmer would for
 * codes: digits before letters, letters without regard to case, anything else by its bytes (the
 * demo's keys are codes; the program's Jet order differs only on other texts). */
#include <sqlite3.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <xlsxwriter.h>

enum { kPageRows = 28, kHeadingRows = 5, kBlockLines = kPageRows - kHeadingRows - 1 };
enum { kBlocksPerSheet = 1024, kColumns = 13, kMaxNumberFormats = 16 };

static int Weight(unsigned char c) {
  if (c >= '0' && c <= '9') return 0x100 + (c - '0');
  if (c >= 'a' && c <= 'z') return 0x200 + (c - 'a');
  if (c >= 'A' && c <= 'Z') return 0x200 + (c - 'A');
  return -1;
}

static int CompareCodes(int na, const unsigned char* a, int nb, const unsigned char* b) {
  const int n = na < nb ? na : nb;
  for (int i = 0; i < n; ++i) {
    const int x = Weight(a[i]), y = Weight(b[i]);
    if (x < 0 || y < 0) {
      const int bytes = memcmp(a + i, b + i, (size_t)n - (size_t)i);
      if (bytes != 0) return bytes;
      break;
    }
    if (x != y) return x < y ? -1 : 1;
  }
  return na == nb ? 0 : (na < nb ? -1 : 1);
}

static int General(void* unused, int na, const void* a, int nb, const void* b) {
  (void)unused;
  return CompareCodes(na, a, nb, b);
}

/* The total order ORDER BY uses: ties of the general order broken by the bytes. */
static int GeneralTotal(void* unused, int na, const void* a, int nb, const void* b) {
  (void)unused;
  const int order = CompareCodes(na, a, nb, b);
  if (order != 0) return order;
  const int bytes = memcmp(a, b, (size_t)(na < nb ? na : nb));
  return bytes != 0 ? bytes : na - nb;
}

static char* ReadFile(const char* path) {
  FILE* file = fopen(path, "rb");
  if (!file) return NULL;
  fseek(file, 0, SEEK_END);
  const long size = ftell(file);
  fseek(file, 0, SEEK_SET);
  char* text = malloc((size_t)size + 1);
  if (text && fread(text, 1, (size_t)size, file) != (size_t)size) {
    free(text);
    text = NULL;
  }
  if (text) text[size] = '\0';
  fclose(file);
  return text;
}

/* The column's text without the blanks at its ends, in `out` (at most `size` bytes). */
static const char* Trimmed(sqlite3_stmt* stmt, int column, char* out, size_t size) {
  const char* text = (const char*)sqlite3_column_text(stmt, column);
  if (!text) return "";
  size_t length = (size_t)sqlite3_column_bytes(stmt, column);
  while (length > 0 && *text == ' ')
    ++text, --length;
  while (length > 0 && text[length - 1] == ' ')
    --length;
  if (length >= size) length = size - 1;
  memcpy(out, text, length);
  out[length] = '\0';
  return out;
}

/* Days since 1970-01-01 of a Gregorian date (Howard Hinnant's days_from_civil). */
static long DaysFromCivil(long y, long m, long d) {
  y -= m <= 2;
  const long era = (y >= 0 ? y : y - 399) / 400;
  const long yoe = y - era * 400;
  const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

/* A ROC date of `digits` year digits (yyyMMdd or yyMMdd) as days; 0 when it is none. */
static int RocDays(const char* text, int yearDigits, long* days) {
  const size_t length = strlen(text);
  if (length != (size_t)yearDigits + 4) return 0;
  for (size_t i = 0; i < length; ++i)
    if (text[i] < '0' || text[i] > '9') return 0;
  const long value = atol(text);
  const long year = value / 10000 + 1911, month = value / 100 % 100, day = value % 100;
  if (month < 1 || month > 12 || day < 1 || day > 31) return 0;
  *days = DaysFromCivil(year, month, day);
  return 1;
}

/* "#,##0" with one "0" after a point per decimal the value has at 15 significant digits. */
static void NumberFormat(double value, char* out) {
  char digits[40];
  snprintf(digits, sizeof digits, "%.15g", value);
  int decimals = 0;
  const char* exponent = strchr(digits, 'e');
  const char* point = strchr(digits, '.');
  if (point) {
    const char* end = exponent ? exponent : digits + strlen(digits);
    decimals = (int)(end - point - 1);
  }
  if (exponent) decimals -= atoi(exponent + 1);
  if (decimals < 0) decimals = 0;
  strcpy(out, "#,##0");
  if (decimals > 0) {
    strcat(out, ".");
    for (int i = 0; i < decimals && i < 30; ++i)
      strcat(out, "0");
  }
}

typedef struct {
  lxw_workbook* book;
  lxw_format *title, *left, *heading, *text, *centred, *totals, *totalsRight;
  char patterns[kMaxNumberFormats][48];
  lxw_format* numbers[kMaxNumberFormats];
  int numberCount;
} Formats;

static lxw_format* NewFormat(lxw_workbook* book) {
  lxw_format* format = workbook_add_format(book);
  format_set_font_name(format, "新細明體");
  format_set_font_size(format, 12);
  format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
  return format;
}

static lxw_format* NumberFormatFor(Formats* f, double value) {
  char pattern[48];
  NumberFormat(value, pattern);
  for (int i = 0; i < f->numberCount; ++i)
    if (strcmp(f->patterns[i], pattern) == 0) return f->numbers[i];
  if (f->numberCount == kMaxNumberFormats) return f->text;
  lxw_format* format = NewFormat(f->book);
  format_set_bottom(format, LXW_BORDER_THIN);
  format_set_align(format, LXW_ALIGN_RIGHT);
  format_set_num_format(format, pattern);
  strcpy(f->patterns[f->numberCount], pattern);
  f->numbers[f->numberCount] = format;
  return f->numbers[f->numberCount++];
}

/* The totals line's own: its number format on the medium bottom border. */
static lxw_format* TotalsFormat(Formats* f, double value) {
  char pattern[48];
  NumberFormat(value, pattern);
  lxw_format* format = NewFormat(f->book);
  format_set_bottom(format, LXW_BORDER_MEDIUM);
  format_set_align(format, LXW_ALIGN_RIGHT);
  format_set_num_format(format, pattern);
  return format;
}

static void LayOut(lxw_worksheet* sheet) {
  static const double widths[kColumns] = {9, 5, 9, 15, 35, 8, 9, 9, 6.5, 8, 4, 5, 8};
  for (lxw_col_t c = 0; c < kColumns; ++c)
    worksheet_set_column(sheet, c, c, widths[c] + 0.57, NULL);
  worksheet_set_default_row(sheet, 20, LXW_FALSE);
  worksheet_set_landscape(sheet);
  worksheet_set_paper(sheet, 9);
  worksheet_set_margins(sheet, 0.3937, 0.3937, 0.3937, 0.3937);
  worksheet_fit_to_pages(sheet, 1, 0);
}

static void Heading(lxw_worksheet* sheet, const Formats* f, lxw_row_t top, const char* listDate) {
  static const char* const headings[kColumns] = {
      "工單單號", "日期",   "客　戶",   "印 件 代 號", "印 件 名 稱", "數 量", "單 價",
      "金 額",    "業務員", "預交日期", "完工",        "天數",        "單別"};
  worksheet_set_row(sheet, top, 23, NULL);
  worksheet_merge_range(sheet, top, 0, top, 12, "工單一覽表", f->title);
  worksheet_merge_range(sheet, top + 1, 10, top + 1, 12, "完工狀態：全　部", f->left);
  worksheet_merge_range(sheet, top + 2, 10, top + 2, 12, "送清狀態：全　部", f->left);
  worksheet_merge_range(sheet, top + 3, 0, top + 3, 3, "工單日期：// ～ 999/99/99", f->left);
  worksheet_merge_range(sheet, top + 3, 10, top + 3, 12, listDate, f->left);
  for (lxw_col_t c = 0; c < kColumns; ++c)
    worksheet_write_string(sheet, top + 4, c, headings[c], f->heading);
}

/* Every column of every row read as text. */
static long Step(sqlite3_stmt* stmt) {
  const int columns = sqlite3_column_count(stmt);
  long rows = 0;
  size_t bytes = 0;
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    ++rows;
    for (int c = 0; c < columns; ++c) {
      if (sqlite3_column_text(stmt, c)) bytes += (size_t)sqlite3_column_bytes(stmt, c);
    }
  }
  printf("%ld rows, %zu bytes\n", rows, bytes);
  return rows;
}

static int Column(sqlite3_stmt* stmt, const char* name) {
  for (int c = 0; c < sqlite3_column_count(stmt); ++c)
    if (sqlite3_stricmp(sqlite3_column_name(stmt, c), name) == 0) return c;
  fprintf(stderr, "no column %s\n", name);
  exit(1);
}

static int Export(sqlite3_stmt* stmt, const char* path, long today) {
  enum { PO, ODATE, SNAME, CODE, DESC, QTY, PRICE, AMT, NAME, PDATE, FDATE, KIND, kFields };
  static const char* const names[kFields] = {"PO",    "ODATE", "SNAME", "CODE",  "DESC",  "QTY",
                                             "PRICE", "AMT",   "NAME",  "PDATE", "FDATE", "KIND"};
  int at[kFields];
  for (int i = 0; i < kFields; ++i)
    at[i] = Column(stmt, names[i]);

  lxw_workbook_options options = {.constant_memory = LXW_TRUE, .tmpdir = NULL, .use_zip64 = 0};
  Formats f = {.book = workbook_new_opt(path, &options)};
  if (!f.book) return 1;
  f.title = NewFormat(f.book);
  format_set_font_name(f.title, "標楷體");
  format_set_font_size(f.title, 20);
  format_set_bold(f.title);
  format_set_underline(f.title, LXW_UNDERLINE_SINGLE);
  format_set_align(f.title, LXW_ALIGN_CENTER);
  f.left = NewFormat(f.book);
  format_set_align(f.left, LXW_ALIGN_LEFT);
  f.heading = NewFormat(f.book);
  format_set_align(f.heading, LXW_ALIGN_CENTER);
  format_set_top(f.heading, LXW_BORDER_MEDIUM);
  format_set_bottom(f.heading, LXW_BORDER_THIN);
  f.text = NewFormat(f.book);
  format_set_bottom(f.text, LXW_BORDER_THIN);
  f.centred = NewFormat(f.book);
  format_set_bottom(f.centred, LXW_BORDER_THIN);
  format_set_align(f.centred, LXW_ALIGN_CENTER);
  f.totals = NewFormat(f.book);
  format_set_bottom(f.totals, LXW_BORDER_MEDIUM);
  format_set_align(f.totals, LXW_ALIGN_LEFT);
  f.totalsRight = NewFormat(f.book);
  format_set_bottom(f.totalsRight, LXW_BORDER_MEDIUM);
  format_set_align(f.totalsRight, LXW_ALIGN_RIGHT);

  const long y = today / 10000, m = today / 100 % 100, d = today % 100;
  const long todayDays = DaysFromCivil(y, m, d);
  char listDate[64];
  snprintf(listDate, sizeof listDate, "列表日期：%03ld/%02ld/%02ld", y - 1911, m, d);

  lxw_worksheet* sheet = workbook_add_worksheet(f.book, "工作表1");
  LayOut(sheet);
  lxw_row_t breaks[kBlocksPerSheet + 1];
  int breakCount = 0;
  int sheets = 1;
  long lines = 0, blocks = 0;
  double quantity = 0, amount = 0;
  lxw_row_t row = 0;
  char buffer[4096];
  int steps;
  while ((steps = sqlite3_step(stmt)) == SQLITE_ROW) {
    if (lines % kBlockLines == 0) {
      if (blocks == kBlocksPerSheet) {
        breaks[breakCount] = 0;
        worksheet_set_h_pagebreaks(sheet, breaks);
        char name[32];
        snprintf(name, sizeof name, "工作表%d", ++sheets);
        sheet = workbook_add_worksheet(f.book, name);
        LayOut(sheet);
        blocks = 0;
        breakCount = 0;
      }
      const lxw_row_t top = (lxw_row_t)(blocks++ * kPageRows);
      if (top > 0) breaks[breakCount++] = top;
      Heading(sheet, &f, top, listDate);
      row = top + kHeadingRows;
    }
    ++lines;
    worksheet_write_string(sheet, row, 0, Trimmed(stmt, at[PO], buffer, sizeof buffer), f.centred);
    char odate[16], fdate[16], shortDate[8] = "";
    Trimmed(stmt, at[ODATE], odate, sizeof odate);
    Trimmed(stmt, at[FDATE], fdate, sizeof fdate);
    const size_t odateLength = strlen(odate);
    if (odateLength >= 4)
      snprintf(shortDate, sizeof shortDate, "%.2s/%.2s", odate + odateLength - 4,
               odate + odateLength - 2);
    worksheet_write_string(sheet, row, 1, shortDate, f.centred);
    worksheet_write_string(sheet, row, 2, Trimmed(stmt, at[SNAME], buffer, sizeof buffer), f.text);
    worksheet_write_string(sheet, row, 3, Trimmed(stmt, at[CODE], buffer, sizeof buffer), f.text);
    worksheet_write_string(sheet, row, 4, Trimmed(stmt, at[DESC], buffer, sizeof buffer), f.text);
    const double qty = sqlite3_column_double(stmt, at[QTY]);
    const double price = sqlite3_column_double(stmt, at[PRICE]);
    const double amt = sqlite3_column_double(stmt, at[AMT]);
    quantity += qty;
    amount += amt;
    worksheet_write_number(sheet, row, 5, qty, NumberFormatFor(&f, qty));
    worksheet_write_number(sheet, row, 6, price, NumberFormatFor(&f, price));
    worksheet_write_number(sheet, row, 7, amt, NumberFormatFor(&f, amt));
    worksheet_write_string(sheet, row, 8, Trimmed(stmt, at[NAME], buffer, sizeof buffer), f.text);
    char pdate[16], fullDate[16] = "";
    Trimmed(stmt, at[PDATE], pdate, sizeof pdate);
    if (strlen(pdate) == 7)
      snprintf(fullDate, sizeof fullDate, "%.3s/%.2s/%.2s", pdate, pdate + 3, pdate + 5);
    else
      strcpy(fullDate, pdate);
    worksheet_write_string(sheet, row, 9, fullDate, f.centred);
    worksheet_write_string(sheet, row, 10, fdate[0] ? "Y" : "N", f.centred);
    long start = 0, end = todayDays;
    if (odate[0]) {
      RocDays(odate, 3, &start);
      if (!RocDays(fdate, strlen(fdate) == 6 ? 2 : 3, &end)) end = todayDays;
      worksheet_write_number(sheet, row, 11, (double)(end - start), f.text);
    } else {
      worksheet_write_blank(sheet, row, 11, f.text);
    }
    worksheet_write_string(sheet, row, 12, Trimmed(stmt, at[KIND], buffer, sizeof buffer), f.text);
    ++row;
  }
  if (steps != SQLITE_DONE) {
    fprintf(stderr, "%s\n", sqlite3_errmsg(sqlite3_db_handle(stmt)));
    return 1;
  }
  char count[64];
  snprintf(count, sizeof count, "合　　計：%ld 件", lines);
  worksheet_merge_range(sheet, row, 0, row, 2, count, f.totals);
  for (lxw_col_t c = 3; c < kColumns; ++c)
    worksheet_write_blank(sheet, row, c, c >= 5 && c <= 7 ? f.totalsRight : f.totals);
  worksheet_write_number(sheet, row, 5, quantity, TotalsFormat(&f, quantity));
  worksheet_write_number(sheet, row, 7, amount, TotalsFormat(&f, amount));
  breaks[breakCount] = 0;
  worksheet_set_h_pagebreaks(sheet, breaks);
  if (workbook_close(f.book) != LXW_NO_ERROR) return 1;
  printf("%ld lines on %d sheets\n", lines, sheets);
  return 0;
}

int main(int argc, char** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: bare_table1 DATABASE STATEMENT-FILE TODAY [WORKBOOK]\n");
    return 2;
  }
  char* sql = ReadFile(argv[2]);
  sqlite3* db = NULL;
  if (!sql || sqlite3_open_v2(argv[1], &db, SQLITE_OPEN_READONLY, NULL) != SQLITE_OK) {
    fprintf(stderr, "cannot open %s or %s\n", argv[1], argv[2]);
    return 1;
  }
  sqlite3_create_collation(db, "JETGENERAL", SQLITE_UTF8, NULL, General);
  sqlite3_create_collation(db, "JETGENERAL_TOTAL", SQLITE_UTF8, NULL, GeneralTotal);
  sqlite3_stmt* stmt = NULL;
  if (sqlite3_prepare_v2(db, sql, -1, &stmt, NULL) != SQLITE_OK) {
    fprintf(stderr, "%s\n", sqlite3_errmsg(db));
    return 1;
  }
  const long today = atol(argv[3]) * 10000 + atol(argv[3] + 5) * 100 + atol(argv[3] + 8);
  const int status = argc > 4 ? Export(stmt, argv[4], today) : (Step(stmt) >= 0 ? 0 : 1);
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  free(sql);
  return status;
}
