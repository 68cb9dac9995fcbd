#pragma once

#include <cstdint>
#include <string>

// How the command line's argument text becomes the source path.
namespace intake {

// The first `cutLength` bytes of the long-path buffer, or the whole buffer when it is shorter.
std::string cutBuffer(const std::string& buffer, std::uint32_t cutLength);

// The argument text without its first and last characters (UTF-8), whatever they are (for a
// quoted path: the quotes). Two characters give nothing; one raises "Invalid procedure call".
std::string withoutEnds(const std::string& argumentText);

} // namespace intake
