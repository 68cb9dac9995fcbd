#include "app/intakerule.h"

#include "platform/runtime/errors.h"
#include "platform/runtime/text.h"

#include <algorithm>

namespace intake {

QString cutBuffer(const std::string& buffer, std::uint32_t cutLength) {
    return platform::fromAnsi(buffer.substr(0, std::min<std::size_t>(cutLength, buffer.size())));
}

QString withoutEnds(const QString& argumentText) {
    if (argumentText.size() < 2)
        platform::Raise(platform::err::InvalidProcedureCall,
                        QStringLiteral("Invalid procedure call or argument"));
    return argumentText.mid(1, argumentText.size() - 2);
}

} // namespace intake
