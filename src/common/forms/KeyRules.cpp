#include "common/forms/KeyRules.h"

#include "common/RocDate.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QValidator>

namespace tarvel {
namespace {

constexpr int kBackspace = 8;
constexpr int kEnter = 13;
constexpr int kMinus = '-';

constexpr auto kCommandModifiers = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

const char kKeyFilterName[] = "tarvel_key_filter";
const char kUpperCaseName[] = "tarvel_upper_case";

bool Installed(const QLineEdit* box, const char* name) {
  return box->findChild<QObject*>(QLatin1String(name), Qt::FindDirectChildrenOnly) != nullptr;
}

/// The text a key press would type: its text when it is printable and no command modifier is
/// held, otherwise empty (the key is a command, not a character).
QString TypedText(const QKeyEvent* key) {
  if (key->modifiers() & kCommandModifiers) return {};
  const QString text = key->text();
  for (QChar c : text) {
    if (!c.isPrint()) return {};
  }
  return text;
}

bool Passes(const QString& text, int mode) {
  for (QChar c : text) {
    if (FilterKey(c.unicode(), mode) == 0) return false;
  }
  return true;
}

class KeyFilterValidator : public QValidator {
 public:
  KeyFilterValidator(int mode, QObject* parent) : QValidator(parent), mode_(mode) {}
  State validate(QString& input, int& /*pos*/) const override {
    return Passes(input, mode_) ? Acceptable : Invalid;
  }

 private:
  int mode_;
};

class KeyFilter : public QObject {
 public:
  KeyFilter(int mode, QObject* parent) : QObject(parent), mode_(mode) {
    setObjectName(QLatin1String(kKeyFilterName));
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress) {
      const QString typed = TypedText(static_cast<QKeyEvent*>(event));
      if (!typed.isEmpty() && !Passes(typed, mode_)) return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  int mode_;
};

class UpperCaseFilter : public QObject {
 public:
  explicit UpperCaseFilter(QObject* parent) : QObject(parent) {
    setObjectName(QLatin1String(kUpperCaseName));
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = TypedText(key);
    QString upper = typed;
    for (QChar& c : upper)
      c = QChar(UpperCaseKey(c.unicode()));
    if (upper == typed) return QObject::eventFilter(watched, event);
    // The same key press with the capital as its text: the box handles it as typed, so read-only
    // boxes, the maximum length, the validator and the undo history all apply as usual.
    QKeyEvent capital(key->type(), key->key(), key->modifiers(), key->nativeScanCode(),
                      key->nativeVirtualKey(), key->nativeModifiers(), upper, key->isAutoRepeat(),
                      static_cast<quint16>(key->count()), key->device());
    // The capital goes on to the window by itself when the box leaves it; the original stops here.
    QCoreApplication::sendEvent(watched, &capital);
    event->accept();
    return true;
  }
};

}  // namespace

int FilterKey(int keyAscii, int mode) {
  if (mode != kDigitsMode) return keyAscii;
  const bool digit = keyAscii >= '0' && keyAscii <= '9';
  const bool kept = digit || keyAscii == kMinus || keyAscii == kBackspace || keyAscii == kEnter;
  return kept ? keyAscii : 0;
}

void ApplyKeyFilter(QLineEdit* box, int mode) {
  if (box == nullptr || Installed(box, kKeyFilterName)) return;
  box->installEventFilter(new KeyFilter(mode, box));
  box->setValidator(new KeyFilterValidator(mode, box));
}

int UpperCaseKey(int keyAscii) {
  return keyAscii >= 'a' && keyAscii <= 'z' ? keyAscii - ('a' - 'A') : keyAscii;
}

void ApplyUpperCase(QLineEdit* box) {
  if (box == nullptr || Installed(box, kUpperCaseName)) return;
  box->installEventFilter(new UpperCaseFilter(box));
}

namespace {

// Pads the date box it watches when the focus leaves it.
class PadRocDateOnFocusOut final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusOut) {
      auto* box = static_cast<QLineEdit*>(watched);
      const QString padded = PadRocDateText(box->text(), 7);
      if (padded != box->text()) box->setText(padded);
    }
    return false;
  }
};

constexpr char kRocDatePadName[] = "tarvelRocDatePad";

}  // namespace

void ApplyRocDateBox(QLineEdit* box) {
  ApplyKeyFilter(box, kDigitsMode);
  if (box->findChild<PadRocDateOnFocusOut*>(QLatin1String(kRocDatePadName),
                                            Qt::FindDirectChildrenOnly))
    return;
  auto* pad = new PadRocDateOnFocusOut(box);
  pad->setObjectName(QLatin1String(kRocDatePadName));
  box->installEventFilter(pad);
}

}  // namespace tarvel
