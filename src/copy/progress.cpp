#include "copy/progress.h"

#include "platform/files/paths.h"
#include "runtime/text.h"

#include <cmath>

namespace copyplan {

namespace {
constexpr std::int64_t LargeLength = std::int64_t{1} << 31;

// The default rounding mode rounds halves to even.
std::int32_t roundHalfEven(double value) {
    return static_cast<std::int32_t>(std::nearbyint(value));
}
} // namespace

std::int32_t estimatedBlocks(std::int64_t length) {
    return roundHalfEven(static_cast<double>(length) / BlockSize);
}

std::int32_t barStep(std::int64_t length) {
    if (length <= BlockSize || length >= LargeLength)
        return 0;
    return roundHalfEven(static_cast<double>(FullScale) / estimatedBlocks(length));
}

BarProgress::BarProgress(std::int64_t length) : length_(length), step_(barStep(length)) {}

std::int32_t BarProgress::afterBlock(std::int64_t bytesCopied) {
    if (length_ >= LargeLength)
        position_ = static_cast<std::int32_t>(FullScale * bytesCopied / length_);
    else
        position_ += step_;
    return position_;
}

std::string fileNamePart(const std::string& sourceText) {
    return sourceText.substr(platform::InStrRev(sourceText, platform::PathSeparator));
}

std::string destinationPath(const std::string& destinationText, const std::string& sourceText) {
    return destinationText + fileNamePart(sourceText);
}

} // namespace copyplan
