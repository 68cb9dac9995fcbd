#pragma once

// The windowing runtime the handlers call: event dispatch and the application's end.
namespace platform {

// Nothing to initialise on Linux; the call keeps its place in start-up.
void InitCommonControls();

// Runs the window thread's waiting events once, then returns.
void DoEvents();

// Held while a copy runs: the application does not end under it.
class CopyInProgress {
public:
    CopyInProgress();
    ~CopyInProgress();
    CopyInProgress(const CopyInProgress&) = delete;
    CopyInProgress& operator=(const CopyInProgress&) = delete;
};

} // namespace platform
