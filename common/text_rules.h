// text_rules: small text routines shared by both deliverables (upper-casing,
// splitting a command line, the rules of the numeric edit fields).
// Portable core: no Windows headers; the edit-control wiring lives with the dialogs.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace va {

// Upper-cases single-byte Windows-1252 text: a-z, and the accented lower-case
// letters (š, œ, à..þ except ÷, ÿ) to their upper-case forms; other bytes stay.
std::string UpperCaseText(std::string_view text);
char UpperCaseChar(char c);

// Splits a stored command line into the program and its arguments. A quoted
// program may contain blanks; the arguments come back trimmed of blanks.
void SplitCommandLine(std::string_view commandLine, std::string& program, std::string& arguments);

// True when the text is empty or holds only blanks.
bool IsBlankText(std::string_view text);

// Trims blanks (and NULs) from both ends.
std::string_view TrimBlanks(std::string_view text);

// The numeric edit filter: keeps digits and, with `allowDecimals`, the first "."
// only. Returns true when a character was dropped (the edit then beeps and puts
// `filtered` back).
bool FilterNumericText(std::string_view text, bool allowDecimals, std::string& filtered);

// The numeric edit clamp: when the number in `text` lies outside [minimum, maximum]
// returns true and the bound in decimal in `replacement`. A maximum below the
// minimum disables the rule.
bool ClampNumberText(std::string_view text, int32_t minimum, int32_t maximum, std::string& replacement);

}  // namespace va
