// A criteria file read strictly: each name of the program's has one JSON type, and a value of
// another type or out of range is refused naming the name, never converted (a "1" read as a
// number gives 0, the opposite choice). A name written twice is refused too: which of its values
// was meant cannot be known.
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <set>

namespace tarvel {

/// Whether `text` is what the program's date boxes hold: seven digits, yyyMMdd of the ROC
/// calendar, or nothing (a box left empty, which the criteria read as open at that end).
bool IsDateBoxText(const QString& text);

class CriteriaFile {
 public:
  /// Reads the JSON object in `path`; false when it cannot, with the reason in `problem`.
  bool Load(const QString& path, QString& problem);

  // Each returns the value of `name` when the file has it and it is of the name's type; a value
  // of another type is noted as a problem and gives nothing.
  /// A JSON string.
  std::optional<QString> Text(const char* name);
  /// A JSON string of seven digits or an empty one (IsDateBoxText).
  std::optional<QString> Date(const char* name);
  /// true or false.
  std::optional<bool> Flag(const char* name);
  /// A whole number from `first` to `last`.
  std::optional<int> Option(const char* name, int first, int last);
  /// An array of at most `most` JSON strings.
  std::optional<QStringList> Texts(const char* name, int most);

  /// After every name has been asked for: every name written more than once, every value
  /// refused and every name of the file none of the calls asked for, one line each (none: the
  /// file was read whole).
  QStringList Problems() const;

 private:
  std::optional<QJsonValue> Value(const char* name);
  void Refuse(const char* name, const QString& expected);

  QString path_;
  QJsonObject object_;
  std::set<QString> asked_;
  QStringList problems_;
};

}  // namespace tarvel
