// One field value as the database delivers it: NULL, a whole number, a real number, text or bytes.
//
// A snapshot holds millions of these (100,000 rows x 40 columns is an ordinary report), so a Value
// is 16 bytes: a tag and either the number itself or a pointer to one shared, immutable heap block
// with the text (UTF-16) or the bytes. Copies share the block. A text costs 16 bytes plus one
// allocation of 8 + 2 x length bytes, about half of what a std::variant holding a QString costs;
// an empty text costs no allocation.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstdint>

namespace tarvel::db {

namespace sql {
struct Datum;
}

class Value {
 public:
  enum class Kind : std::uint8_t { Null, Integer, Real, Text, Blob };

  Value() noexcept : i_(0) {}  ///< NULL
  Value(qint64 v) noexcept : i_(v), kind_(Kind::Integer) {}
  Value(int v) noexcept : i_(v), kind_(Kind::Integer) {}
  Value(double v) noexcept : r_(v), kind_(Kind::Real) {}
  Value(const QString& v);
  Value(QStringView v);
  Value(const char* utf8);
  Value(const QByteArray& v);
  /// A text from UTF-16 code units (as the engine hands them over), copied once.
  static Value FromUtf16(const char16_t* text, qsizetype length);
  /// A text from UTF-8 bytes (as the engines hand them over), decoded straight into the value's
  /// own block: one allocation, no QString in between.
  static Value FromUtf8(const char* utf8, qsizetype bytes);
  /// Bytes, copied once.
  static Value FromBytes(const void* bytes, qsizetype length);

  // Copies share the text's block; a number or NULL is copied without a call.
  Value(const Value& other) noexcept : i_(other.i_), kind_(other.kind_) {
    if (HasBlock()) Share();
  }
  Value(Value&& other) noexcept : i_(other.i_), kind_(other.kind_) {
    other.kind_ = Kind::Null;
    other.i_ = 0;
  }
  Value& operator=(const Value& other) noexcept {
    if (this != &other) *this = Value(other);
    return *this;
  }
  Value& operator=(Value&& other) noexcept {
    if (this != &other) {
      if (HasBlock()) Release();
      i_ = other.i_;
      kind_ = other.kind_;
      other.kind_ = Kind::Null;
      other.i_ = 0;
    }
    return *this;
  }
  ~Value() {
    if (HasBlock()) Release();
  }

  Kind GetKind() const { return kind_; }
  bool IsNull() const { return kind_ == Kind::Null; }
  bool IsInteger() const { return kind_ == Kind::Integer; }
  bool IsReal() const { return kind_ == Kind::Real; }
  bool IsText() const { return kind_ == Kind::Text; }
  bool IsBlob() const { return kind_ == Kind::Blob; }
  bool IsNumber() const { return IsInteger() || IsReal(); }

  /// The value joined with an empty text, as the suite reads every field: NULL gives "", a whole
  /// number its decimal digits, a real number its plain decimal text (NumberText: at most 15
  /// significant digits, no trailing zeros), a text itself, bytes their UTF-8 reading. Not trimmed.
  QString ToText() const;

  /// Convention for reading a text field: ToText() without the spaces (U+0020) at both ends. Only
  /// spaces are trimmed, like the runtime's Trim; tabs, line breaks and ideographic spaces stay.
  QString Text() const;

  /// Convention for reading a number field: the platform's numeric conversion (Val) of Text().
  double Number() const;

  /// Precondition: IsInteger() / IsReal() / IsText() / IsBlob() respectively.
  qint64 AsInteger() const { return i_; }
  double AsReal() const { return r_; }
  QString AsText() const;
  /// The text without copying it; valid while this Value (or a copy of it) lives.
  QStringView TextView() const;
  QByteArray AsBlob() const;

  /// Same kind and same content (1 and 1.0 differ; NULL equals NULL).
  bool operator==(const Value& other) const;

 private:
  struct Block;
  static Block* NewBlock(const void* data, qsizetype bytes, qsizetype length);
  bool HasBlock() const noexcept {
    return (kind_ == Kind::Text || kind_ == Kind::Blob) && block_ != nullptr;
  }
  /// One more value shares the block (HasBlock()).
  void Share() noexcept;
  /// Lets go of the block, freed with its last value, and becomes NULL (HasBlock()).
  void Release() noexcept;

  union {
    qint64 i_;
    double r_;
    Block* block_;
  };
  Kind kind_ = Kind::Null;
};

/// A value as the Access SQL translation takes a constant read from the database (a crosstab's
/// pivot value): a number, a date (a text in the stored date form) or a text.
sql::Datum DatumOf(const Value& v);

}  // namespace tarvel::db
