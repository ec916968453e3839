#pragma once

#include <string>

namespace framequill {

// The message as the error box shows it: a "." is added when the message is not empty and its last
// character sorts after ".", so "... value" gets one and "... file." does not get a second.
std::string WithFinalFullStop(std::string message);

// The standard error box: caption "Framequill", the critical icon, one OK button. Modal; returns when
// the user has answered it.
void ShowStandardError(const std::string& message);

} // namespace framequill
