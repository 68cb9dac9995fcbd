#pragma once

#include "platform/runtime/seam.h"
#include "platform/ui/shell.h"

#include <QString>
#include <vector>

namespace testing {

// Records what the program hands to the desktop instead of opening it.
class RecordingShell final : public platform::ShellHost {
public:
    struct Call {
        QWidget* owner;
        QString operation, file, parameters;
        int showCommand;
    };
    std::vector<Call> calls;

    void execute(QWidget* owner, const QString& operation, const QString& file,
                 const QString& parameters, int showCommand) override {
        calls.push_back({owner, operation, file, parameters, showCommand});
    }

private:
    platform::StandIn<platform::ShellHost> standIn_{*this};
};

} // namespace testing
