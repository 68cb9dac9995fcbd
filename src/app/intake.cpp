#include "app/frmzintra.h"
#include "app/intakerule.h"
#include "platform/files/longpath.h"
#include "platform/files/paths.h"
#include "runtime/errors.h"
#include "runtime/text.h"

// Runs during loading: every step from the long-path call on that fails is skipped without a
// word, and loading goes on.
void frmzintra::takeCommandLine(const std::string& argumentText) {
    using namespace platform;

    std::uint32_t cutLength = static_cast<std::uint32_t>(InStrRev(argumentText, PathSeparator));
    std::string buffer(MAX_PATH, '\0');
    std::string value;

    const ResumeNext step;
    step([&] { cutLength = GetLongPathNameA(argumentText, buffer, MAX_PATH); });
    step([&] { value = intake::cutBuffer(buffer, cutLength); });
    step([&] {
        if (value.empty())
            value = intake::withoutEnds(argumentText);
    });
    step([&] { setText(txtinput, value); });
    step([&] { selectdest(); });
}
