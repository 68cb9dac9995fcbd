#include "runtime/errors.h"

#include <new>

namespace platform {

RuntimeError::RuntimeError(int number, const std::string& description)
    : std::runtime_error(description), number_(number) {}

void Raise(int number, const std::string& description) {
    throw RuntimeError(number, description);
}

bool ResumeNext::operator()(const std::function<void()>& step) const {
    try {
        step();
        return true;
    } catch (const RuntimeError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace platform
