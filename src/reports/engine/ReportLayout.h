// The design of a banded report layout as plain data: page settings, sections and their controls.
//
// Every position and size is in twips (1/kTwipsPerInch inch), measured from the band's top-left
// corner for controls and from the paper's edge for margins. A layout class builds one
// LayoutDefinition (with designated initialisers or a table) and hands it to Report; the handlers
// that fill it are code.
#pragma once

#include <QString>
#include <array>
#include <optional>
#include <vector>

#include "platform/Twips.h"

namespace tarvel {

/// The bands of a layout, in the order they appear on the page and in the run.
enum class SectionKind : int {
  PageHeader = 0,
  GroupHeader1,
  GroupHeader2,
  Detail,
  GroupFooter2,
  GroupFooter1,
  PageFooter,
};
inline constexpr int kSectionKindCount = 7;

/// The section's name as the handlers use it ("GroupHeader1").
QString SectionName(SectionKind kind);

enum class ControlKind : int { Label, Field, Line };

enum class Alignment : int { Left, Center, Right };

/// A font as the layouts name it: the Windows family name ("新細明體", "標楷體"), the point size
/// and the style. Resolution to an installed face happens in ReportFonts only.
struct FontSpec {
  QString family = QStringLiteral("新細明體");
  double pointSize = 11;
  bool bold = false;
  bool italic = false;
  bool operator==(const FontSpec&) const = default;
};

/// PageCount: the number of pages of the whole report, known only when the run is over; the
/// engine writes it on every page then (the page store's second pass), never through a handler.
enum class SummaryFunction : int { None, Sum, Count, PageCount };

/// Where a summary starts over: at every instance of its group header, or never (grand total).
enum class SummaryRunning : int { Group, All };

/// Summary settings of a field. A Sum adds Val of the bound column over every record of the group;
/// a Count counts the records. The total is the field's Value in the footer that closes the group.
struct SummaryDef {
  SummaryFunction function = SummaryFunction::None;
  SummaryRunning running = SummaryRunning::Group;
  /// The header whose group the summary spans: GroupHeader1 or GroupHeader2.
  SectionKind group = SectionKind::GroupHeader1;
};

/// One control. Labels use `text` as caption; fields use it as the design text of an unbound
/// field; lines run from (left, top) to (left + width, top + height).
struct ControlDef {
  ControlKind kind = ControlKind::Label;
  QString name;
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  QString text;
  FontSpec font;
  Alignment alignment = Alignment::Left;
  bool visible = true;
  QString dataField;     ///< bound column of DataControl1's rows; empty for an unbound field
  QString outputFormat;  ///< digit pattern applied by the engine to the bound value ("###/##/##")
  SummaryDef summary;
  int lineWidth = 15;  ///< pen width of a line, twips (15 = one pixel at 96 dpi)
};

/// Inserts a page break before or after each instance of a section.
enum class NewPage : int { None, Before, After };

struct SectionDef {
  SectionKind kind = SectionKind::Detail;
  int height = 0;
  /// The column whose change starts a new group (group headers only). Empty: one group spanning
  /// the whole report.
  QString groupKey;
  /// Group headers: repeat the header (and run its Format handler again) at the top of every page
  /// that continues its group.
  bool repeatOnEveryPage = false;
  NewPage newPage = NewPage::None;
  std::vector<ControlDef> controls;
};

enum class Orientation : int { Portrait = 1, Landscape = 2 };

/// A layout's page: orientation, paper and the four margins (twips), part of its design;
/// ActiveReport_ReportStart may still change them.
struct PageSettings {
  Orientation orientation = Orientation::Portrait;
  /// Printer paper-size code: 9 = A4, 1 = Letter, 5 = Legal, 8 = A3, 11 = A5, 13 = B5 (JIS).
  /// None: the paper of the device the report goes to (the chosen printer's; for a PDF or a
  /// preview made without a printer, SystemDefaultPaper()).
  std::optional<int> paperSize;
  float leftMargin = kTwipsPerInch;
  float rightMargin = kTwipsPerInch;
  float topMargin = kTwipsPerInch;
  float bottomMargin = kTwipsPerInch;

  /// The four margins in the engine's property order: left, right, top, bottom. Layouts give
  /// their four values in this order.
  void SetMargins(float left, float right, float top, float bottom) {
    leftMargin = left;
    rightMargin = right;
    topMargin = top;
    bottomMargin = bottom;
  }
};

struct LayoutDefinition {
  QString name;  ///< the layout's name ("rptTarvel_1"), shown in the preview's title
  PageSettings page;
  /// The sections the layout has, any order; the engine runs them in SectionKind order.
  std::vector<SectionDef> sections;
};

/// A layout whose `bands` stand between an empty page header and an empty page footer: the frame
/// every overview and rework layout starts from (their title blocks are bands of their own).
inline LayoutDefinition FramedLayout(const QString& name, const PageSettings& page,
                                     std::vector<SectionDef> bands) {
  LayoutDefinition design{.name = name, .page = page};
  design.sections.push_back(SectionDef{.kind = SectionKind::PageHeader});
  for (SectionDef& band : bands)
    design.sections.push_back(std::move(band));
  design.sections.push_back(SectionDef{.kind = SectionKind::PageFooter});
  return design;
}

/// Paper size in twips (portrait) for a printer paper-size code; throws tarvel::Error for a code
/// the engine does not know.
struct PaperTwips {
  int width;
  int height;
};
PaperTwips PaperSizeTwips(int paperSize);

/// The system's default paper, portrait: the PAPERSIZE environment variable, else the first word
/// of /etc/papersize (the system-wide setting on Debian), else Letter in a US locale and A4
/// everywhere else. Names the engine does not know count as A4.
PaperTwips SystemDefaultPaper();

}  // namespace tarvel
