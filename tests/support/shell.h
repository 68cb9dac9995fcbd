#pragma once

#include "platform/textbridge.h"
#include "platform/ui/shell.h"
#include "runtime/seam.h"

#include <vector>

namespace testing {

// Records what the program hands to the desktop instead of opening it.
class RecordingShell final : public platform::ShellHost {
public:
    struct Call {
        QString operation, file;
    };
    std::vector<Call> calls;

    void execute(platform::HWND, const std::string& operation, const std::string& file,
                 const std::string&, int) override {
        calls.push_back({platform::fromBytes(operation), platform::fromBytes(file)});
    }

private:
    platform::StandIn<platform::ShellHost> standIn_{*this};
};

} // namespace testing
