#pragma once

#include "platform/runtime/seam.h"
#include "platform/ui/shell.h"

#include <vector>

namespace testing {

// Records what the program hands to the desktop instead of opening it.
class RecordingShell final : public platform::ShellHost {
public:
    struct Call {
        QString operation, file;
    };
    std::vector<Call> calls;

    void execute(QWidget*, const QString& operation, const QString& file, const QString&,
                 int) override {
        calls.push_back({operation, file});
    }

private:
    platform::StandIn<platform::ShellHost> standIn_{*this};
};

} // namespace testing
