#pragma once

#include <cstdint>
#include <string>

// The arithmetic of a copy: block size, the progress bar and the destination's name.
namespace copyplan {

inline constexpr std::uint32_t BlockSize = 4194304; // 4 MiB, every read asks for this much
inline constexpr std::int32_t FullScale = 5000;     // the bar's full width in twips

// length ÷ BlockSize, rounded to nearest with halves to even.
std::int32_t estimatedBlocks(std::int64_t length);

// 0 unless the length exceeds one block; then FullScale ÷ estimate, rounded the same way.
std::int32_t barStep(std::int64_t length);

// Where the bar stands after each block. Below 2^31 bytes it grows by the step per block and is
// never clamped (a two-block copy of 5 MiB reaches twice the full scale). Lengths from 2^31 on
// do not fit the step arithmetic; there the bar shows the share of bytes copied.
class BarProgress {
public:
    explicit BarProgress(std::int64_t length);
    std::int32_t position() const { return position_; }
    std::int32_t afterBlock(std::int64_t bytesCopied);

private:
    std::int64_t length_;
    std::int32_t step_;
    std::int32_t position_ = 0;
};

// Everything after the last separator of the source text; the whole text when it has none.
std::string fileNamePart(const std::string& sourceText);

// The destination folder's text followed directly by the file name part: no separator is
// inserted, so a folder is expected to end in one.
std::string destinationPath(const std::string& destinationText, const std::string& sourceText);

} // namespace copyplan
