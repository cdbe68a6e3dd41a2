// What the fuzz targets share: reading the input as text, and failing on a broken invariant.
#pragma once

#include <QString>
#include <cstdio>
#include <cstdlib>

namespace tarvel::fuzz {

/// An invariant that must hold: otherwise the input is reported as a crash (abort), with what
/// was expected and the texts involved.
inline void Check(bool holds, const char* what, const QString& a = {}, const QString& b = {}) {
  if (holds) return;
  std::fprintf(stderr, "invariant broken: %s\n  [%s]\n  [%s]\n", what, a.toUtf8().constData(),
               b.toUtf8().constData());
  std::abort();
}

}  // namespace tarvel::fuzz
