#pragma once

#include <QRect>

namespace discstart {

// The design is laid out in twips; Qt works in device-independent pixels.
inline constexpr int TwipsPerPixel = 15;

// The one conversion from twips to pixels. Floors, so that a control designed a few
// twips into its neighbour overlaps it by a pixel instead of leaving a gap.
int TwipsToPixels(double twips);
int PixelsToTwips(int pixels);
QRect TwipsRect(int left, int top, int width, int height);

// Where a window of `windowSize` twips starts so that it sits in the middle of a screen of
// `screenSize` twips: the difference rounded half to even, then halved toward zero.
// Throws std::overflow_error when the arithmetic leaves the 32-bit range or is not finite.
int CentredOffset(float screenSize, float windowSize);

}  // namespace discstart
