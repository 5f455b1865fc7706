#pragma once
// The bodymaker's keypad passcode (K2510 "W1036"): read as the default, ask, write the answer.

#include "RSComm.h"
#include "TextInput.h"

#include <functional>

namespace talvern::setup {

inline constexpr const char* kPasscodeAddress = "W1036";

// k2510OnCable: the board check for the K2510 (false after the user's Cancel). It runs before
// the read and again before the write, as the cable may be moved while the question is open:
// W1036 of another board is not the passcode.
void ChangeSetupPasscode(link::RSComm& link, TextInput& input,
                         const std::function<bool()>& k2510OnCable);

} // namespace talvern::setup
