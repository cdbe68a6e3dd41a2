// The demo generator's random numbers: splitmix64, so one seed gives the same database with every
// compiler and standard library (std:: distributions differ between implementations).
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <span>

namespace tarvel::demo {

class DemoRandom {
 public:
  explicit DemoRandom(std::uint64_t seed) : state_(seed) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }

  /// A whole number in [0, bound); 0 when bound <= 0. The modulo bias is below 2^-40 for the
  /// bounds used here, far under anything a demo could show.
  std::int64_t Below(std::int64_t bound) {
    return bound <= 0 ? 0 : static_cast<std::int64_t>(Next() % static_cast<std::uint64_t>(bound));
  }

  /// A whole number in [low, high].
  std::int64_t Between(std::int64_t low, std::int64_t high) { return low + Below(high - low + 1); }

  /// True with a probability of `percent` / 100.
  bool Chance(double percent) {
    return static_cast<double>(Next() >> 11) * 0x1.0p-53 * 100.0 < percent;
  }

  /// A real number in [0, 1).
  double Unit() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

  template <typename T>
  const T& Pick(std::span<const T> items) {
    return items[static_cast<size_t>(Below(static_cast<std::int64_t>(items.size())))];
  }
  const QString& Pick(const QStringList& items) { return items[Below(items.size())]; }

 private:
  std::uint64_t state_;
};

}  // namespace tarvel::demo
