#pragma once

#include "runtime/errors.h"

#include <exception>
#include <functional>

namespace platform {

// Tries every step, each skipped as ResumeNext skips it when it fails, and raises the first
// failure once they have all had their turn.
class FirstFailure {
public:
    // Runs one step; returns false when it failed (and was skipped).
    bool operator()(const std::function<void()>& step) {
        return ResumeNext()([&] {
            try {
                step();
            } catch (...) {
                if (!first_)
                    first_ = std::current_exception();
                throw;
            }
        });
    }
    // Raises the first failure, if a step failed.
    void raise() const {
        if (first_)
            std::rethrow_exception(first_);
    }

private:
    std::exception_ptr first_;
};

} // namespace platform
