// number_text: see number_text.h.
#include "common/number_text.h"

#include <cmath>

namespace va {

double ParseLeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  double value = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    value = value * 10 + (text[i] - '0');
    ++i;
  }
  if (i < text.size() && text[i] == '.') {
    ++i;
    double scale = 0.1;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
      value += (text[i] - '0') * scale;
      scale /= 10;
      ++i;
    }
  }
  return negative ? -value : value;
}

int32_t ParseLeadingInteger(std::string_view text) {
  double value = std::round(ParseLeadingNumber(text));
  if (!(value >= -2147483648.0)) return INT32_MIN;  // also catches NaN
  if (value > 2147483647.0) return INT32_MAX;
  return static_cast<int32_t>(value);
}

}  // namespace va
