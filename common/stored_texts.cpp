// stored_texts: see stored_texts.h.
#include "common/stored_texts.h"

namespace va {
namespace {

constexpr ScrambledText kProductLine("for Vexlo Aero V++");
constexpr ScrambledText kCaption("VA Extensions");
constexpr ScrambledText kCreditLine1("Made by the VA Extensions team");
constexpr ScrambledText kCreditLine2("Free software for Vexlo Aero users");
constexpr ScrambledText kWizardLabel1("VA Wizard");
constexpr ScrambledText kWizardLabel2("version 0.56a");

const std::span<const unsigned char> kExtensionTexts[] = {
    kProductLine.bytes, kCaption.bytes, kCreditLine1.bytes, kCreditLine2.bytes};
const std::span<const unsigned char> kWizardTexts[] = {kWizardLabel1.bytes, kWizardLabel2.bytes};

}  // namespace

bool DecodeStoredText(StoredTextTable table, int number, char* buffer, size_t length) {
  if (number < 1 || static_cast<size_t>(number) > table.size() || buffer == nullptr) return false;
  std::span<const unsigned char> stored = table[number - 1];
  for (size_t i = 0; i < length && i < stored.size(); ++i) {
    buffer[i] = static_cast<char>(stored[i] ^ kStoredTextKey);
    if (buffer[i] == '\0') return true;
  }
  return false;
}

StoredTextTable ExtensionStoredTexts() { return kExtensionTexts; }
StoredTextTable WizardStoredTexts() { return kWizardTexts; }

}  // namespace va
