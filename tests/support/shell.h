#pragma once

#include "platform/registry/shellobject.h"
#include "platform/textbridge.h"
#include "platform/ui/shell.h"
#include "runtime/seam.h"

#include <memory>
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

// The shell object in Qt's text, for tests that write their names as QStrings.
class Registry {
public:
    void RegWrite(const QString& name, const QString& text) {
        shell_->RegWrite(platform::toBytes(name), platform::toBytes(text));
    }
    QString RegRead(const QString& name) {
        return platform::fromBytes(shell_->RegRead(platform::toBytes(name)));
    }
    void RegDelete(const QString& name) { shell_->RegDelete(platform::toBytes(name)); }

private:
    std::unique_ptr<platform::ShellObject> shell_ = platform::CreateObject("WScript.Shell");
};

} // namespace testing
