#include "platform/process/process.h"
#include "update/update.h"

namespace update {

std::string versionText(int major, int minor, int revision) {
    return std::to_string(major) + '.' + std::to_string(minor) + '.' + std::to_string(revision);
}

std::string localVersion() {
    return versionText(platform::versionMajor(), platform::versionMinor(),
                       platform::versionRevision());
}

bool isNewer(const std::string& serverVersion, const std::string& localVersion) {
    return serverVersion > localVersion;
}

std::string versionFileUrl(const std::string& baseUrl) {
    return baseUrl + "/ver/zintra.ver";
}

std::string downloadUrl(const std::string& baseUrl) {
    return baseUrl + "/freewares/zintranv.zip";
}

} // namespace update
