#pragma once

#include <functional>
#include <string>

namespace platform {

// Runs an event handler; an error that escapes it takes the untrapped-error path:
// "Run-time error 'N':" in a box titled with the application title, then the program ends.
void runHandler(const std::function<void()>& handler);

// The text of that box for an error escaping a handler.
std::string untrappedErrorText(int number, const std::string& description);

} // namespace platform
