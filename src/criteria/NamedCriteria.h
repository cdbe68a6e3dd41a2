// The windows' criteria as a script gives them: by the program's own names in a criteria file
// (the record's fields and the window's controls: "PoFrom", an option box's object name,
// "sopt完工") and by readable options on a command line ("--po-from"), applied over a window's
// state in order, the file's first. One table per window says which names there are (the main
// window's option boxes come from criteria/OptionBoxes.h); tarvel-cli and any other scripted
// caller read them here.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "criteria/CriteriaFile.h"
#include "criteria/ReworkCriteria.h"
#include "criteria/WorkOrderCriteria.h"
#include "startup/ScriptContext.h"

namespace tarvel {

/// One criterion of a window's state that a script may set.
template <class Form>
struct NamedCriterion {
  enum class Kind {
    Text,    ///< any text
    Date,    ///< seven digits of a ROC date, or empty (IsDateBoxText)
    Flag,    ///< a check box: true or false in a file, the bare option ticks it
    Choice,  ///< an option group: a number in a file, a word on the command line
  };
  const char* name;    ///< in a criteria file
  const char* option;  ///< on the command line, without "--"
  Kind kind;
  void (*setText)(Form& form, const QString& text) = nullptr;  ///< Text, Date
  bool Form::*flag = nullptr;                                  ///< Flag
  void (*choose)(Form& form, int number) = nullptr;            ///< Choice, with a file's number
  int first = 0;                                               ///< Choice: a file's range
  int last = 0;
  std::initializer_list<std::pair<const char*, int>> words;  ///< Choice: option words, numbers
};

/// The main window's criteria by name.
std::span<const NamedCriterion<OverviewFormState>> OverviewCriteriaNames();
/// The rework window's criteria by name.
std::span<const NamedCriterion<ReworkFormState>> ReworkCriteriaNames();

/// A script's criteria for one window: the choice, the edits of its state and the user.
template <class Form>
class ScriptCriteria {
 public:
  /// `choices`: the number of the window's report choices (sopt選擇報表 0 to choices - 1).
  ScriptCriteria(std::span<const NamedCriterion<Form>> names, int choices)
      : names_(names), choices_(choices) {}

  enum class Taken { No, Yes, Refused };
  /// Takes the option at args[i] when it is --choice, one of the window's, or the user's
  /// (--admin, --user, --employee, --rights, --profit-base, --groups A,B,…); i then moves past
  /// its value. Refused: the value is not one the option takes; `problem` says why.
  Taken TakeOption(const QStringList& args, qsizetype& i, QString& problem);
  /// Reads the criteria file `path`: its names, "sopt選擇報表" (a --choice wins over it) and the
  /// user's (AdminName, UserName, EmployeeId, WorkOrderRights, ProfitRateBase, Groups). False when
  /// it cannot be read whole; `problems` lists every refused value and unknown name.
  bool ReadFile(const QString& path, QStringList& problems);

  /// The report choice, from --choice or the file (nullopt: neither said).
  std::optional<int> choice;
  UserOverrides user;

  /// Applies the edits to `form`: the file's, then the options' in their order.
  void Apply(Form& form) const;
  /// One line per option of the window's and the user's.
  QString Usage() const;

 private:
  std::span<const NamedCriterion<Form>> names_;
  int choices_;
  std::vector<std::function<void(Form&)>> fileEdits_;
  std::vector<std::function<void(Form&)>> optionEdits_;
};

extern template class ScriptCriteria<OverviewFormState>;
extern template class ScriptCriteria<ReworkFormState>;

}  // namespace tarvel
