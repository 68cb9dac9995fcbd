#include "dialogs/browsepath.h"

#include "platform/runtime/text.h"

namespace dialogs {

BrowsedFolder normaliseBrowsedPath(const QString& buffer) {
    const QString path = platform::textBoxText(buffer);
    const QString root = QStringLiteral("/");
    if (path.isEmpty() || (path.size() == 1 && path != root))
        return {{}, true};
    return {platform::withSeparator(path), false};
}

QString invalidPathMessage() {
    return QStringLiteral("            Invalid Path. ") + u'\n' +
           QStringLiteral("Please select proper folder.");
}

} // namespace dialogs
