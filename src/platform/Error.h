// A run-time error as the program's error traps see it: the description the message box shows.
#pragma once

#include <QString>
#include <stdexcept>

namespace tarvel {

class Error : public std::runtime_error {
 public:
  explicit Error(const QString& description)
      : std::runtime_error(description.toStdString()), description_(description) {}

  /// The error's own description, shown as the text of the error message box.
  const QString& Description() const { return description_; }

 private:
  QString description_;
};

}  // namespace tarvel
