#include "dialogs/browsepath.h"

#include "platform/files/paths.h"
#include "runtime/text.h"

namespace dialogs {

BrowsedFolder normaliseBrowsedPath(const std::string& buffer) {
    const std::string path = platform::textBoxText(buffer);
    if (path.empty() || (platform::utf8::firstCharacterLength(path) == path.size() &&
                         !platform::IsRootFolder(path)))
        return {{}, true};
    return {platform::withSeparator(path), false};
}

std::string invalidPathMessage() {
    return "            Invalid Path. \nPlease select proper folder.";
}

} // namespace dialogs
