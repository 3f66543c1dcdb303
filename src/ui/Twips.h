#pragma once

#include <QRect>
#include <QtMath>

namespace rinvo {

/// The layout's unit: 1/1440 inch.
inline constexpr int TwipsPerInch = 1440;

/// Converts twips to pixels at the screen's logical DPI (96 DPI: 15 twips make one pixel).
inline int twipsToPixels(int twips, qreal logicalDpi)
{
    return qRound(twips * logicalDpi / TwipsPerInch);
}

/// Converts a rectangle given in twips to pixels.
inline QRect twipsToPixels(int left, int top, int width, int height, qreal logicalDpi)
{
    return { twipsToPixels(left, logicalDpi), twipsToPixels(top, logicalDpi),
        twipsToPixels(width, logicalDpi), twipsToPixels(height, logicalDpi) };
}

} // namespace rinvo
