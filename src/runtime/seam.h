#pragma once

#include <utility>

// Collaborators that tests replace (message boxes, dialogs, the desktop shell, the object
// factory, the raw file calls) follow one pattern: the platform reaches each through
// use<Interface>(real), and a test holds a StandIn<Interface> while its stand-in answers.
namespace platform {

template <typename Interface> inline Interface* standIn = nullptr;

template <typename Interface> Interface& use(Interface& real) {
    return standIn<Interface> ? *standIn<Interface> : real;
}

template <typename Interface> class StandIn {
public:
    explicit StandIn(Interface& replacement)
        : previous_(std::exchange(standIn<Interface>, &replacement)) {}
    ~StandIn() { standIn<Interface> = previous_; }
    StandIn(const StandIn&) = delete;
    StandIn& operator=(const StandIn&) = delete;

private:
    Interface* previous_;
};

} // namespace platform
