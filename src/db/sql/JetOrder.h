// Jet's sort orders for texts, as both engines apply them: SQLite through collations of the
// program's (JETGENERAL, JETSTROKE and their total forms), PostgreSQL through ICU collations of
// the same ICU locale and the same two keys written into the statement (Generator.h).
//
// The rule, as a table of pairs in tests/data/jet-order.txt:
// - case does not count ("abc" = "ABC"); a letter with an accent sorts with its base letter and
//   the accent breaks the tie ("Pâte" after "Pate", before "Pavé");
// - apostrophes and hyphens are passed over first ("co-op" sorts beside "coop"; "Sir Rodney's"
//   beside "Sir Rodneys"); where only they differ, they count as punctuation ("co-op" before
//   "coop");
// - spaces and other punctuation count, before digits ("San Jose" before "Sandoval", "Sir
//   Tom's Jam" before "Sirocco"); digits come before letters, ideographs after letters;
// - ideographs in the General order by radical and count of strokes (ICU's root order), in the
//   Traditional Chinese stroke order by their count of strokes;
// - equality is the order's without the hyphens' and apostrophes' pass: case does not count,
//   accents, hyphens and apostrophes do.
// Made with ICU's root collation (General) or its zh-Hant stroke collation at the secondary
// strength, so a server with ICU (Debian's PostgreSQL) gives the very same order whatever its
// own locale.
#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>

namespace tarvel::db::sql {

enum class SortOrder {
  General,                   ///< Jet's General order (every Western database)
  TraditionalChineseStroke,  ///< Traditional Chinese by stroke count
};

/// The characters the first pass of the order passes over.
inline constexpr char16_t kPassedOver[] = u"'-";

/// The ICU locale of an order's collation at the secondary strength ("und-u-ks-level2"): the
/// server's collation of that order is made with it.
const char* IcuLocale(SortOrder order);

/// SQLite's collation of an order in the program's connections: "JETGENERAL" or "JETSTROKE"
/// (CompareJet), or with `total` "JETGENERAL_TOTAL" or "JETSTROKE_TOTAL" (CompareJetTotal).
const char* SqliteCollation(SortOrder order, bool total = false);

/// The server's collation of an order, nondeterministic as the order's equality is: "jet_general"
/// or "jet_stroke" (made by the program's schemas with IcuLocale).
const char* PgCollation(SortOrder order);

/// Negative, zero or positive as `a` sorts before, with or after `b` in `order`; zero only for
/// texts equal in the order (equal but for case).
int CompareJet(SortOrder order, QStringView a, QStringView b);

/// A key that two texts share exactly when CompareJet finds them equal (for lookups by hash).
QByteArray JetEqualityKey(SortOrder order, QStringView text);

/// The same, with texts equal in the order told apart by their characters' codes (uppercase
/// first): the order of ORDER BY, the same on every engine however it sorts.
int CompareJetTotal(SortOrder order, QStringView a, QStringView b);

/// CompareJet, or with `total` CompareJetTotal, of two UTF-8 texts (as SQLite hands them to a
/// collation): codes in ASCII are compared as they are, without being widened first.
int CompareJetUtf8(SortOrder order, bool total, std::string_view a, std::string_view b);

}  // namespace tarvel::db::sql
