// The one conversion between twips (the unit of the window designs) and screen pixels.
#pragma once

class QScreen;

namespace tarvel {

/// Pixels for `twips` on `screen` (the primary screen when null; 96 dots per inch when there is
/// no screen at all), rounded to the nearest pixel. Pixels are Qt's device-independent pixels,
/// the unit of widget geometry, so the screen's logical resolution is the one that counts.
/// The same resolution serves both directions: the screen's logical dots per inch (Qt's mean of
/// the horizontal and vertical figures, which are equal on every desktop the program runs on).
/// Every window converts its design's twips through this function.
int TwipsToPixels(int twips, const QScreen* screen);

/// Twips for `pixels` on `screen`, the inverse of TwipsToPixels (rounded to the nearest twip).
int PixelsToTwips(int pixels, const QScreen* screen);

}  // namespace tarvel
