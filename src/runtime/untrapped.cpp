#include "runtime/untrapped.h"

#include "platform/process/process.h"
#include "platform/ui/msgbox.h"
#include "runtime/errors.h"

#include <cstdio>
#include <cstdlib>
#include <new>

namespace platform {

namespace {
[[noreturn]] void endAfterUntrappedError(int number, const std::string& description) {
    MsgBox(untrappedErrorText(number, description), vbOKOnly, appTitle());
    std::fflush(nullptr);
    // The program ends here, from inside whatever loops are running: no loop may go on.
    std::_Exit(EXIT_FAILURE);
}
} // namespace

std::string untrappedErrorText(int number, const std::string& description) {
    return "Run-time error '" + std::to_string(number) + "':\n\n" + description;
}

void runHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const RuntimeError& e) {
        endAfterUntrappedError(e.number(), e.description());
    } catch (const std::bad_alloc&) {
        endAfterUntrappedError(err::OutOfMemory, "Out of memory");
    }
}

} // namespace platform
