#include "db/sql/JetOrder.h"

#include <unicode/ucol.h>

#include <QList>

#include <algorithm>
#include <memory>
#include <string_view>

namespace tarvel::db::sql {
namespace {

struct CollatorClose {
  void operator()(UCollator* c) const { ucol_close(c); }
};
using CollatorPtr = std::unique_ptr<UCollator, CollatorClose>;

// One collator per order and thread (ICU's collators are not to be shared between threads).
UCollator* CollatorOf(SortOrder order) {
  thread_local CollatorPtr general, stroke;
  CollatorPtr& slot = order == SortOrder::General ? general : stroke;
  if (!slot) {
    UErrorCode status = U_ZERO_ERROR;
    // The General order is ICU's root order at secondary strength (set below): opened by the
    // root's name, without reading a language tag, which costs more than the collator itself.
    slot.reset(ucol_open(order == SortOrder::General ? "" : IcuLocale(order), &status));
    if (U_FAILURE(status) || !slot) {
      // ICU's data always holds both; without it the root order is the closest there is.
      status = U_ZERO_ERROR;
      slot.reset(ucol_open("", &status));
    }
    ucol_setStrength(slot.get(), UCOL_SECONDARY);
  }
  return slot.get();
}

int Icu(SortOrder order, QStringView a, QStringView b) {
  const UCollationResult r = ucol_strcoll(
      CollatorOf(order), reinterpret_cast<const UChar*>(a.utf16()), static_cast<int32_t>(a.size()),
      reinterpret_cast<const UChar*>(b.utf16()), static_cast<int32_t>(b.size()));
  return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

bool PassedOver(char16_t c) {
  return std::u16string_view(kPassedOver).find(c) != std::u16string_view::npos;
}

QString WithoutPassedOver(QStringView text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text)
    if (!PassedOver(c.unicode())) out += c;
  return out;
}

bool HasPassedOver(QStringView text) {
  for (const QChar c : text)
    if (PassedOver(c.unicode())) return true;
  return false;
}

// The General order of texts made only of ASCII letters and digits (codes, numbers, dates), and of
// the characters the first pass passes over (item codes such as C1455-005), without ICU: on what
// the first pass sees, digits, then letters without regard to case, as ICU's root collation
// orders them. kNotFast for any other text, and for texts whose difference lies only in what the
// first pass passed over (the second pass is ICU's). Allocates nothing: a join compares codes
// this way a dozen times a row.
constexpr int kNotFast = 2;
constexpr int kSkipped = -2;
struct FastWeights {
  short of[128];
  constexpr FastWeights() : of{} {
    for (int c = 0; c < 128; ++c) {
      of[c] = c >= '0' && c <= '9'                         ? static_cast<short>(0x100 + (c - '0'))
              : c >= 'a' && c <= 'z'                       ? static_cast<short>(0x200 + (c - 'a'))
              : c >= 'A' && c <= 'Z'                       ? static_cast<short>(0x200 + (c - 'A'))
              : c == kPassedOver[0] || c == kPassedOver[1] ? static_cast<short>(kSkipped)
                                                           : static_cast<short>(-1);
    }
  }
};
constexpr FastWeights kFastWeights;

int FastWeight(char16_t c) {
  return c < 128 ? kFastWeights.of[c] : -1;
}

// The fast path reads UTF-16 and UTF-8 alike: it knows only ASCII, and a byte of a longer UTF-8
// sequence is no ASCII character.
qsizetype Size(QStringView text) {
  return text.size();
}
qsizetype Size(std::string_view text) {
  return static_cast<qsizetype>(text.size());
}
char16_t Unit(QStringView text, qsizetype at) {
  return text[at].unicode();
}
char16_t Unit(std::string_view text, qsizetype at) {
  return static_cast<unsigned char>(text[static_cast<std::size_t>(at)]);
}

// Moves `at` past what the first pass passes over; false at a character the fast path does not
// know.
template <typename Text>
bool SkipPassedOver(Text text, qsizetype& at, bool& skipped) {
  while (at < Size(text)) {
    const int weight = FastWeight(Unit(text, at));
    if (weight == -1) return false;
    if (weight != kSkipped) return true;
    skipped = true;
    ++at;
  }
  return true;
}

// Whether the rest of `text` from `at` is made of what the fast path knows; counts in `left` the
// characters the first pass compares.
template <typename Text>
bool RestIsFast(Text text, qsizetype at, qsizetype& left, bool& skipped) {
  for (; at < Size(text); ++at) {
    const int weight = FastWeight(Unit(text, at));
    if (weight == -1) return false;
    if (weight == kSkipped)
      skipped = true;
    else
      ++left;
  }
  return true;
}

template <typename Text>
int FastGeneral(Text a, Text b) {
  qsizetype i = 0, j = 0;
  bool skipped = false;
  int order = 0;
  // Codes sorted next to each other share most of their start: the same characters in both are
  // gone through at once. They decide nothing, not even in the second pass (a hyphen both have
  // at the same place), so only a character the fast path does not know stops it.
  for (const qsizetype shorter = std::min(Size(a), Size(b));
       i < shorter && Unit(a, i) == Unit(b, i); ++i)
    if (FastWeight(Unit(a, i)) == -1) return kNotFast;
  j = i;
  while (true) {
    if (!SkipPassedOver(a, i, skipped) || !SkipPassedOver(b, j, skipped)) return kNotFast;
    if (i == Size(a) || j == Size(b)) break;
    const int x = FastWeight(Unit(a, i)), y = FastWeight(Unit(b, j));
    if (x != y) {
      order = x < y ? -1 : 1;
      ++i;
      ++j;
      break;
    }
    ++i;
    ++j;
  }
  // The rest must be fast too, or ICU's contractions and expansions could decide otherwise.
  qsizetype leftA = 0, leftB = 0;
  if (!RestIsFast(a, i, leftA, skipped) || !RestIsFast(b, j, leftB, skipped)) return kNotFast;
  if (order != 0) return order;
  if (leftA != leftB) return leftA < leftB ? -1 : 1;
  return skipped ? kNotFast : 0;
}

}  // namespace

const char* IcuLocale(SortOrder order) {
  // The stroke order puts ideographs before letters in ICU; Jet's after them, as in General.
  return order == SortOrder::General ? "und-u-ks-level2"
                                     : "zh-Hant-u-co-stroke-kr-latn-hani-ks-level2";
}

const char* SqliteCollation(SortOrder order, bool total) {
  if (order == SortOrder::General) return total ? "JETGENERAL_TOTAL" : "JETGENERAL";
  return total ? "JETSTROKE_TOTAL" : "JETSTROKE";
}

const char* PgCollation(SortOrder order) {
  return order == SortOrder::General ? "jet_general" : "jet_stroke";
}

int CompareJet(SortOrder order, QStringView a, QStringView b) {
  if (order == SortOrder::General) {
    const int fast = FastGeneral(a, b);
    if (fast != kNotFast) return fast;
  }
  if (HasPassedOver(a) || HasPassedOver(b)) {
    const int first = Icu(order, WithoutPassedOver(a), WithoutPassedOver(b));
    if (first != 0) return first;
  }
  return Icu(order, a, b);
}

QByteArray JetEqualityKey(SortOrder order, QStringView text) {
  // Equality is the collator's at the secondary strength: its sort key holds just that.
  UCollator* collator = CollatorOf(order);
  const auto* units = reinterpret_cast<const UChar*>(text.utf16());
  const auto length = static_cast<int32_t>(text.size());
  QByteArray key(64, Qt::Uninitialized);
  int32_t needed =
      ucol_getSortKey(collator, units, length, reinterpret_cast<uint8_t*>(key.data()), key.size());
  if (needed > key.size()) {
    key.resize(needed);
    needed = ucol_getSortKey(collator, units, length, reinterpret_cast<uint8_t*>(key.data()),
                             key.size());
  }
  key.resize(std::max(0, needed - 1));  // without the terminating zero
  return key;
}

int CompareJetTotal(SortOrder order, QStringView a, QStringView b) {
  const int order1 = CompareJet(order, a, b);
  if (order1 != 0) return order1;
  // By code point (not UTF-16 unit), as the server's "C" collation compares UTF-8 bytes.
  const QString x = a.toString(), y = b.toString();
  const auto ux = x.toUcs4(), uy = y.toUcs4();
  const qsizetype n = std::min(ux.size(), uy.size());
  for (qsizetype i = 0; i < n; ++i)
    if (ux[i] != uy[i]) return ux[i] < uy[i] ? -1 : 1;
  return ux.size() == uy.size() ? 0 : (ux.size() < uy.size() ? -1 : 1);
}

int CompareJetUtf8(SortOrder order, bool total, std::string_view a, std::string_view b) {
  // The same text is equal in every order: a join's lookup ends on it, hyphens or not.
  if (a == b) return 0;
  if (order == SortOrder::General) {
    const int fast = FastGeneral(a, b);
    if (fast != kNotFast && fast != 0) return fast;
    // Equal in the order: told apart by their code points, in the order of their UTF-8 bytes.
    if (fast == 0) return total ? a.compare(b) : 0;
  }
  const QString x = QString::fromUtf8(a.data(), static_cast<qsizetype>(a.size()));
  const QString y = QString::fromUtf8(b.data(), static_cast<qsizetype>(b.size()));
  return total ? CompareJetTotal(order, x, y) : CompareJet(order, x, y);
}

}  // namespace tarvel::db::sql
