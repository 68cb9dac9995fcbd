#pragma once

namespace platform::win32 {

// How many copies run now (CopyInProgress): the application does not end under one.
int copiesRunning();

} // namespace platform::win32
