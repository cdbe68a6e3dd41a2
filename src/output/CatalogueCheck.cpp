#include "output/CatalogueCheck.h"

#include <QSet>
#include <algorithm>
#include <map>
#include <string>
#include <string_view>
#include <tuple>

#include "criteria/OptionBoxes.h"
#include "criteria/ReworkStatements.h"
#include "criteria/Statement.h"
#include "design/ReportRegistry.h"
#include "output/ReportCatalogue.h"
#include "reports/PrintedLayout.h"

namespace tarvel {
namespace {

QString Utf8(const char* text) {
  return QString::fromUtf8(text);
}

/// One definition's problems, each line naming it.
class DefinitionCheck {
 public:
  DefinitionCheck(const ReportDefinition& d, QStringList& problems) : d_(d), problems_(problems) {}

  void Say(const QString& what) {
    problems_ << QStringLiteral("「%1」%2").arg(Utf8(d_.name), what);
  }

  /// The layout built from the definition: its controls unique, every field a cell reads bound in
  /// the cell's band, every line under a column, every kept total shown on some line.
  void Layout() {
    layout_ = PrintedLayout(d_);
    QSet<QString> names;
    for (const SectionDef& section : layout_.sections) {
      for (const ControlDef& control : section.controls) {
        if (names.contains(control.name))
          Say(QStringLiteral("的版面有兩個控制項 %1").arg(control.name));
        names.insert(control.name);
        if (!control.dataField.isEmpty()) bound_.insert(control.dataField.toLower());
      }
      if (!section.groupKey.isEmpty()) bound_.insert(section.groupKey.toLower());
      bands_[section.kind] = &section;
    }
    for (const Column& column : d_.columns)
      if (column.field != nullptr) Reads(d_.columnsBand, column.field, column.cell);
    for (const Line& line : d_.lines) {
      for (const LineCell& cell : line.cells) {
        if (d_.ColumnShowing(cell.under) == nullptr && cell.left < 0)
          Say(QStringLiteral("的 %1 所在的欄 %2 不存在")
                  .arg(Utf8(cell.field ? cell.field : "(試算表)"), Utf8(cell.under)));
        if (cell.field != nullptr) Reads(line.band, cell.field, cell.cell);
      }
      if (line.shownWhen != nullptr && !BoundIn(line.band, line.shownWhen))
        Say(QStringLiteral("的一行依欄位 %1 顯示，但該區段沒有繫結它").arg(Utf8(line.shownWhen)));
    }
    const auto kept = [&](const Footer& footer) {
      for (const Total& total : footer.totals) {
        if (total.kind != TotalKind::Sum || total.engine) continue;
        for (const char* column : total.columns) {
          bool shown = false;
          for (const auto& [kind, band] : bands_)
            shown = shown || BoundIn(kind, column);
          if (!shown)
            Say(QStringLiteral("的合計 %1 所加的欄位 %2 沒有出現在任何一行")
                    .arg(Utf8(total.field), Utf8(column)));
        }
      }
    };
    kept(d_.footer);
    if (d_.innerFooter) kept(*d_.innerFooter);
  }

  /// The sheet: its letters unique and within the sheet, every line's cell under a column of the
  /// sheet, every total and heading piece within it.
  void Sheet() {
    if (!d_.sheet) return;
    char last = 'A';
    std::map<char, const char*> letters;
    for (const Column& column : d_.columns) {
      const char letter = column.sheet.letter;
      if (letter == 0) continue;
      if (letters.contains(letter))
        Say(QStringLiteral("的試算表有兩欄在 %1 欄").arg(QLatin1Char(letter)));
      letters[letter] = column.cell.column;
      last = std::max({last, letter, column.sheet.mergeThrough});
    }
    for (const Line& line : d_.lines)
      for (const LineCell& cell : line.cells)
        if ((cell.sheet || cell.field) && d_.ColumnShowing(cell.under) != nullptr &&
            d_.ColumnShowing(cell.under)->sheet.letter == 0 && cell.left < 0)
          Say(QStringLiteral("的一行在試算表上的欄 %1 不在試算表上").arg(Utf8(cell.under)));
    const auto within = [&](char letter, const QString& what) {
      if (letter != 0 && (letter < 'A' || letter > last))
        Say(QStringLiteral("的%1在 %2 欄，超出試算表的最後一欄 %3")
                .arg(what, QString(QLatin1Char(letter)), QString(QLatin1Char(last))));
    };
    for (const Total& total : d_.footer.totals)
      within(total.sheetLetter, QStringLiteral("合計 %1").arg(Utf8(total.field)));
    for (const HeadingRow& heading : d_.sheet->heading)
      within(heading.first, QStringLiteral("標題列"));
  }

  /// The columns the layout binds and the sheet reads must be the statements'.
  void Statements(const CatalogueCheck& check) {
    const bool invoice = d_.family == ReportFamily::Overview;
    QSet<QString> layout = bound_;
    for (const Column& column : d_.columns)
      if (column.followsDateBasis && invoice && d_.statement.where == WhereRule::Overview)
        layout.insert(QStringLiteral("發票日期"));
    Against(check, Statement(false), layout, QStringLiteral("版面"));
    if (!d_.sheet) return;
    Against(check, Statement(true), SheetColumns(), QStringLiteral("轉Excel"));
  }

 private:
  void Reads(SectionKind band, const char* field, const Cell& cell) {
    for (const char* input : cell.inputs)
      if (!BoundIn(band, input))
        Say(QStringLiteral("的 %1 讀取的欄位 %2 在同一區段沒有繫結的控制項")
                .arg(Utf8(field), Utf8(input)));
  }

  bool BoundIn(SectionKind kind, const char* column) const {
    const auto band = bands_.find(kind);
    if (band == bands_.end()) return false;
    const QString wanted = Utf8(column);
    for (const ControlDef& control : band->second->controls)
      if (control.kind == ControlKind::Field && control.dataField == wanted) return true;
    return false;
  }

  QString Statement(bool sheet) const {
    if (d_.family == ReportFamily::Rework) return ReworkStatement(d_.choice, ReworkCriteria{});
    const StatementSpec& spec = sheet && d_.sheet->statement ? *d_.sheet->statement : d_.statement;
    return ComposeStatement(spec, WorkOrderCriteria{}, AppContext{});
  }

  QSet<QString> SheetColumns() const {
    QSet<QString> columns;
    const auto add = [&](const Cell& cell) {
      if (*cell.column != '\0') columns.insert(Utf8(cell.column).toLower());
      for (const char* input : cell.inputs)
        columns.insert(Utf8(input).toLower());
    };
    for (const Column& column : d_.columns) {
      if (column.sheet.letter == 0) continue;
      add(column.sheet.cell ? *column.sheet.cell : column.cell);
      if (column.followsDateBasis && d_.family == ReportFamily::Overview)
        columns.insert(QStringLiteral("發票日期"));
    }
    for (const Line& line : d_.lines) {
      for (const LineCell& cell : line.cells)
        if (cell.sheet || cell.field) add(cell.sheet ? *cell.sheet : cell.cell);
      if (line.shownWhen) columns.insert(Utf8(line.shownWhen).toLower());
    }
    for (const Total& total : d_.footer.totals)
      for (const char* column : total.columns)
        columns.insert(Utf8(column).toLower());
    for (const Group* group : {&d_.outer, d_.inner ? &*d_.inner : nullptr})
      if (group != nullptr && *group->key != '\0') columns.insert(Utf8(group->key).toLower());
    for (const HeadingRow& heading : d_.sheet->heading)
      if (heading.piece == HeadingRow::Piece::Salesperson)
        columns.unite({QStringLiteral("empno"), QStringLiteral("name")});
    return columns;
  }

  void Against(const CatalogueCheck& check, const QString& statement, const QSet<QString>& needed,
               const QString& what) {
    QString problem;
    const std::optional<QStringList> columns = check.columnsOf(NoRowsStatement(statement), problem);
    if (!columns) {
      Say(QStringLiteral("的%1資料無法讀取：%2").arg(what, problem));
      return;
    }
    QSet<QString> has;
    for (const QString& column : *columns)
      has.insert(column.toLower());
    QStringList missing;
    for (const QString& column : needed)
      if (!has.contains(column.toLower())) missing << column;
    missing.sort();
    if (!missing.isEmpty())
      Say(QStringLiteral("的%1資料沒有欄位 %2").arg(what, missing.join(QStringLiteral("、"))));
  }

  const ReportDefinition& d_;
  QStringList& problems_;
  LayoutDefinition layout_;
  std::map<SectionKind, const SectionDef*> bands_;  // of layout_
  QSet<QString> bound_;                             // lower case
};

void CheckWindow(const CatalogueCheck& check, QStringList& problems) {
  const auto control = [&](const char* name, const QString& where) {
    if (!check.windowHas(Utf8(name)))
      problems << QStringLiteral("主視窗沒有控制項 %1（%2）").arg(Utf8(name), where);
  };
  for (const OptionBox& box : OptionBoxes())
    control(box.name, QStringLiteral("選項方塊表"));
  for (const char* name : ShownByEveryChoice())
    control(name, QStringLiteral("每個報表選項都顯示的控制項"));
  for (const ChoiceRow& choice : ChoiceRows()) {
    if (choice.family != ReportFamily::Overview) continue;
    const QString where = QStringLiteral("報表選項 %1").arg(ReportChoiceCaption(choice.index));
    for (const char* name : choice.window.shown)
      control(name, where);
    for (const char* name : choice.window.hidden)
      control(name, where);
    if (choice.window.focus) control(choice.window.focus, where);
  }
}

/// Every choice has one layout no box picks; every box picks at most one layout of a choice, one
/// offered there.
void CheckChoices(std::span<const ReportDefinition> definitions, QStringList& problems) {
  std::map<std::pair<ReportFamily, int>, int> defaults;
  std::map<std::tuple<ReportFamily, int, std::string>, const char*> picked;
  QSet<QString> names;
  for (const ReportDefinition& d : definitions) {
    DefinitionCheck says(d, problems);
    if (names.contains(Utf8(d.name))) says.Say(QStringLiteral("的名稱重複"));
    names.insert(Utf8(d.name));
    if (d.pickedBy == nullptr) {
      ++defaults[{d.family, d.choice}];
      continue;
    }
    const OptionBox* box = FindOptionBox(QString::fromUtf8(d.pickedBy));
    if (box == nullptr || d.family != ReportFamily::Overview) {
      says.Say(QStringLiteral("由選項方塊 --%1 選取，但選項方塊表沒有它").arg(Utf8(d.pickedBy)));
      continue;
    }
    if (!box->Offered(d.choice))
      says.Say(QStringLiteral("的選項方塊 %1 在報表選項 %2 不顯示，版面選不到")
                   .arg(Utf8(box->name), ReportChoiceCaption(d.choice)));
    const auto [other, fresh] = picked.try_emplace({d.family, d.choice, d.pickedBy}, d.name);
    if (!fresh) says.Say(QStringLiteral("與「%1」由同一個選項方塊選取").arg(Utf8(other->second)));
  }
  const auto each = [&](ReportFamily family, int count, const QString& window) {
    for (int choice = 0; choice < count; ++choice) {
      const int found = defaults[{family, choice}];
      if (found != 1)
        problems << QStringLiteral("%1的報表選項 %2 有 %3 個不經選項方塊選取的版面（應有 1 個）")
                        .arg(window)
                        .arg(choice)
                        .arg(found);
    }
  };
  each(ReportFamily::Overview, kReportChoiceCount, QStringLiteral("主視窗"));
  each(ReportFamily::Rework, kReworkChoiceCount, QStringLiteral("重工明細表視窗"));
}

}  // namespace

QString NoRowsStatement(const QString& statement) {
  const qsizetype where = statement.indexOf(QStringLiteral("where "), 0, Qt::CaseInsensitive);
  return (where < 0 ? statement + u' ' : statement.left(where)) + QStringLiteral("where 1 = 0");
}

QStringList CatalogueProblems(const CatalogueCheck& check) {
  return CatalogueProblems(check, RegisteredReports());
}

QStringList CatalogueProblems(const CatalogueCheck& check,
                              std::span<const ReportDefinition> definitions) {
  QStringList problems;
  if (check.windowHas) CheckWindow(check, problems);
  CheckChoices(definitions, problems);
  // Many layouts read the same rows: each statement is asked once (the program runs this check
  // at start-up, where every statement is a round trip to the database).
  std::map<QString, std::pair<std::optional<QStringList>, QString>> asked;
  CatalogueCheck once = check;
  if (check.columnsOf)
    once.columnsOf = [&asked, &check](const QString& statement,
                                      QString& problem) -> std::optional<QStringList> {
      auto it = asked.find(statement);
      if (it == asked.end()) {
        QString said;
        std::optional<QStringList> columns = check.columnsOf(statement, said);
        it = asked.emplace(statement, std::pair{std::move(columns), said}).first;
      }
      problem = it->second.second;
      return it->second.first;
    };
  for (const ReportDefinition& d : definitions) {
    DefinitionCheck definition(d, problems);
    if (d.sheetOf != nullptr &&
        std::none_of(definitions.begin(), definitions.end(), [&](const ReportDefinition& other) {
          return other.sheet && std::string_view(other.name) == d.sheetOf;
        }))
      definition.Say(QStringLiteral("所用的轉Excel格式「%1」不存在").arg(Utf8(d.sheetOf)));
    definition.Layout();
    definition.Sheet();
    if (check.columnsOf && (!check.offered || check.offered(d.family, d.choice)))
      definition.Statements(once);
  }
  return problems;
}

}  // namespace tarvel
