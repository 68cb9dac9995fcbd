#include "platform/ui/untrapped.h"

#include "platform/runtime/errors.h"
#include "platform/runtime/process.h"
#include "platform/ui/msgbox.h"

#include <cstdio>
#include <cstdlib>
#include <new>

namespace platform {

namespace {
[[noreturn]] void endAfterUntrappedError(int number, const QString& description) {
    MsgBox(untrappedErrorText(number, description), vbOKOnly, appTitle());
    std::fflush(nullptr);
    // The program ends here, from inside whatever loops are running: no loop may go on.
    std::_Exit(EXIT_FAILURE);
}
} // namespace

QString untrappedErrorText(int number, const QString& description) {
    return QStringLiteral("Run-time error '%1':\n\n%2").arg(number).arg(description);
}

void runHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const RuntimeError& e) {
        endAfterUntrappedError(e.number(), e.description());
    } catch (const std::bad_alloc&) {
        endAfterUntrappedError(err::OutOfMemory, QStringLiteral("Out of memory"));
    }
}

} // namespace platform
