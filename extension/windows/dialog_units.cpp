// dialog_units: base units and dialog-unit conversion.
#include "extension/windows/dialog_units.h"

#include <cmath>
#include <cstdlib>

namespace va {

int HorizontalBaseUnit(int alphabetWidth) { return (alphabetWidth / 26 + 1) / 2; }

int DialogUnitsToPixels(int value, int baseUnit, int divisor) {
  if (divisor == 0) return 0;
  return static_cast<int>(std::lround(static_cast<double>(value) * baseUnit / divisor + 0.001));
}

int FontHeightForPoints(int points, int dotsPerInch) {
  // MulDiv rounds halves away from zero.
  const int64_t product = static_cast<int64_t>(points) * dotsPerInch;
  const int64_t magnitude = (std::llabs(product) + 36) / 72;
  return static_cast<int>(product < 0 ? magnitude : -magnitude);
}

}  // namespace va
