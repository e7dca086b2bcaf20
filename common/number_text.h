// number_text: reading numbers out of stored texts (registry values, edit fields).
// Portable core: no Windows headers.
#pragma once
#include <cstdint>
#include <string_view>

namespace va {

// Parses the leading decimal number of `text`: blanks are skipped, an optional sign,
// digits with at most one decimal point; parsing stops at the first character that
// cannot continue the number. Text without digits gives 0.
double ParseLeadingNumber(std::string_view text);

// The same, rounded to the nearest integer (halves away from zero) and held inside
// the 32-bit range, so that huge stored numbers never overflow.
int32_t ParseLeadingInteger(std::string_view text);

}  // namespace va
