#include "app/twips.h"

#include <cfenv>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace discstart {

int TwipsToPixels(double twips) {
    return int(std::floor(twips / TwipsPerPixel));
}

int PixelsToTwips(int pixels) {
    return pixels * TwipsPerPixel;
}

QRect TwipsRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

int CentredOffset(float screenSize, float windowSize) {
    const float difference = screenSize - windowSize;
    if (!std::isfinite(difference)) throw std::overflow_error("window placement out of range");
    // nearbyint rounds with the current mode, which is to-nearest-even unless someone changed it.
    const int previousMode = std::fegetround();
    std::fesetround(FE_TONEAREST);
    const double rounded = std::nearbyint(double(difference));
    std::fesetround(previousMode);
    if (rounded < double(std::numeric_limits<int>::min()) ||
        rounded > double(std::numeric_limits<int>::max()))
        throw std::overflow_error("window placement out of range");
    return int(rounded) / 2;
}

}  // namespace discstart
