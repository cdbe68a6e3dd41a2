// One field value as the database delivers it: NULL, a whole number, a real number, text or bytes.
#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <variant>

namespace tarvel::db {

class Value {
public:
  Value() = default;  ///< NULL
  Value(qint64 v) : v_(v) {}
  Value(int v) : v_(qint64{v}) {}
  Value(double v) : v_(v) {}
  Value(QString v) : v_(std::move(v)) {}
  Value(const char* utf8) : v_(QString::fromUtf8(utf8)) {}
  Value(QByteArray v) : v_(std::move(v)) {}

  bool IsNull() const { return std::holds_alternative<std::monostate>(v_); }
  bool IsInteger() const { return std::holds_alternative<qint64>(v_); }
  bool IsReal() const { return std::holds_alternative<double>(v_); }
  bool IsText() const { return std::holds_alternative<QString>(v_); }
  bool IsBlob() const { return std::holds_alternative<QByteArray>(v_); }
  bool IsNumber() const { return IsInteger() || IsReal(); }

  /// The value joined with an empty text, as the suite reads every field: NULL gives "", a
  /// number its plain decimal text (at most 15 significant digits, no trailing zeros), a text
  /// itself. Not trimmed.
  QString ToText() const;

  /// Convention for reading a text field: ToText() trimmed of blanks at both ends.
  QString Text() const;

  /// Convention for reading a number field: the platform's numeric conversion (Val) of Text().
  double Number() const;

  qint64 AsInteger() const { return std::get<qint64>(v_); }
  double AsReal() const { return std::get<double>(v_); }
  const QString& AsText() const { return std::get<QString>(v_); }
  const QByteArray& AsBlob() const { return std::get<QByteArray>(v_); }

  bool operator==(const Value&) const = default;

private:
  std::variant<std::monostate, qint64, double, QString, QByteArray> v_;
};

}  // namespace tarvel::db
