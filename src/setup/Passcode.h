#pragma once
// The bodymaker's keypad passcode (K2510 "W1036"): read as the default, ask, write the answer.

#include "TextInput.h"
#include "RSComm.h"

namespace talvern::setup {

inline constexpr const char* kPasscodeAddress = "W1036";

void ChangeSetupPasscode(link::RSComm& link, TextInput& input);

} // namespace talvern::setup
