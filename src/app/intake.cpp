#include "app/frmzintra.h"
#include "app/intakerule.h"
#include "platform/files/longpath.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/text.h"

// Runs during loading: every step from the long-path call on that fails is skipped without a
// word, and loading goes on.
void frmzintra::takeCommandLine(const QString& argumentText) {
    using namespace platform;

    std::uint32_t cutLength = static_cast<std::uint32_t>(InStrRev(argumentText, u'/'));
    std::string buffer(MAX_PATH, '\0');
    QString value;

    const ResumeNext step;
    step([&] { cutLength = GetLongPathNameA(toAnsi(argumentText), buffer, MAX_PATH); });
    step([&] { value = intake::cutBuffer(buffer, cutLength); });
    step([&] {
        if (value.isEmpty())
            value = intake::withoutEnds(argumentText);
    });
    step([&] { setText(txtinput, value); });
    step([&] { selectdest(); });
}
