// ErrorBox.h -- a message the player must see when the program has no console to say it on.
#pragma once

#include <string>

namespace wordlark::platform::win32 {

// Shows `message` (UTF-8) in the system's error box and waits for the player to close it.
void showErrorBox(const std::string& message);

}  // namespace wordlark::platform::win32
