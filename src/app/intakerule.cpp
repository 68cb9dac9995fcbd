#include "app/intakerule.h"

#include "runtime/errors.h"
#include "runtime/text.h"

#include <algorithm>

namespace intake {

std::string cutBuffer(const std::string& buffer, std::uint32_t cutLength) {
    return buffer.substr(0, std::min<std::size_t>(cutLength, buffer.size()));
}

std::string withoutEnds(const std::string& argumentText) {
    const std::size_t first = platform::utf8::firstCharacterLength(argumentText);
    if (first == argumentText.size())
        platform::Raise(platform::err::InvalidProcedureCall, "Invalid procedure call or argument");
    const std::size_t last = platform::utf8::lastCharacterLength(argumentText);
    return argumentText.substr(first,
                               argumentText.size() - std::min(first + last, argumentText.size()));
}

} // namespace intake
