// Twips, the unit of every position and size in the window and report designs.
#pragma once

namespace tarvel {

/// 1440 twips make an inch (20 twips a point).
inline constexpr int kTwipsPerInch = 1440;

}  // namespace tarvel
