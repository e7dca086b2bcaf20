// dialog_units: the arithmetic of dialog base units and the conversion of dialog
// units to pixels. Portable core.
#pragma once
#include <cstdint>

namespace va {

// The horizontal base unit from the pixel width of the 52 letters A-Z a-z.
int HorizontalBaseUnit(int alphabetWidth);

// A horizontal value (unit = horizontal base unit, divisor 4) or a vertical one
// (vertical base unit, divisor 8) in pixels, rounded to the nearest integer.
int DialogUnitsToPixels(int value, int baseUnit, int divisor);

// The font height for a point size at a resolution: -MulDiv(points, dpi, 72).
int FontHeightForPoints(int points, int dotsPerInch);

}  // namespace va
