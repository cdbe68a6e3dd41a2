#include "db/Value.h"

#include <QStringDecoder>
#include <atomic>
#include <cstring>
#include <new>
#include <vector>

#include "db/sql/AccessValues.h"
#include "db/sql/Catalog.h"
#include "platform/Conversions.h"

namespace tarvel::db {

static_assert(sizeof(Value) == 16, "a snapshot holds millions of values: keep them small");

// Header of the shared text/bytes block; the content follows it directly.
struct Value::Block {
  std::atomic<std::int32_t> references;
  std::int32_t length;  // UTF-16 units for a text, bytes for a blob

  char* Data() { return reinterpret_cast<char*>(this + 1); }
  const char16_t* Units() { return reinterpret_cast<const char16_t*>(this + 1); }
};

Value::Block* Value::NewBlock(const void* data, qsizetype bytes, qsizetype length) {
  void* memory = ::operator new(sizeof(Block) + static_cast<size_t>(bytes));
  auto* block = new (memory) Block;
  block->references.store(1, std::memory_order_relaxed);
  block->length = static_cast<std::int32_t>(length);
  if (bytes > 0) std::memcpy(block->Data(), data, static_cast<size_t>(bytes));
  return block;
}

Value Value::FromUtf16(const char16_t* text, qsizetype length) {
  Value v;
  // Empty texts are common (Jet fields default to ""): they share no block at all.
  v.block_ = length == 0 ? nullptr : NewBlock(text, length * qsizetype(sizeof(char16_t)), length);
  v.kind_ = Kind::Text;
  return v;
}

Value Value::FromBytes(const void* bytes, qsizetype length) {
  Value v;
  v.block_ = length == 0 ? nullptr : NewBlock(bytes, length, length);
  v.kind_ = Kind::Blob;
  return v;
}

Value::Value(QStringView v) : Value(FromUtf16(v.utf16(), v.size())) {}
Value::Value(const QString& v) : Value(QStringView(v)) {}
Value::Value(const char* utf8) : Value(QString::fromUtf8(utf8)) {}
Value::Value(const QByteArray& v) : Value(FromBytes(v.constData(), v.size())) {}

void Value::Share() noexcept {
  block_->references.fetch_add(1, std::memory_order_relaxed);
}

void Value::Release() noexcept {
  if (block_->references.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    block_->~Block();
    ::operator delete(block_);
  }
  kind_ = Kind::Null;
  i_ = 0;
}

QStringView Value::TextView() const {
  if (kind_ != Kind::Text || !block_) return {};
  return QStringView(block_->Units(), block_->length);
}

QString Value::AsText() const {
  return TextView().toString();
}

QByteArray Value::AsBlob() const {
  if (kind_ != Kind::Blob || !block_) return {};
  return QByteArray(block_->Data(), block_->length);
}

QString Value::ToText() const {
  switch (kind_) {
    case Kind::Null:
      return {};
    case Kind::Integer:
      return QString::number(i_);
    case Kind::Real:
      return NumberText(r_);
    case Kind::Text:
      return AsText();
    case Kind::Blob:
      return QString::fromUtf8(AsBlob());
  }
  return {};
}

QString Value::Text() const {
  if (kind_ != Kind::Text) {
    QString text = ToText();
    qsizetype begin = 0, end = text.size();
    while (begin < end && text[begin] == u' ')
      ++begin;
    while (end > begin && text[end - 1] == u' ')
      --end;
    return text.mid(begin, end - begin);
  }
  QStringView view = TextView();
  qsizetype begin = 0, end = view.size();
  while (begin < end && view[begin] == u' ')
    ++begin;
  while (end > begin && view[end - 1] == u' ')
    --end;
  return view.mid(begin, end - begin).toString();
}

double Value::Number() const {
  // A whole number reads back exactly; a real goes through its 15-digit text as the suite's
  // Val(field & "") does, so 0.1 + 0.2 stored by the engine reads as 0.3.
  if (kind_ == Kind::Integer) return static_cast<double>(i_);
  if (kind_ == Kind::Real) return Val(NumberText(r_));
  return Val(Text());
}

bool Value::operator==(const Value& other) const {
  if (kind_ != other.kind_) return false;
  switch (kind_) {
    case Kind::Null:
      return true;
    case Kind::Integer:
      return i_ == other.i_;
    case Kind::Real:
      return r_ == other.r_;
    case Kind::Text:
      return TextView() == other.TextView();
    case Kind::Blob:
      return AsBlob() == other.AsBlob();
  }
  return false;
}

Value Value::FromUtf8(const char* utf8, qsizetype bytes) {
  // Decoded into a scratch buffer, so the only allocation is the value's own block.
  thread_local std::vector<char16_t> scratch;
  if (scratch.size() < static_cast<size_t>(bytes)) scratch.resize(static_cast<size_t>(bytes));
  bool ascii = true;
  for (qsizetype i = 0; i < bytes; ++i) {
    if (static_cast<unsigned char>(utf8[i]) >= 0x80) {
      ascii = false;
      break;
    }
    scratch[static_cast<size_t>(i)] = static_cast<char16_t>(utf8[i]);
  }
  if (ascii) return FromUtf16(scratch.data(), bytes);
  QStringDecoder decoder(QStringDecoder::Utf8);
  const QChar* end =
      decoder.appendToBuffer(reinterpret_cast<QChar*>(scratch.data()), QByteArrayView(utf8, bytes));
  return FromUtf16(scratch.data(), end - reinterpret_cast<const QChar*>(scratch.data()));
}

sql::Datum DatumOf(const Value& v) {
  sql::Datum d;
  switch (v.GetKind()) {
    case Value::Kind::Integer:
      d.kind = sql::Datum::Kind::Number;
      d.number = static_cast<double>(v.AsInteger());
      break;
    case Value::Kind::Real:
      d.kind = sql::Datum::Kind::Number;
      d.number = v.AsReal();
      break;
    case Value::Kind::Text:
    case Value::Kind::Blob:
      d.text = v.ToText();
      d.kind = sql::IsStoredDate(d.text) ? sql::Datum::Kind::Date : sql::Datum::Kind::Text;
      break;
    case Value::Kind::Null:
      break;
  }
  return d;
}

}  // namespace tarvel::db
