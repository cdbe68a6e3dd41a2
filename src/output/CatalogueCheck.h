// The catalogue's check of itself: every control, field and column a report definition, the option
// box table or a choice's window rule mentions must be there where it is looked for (in the main
// window, in the layout built from the definition, in the statement's columns), every choice must
// have its one layout no box picks, and every box that picks a layout must be offered where it
// does. The program runs it at start-up (a mistake is named to the user, and no control it lacks
// is ever used), the tests run it on the demo database.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <span>

#include "design/ReportDefinition.h"

namespace tarvel {

struct CatalogueCheck {
  /// Whether the main window has a control of this object name; empty: the window is not checked.
  std::function<bool(const QString& name)> windowHas;
  /// The columns a statement yields (read without its rows), or nullopt with `problem` when it
  /// cannot be read; empty: the statements are not checked.
  std::function<std::optional<QStringList>(const QString& statement, QString& problem)> columnsOf;
  /// Whether a report choice is offered at this site (表5 only to some); empty: all are.
  std::function<bool(ReportFamily family, int choice)> offered;
};

/// What is wrong with `definitions` (every registered one by default) against `check`, one line
/// each naming the definition and what it mentions that is missing; empty when nothing is.
QStringList CatalogueProblems(const CatalogueCheck& check);
QStringList CatalogueProblems(const CatalogueCheck& check,
                              std::span<const ReportDefinition> definitions);

/// `statement` with a WHERE no row meets: its columns, without reading a row.
QString NoRowsStatement(const QString& statement);

}  // namespace tarvel
