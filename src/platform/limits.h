#pragma once

#include "runtime/seam.h"

#include <chrono>

namespace platform {

// How long the program waits on others. Tests hold a StandIn<Limits> with shorter ones.
struct Limits {
    // For the registry's lock: while the registry does not change, and in all.
    std::chrono::milliseconds lockWait{std::chrono::seconds(5)};
    std::chrono::milliseconds lockWaitTotal{std::chrono::seconds(60)};
    // For an Internet exchange: to connect, without receiving any of the body (from the request
    // on, redirects and handshakes included), and in all.
    std::chrono::seconds connect{60};
    std::chrono::seconds stalled{30};
    std::chrono::seconds whole{120};
};

inline const Limits& limits() {
    static Limits defaults;
    return use<Limits>(defaults);
}

} // namespace platform
