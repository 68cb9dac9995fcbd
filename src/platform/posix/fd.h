#pragma once

#include <cerrno>
#include <unistd.h>
#include <utility>

// The kernel's file descriptors, owned in one way throughout, and its calls retried in one way.
namespace platform::posix {

// Repeats `call` while it fails with EINTR (a signal came before it did anything); its result.
template <typename Call> auto retryOnInterrupt(Call call) {
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

// Owns a descriptor, or none (-1). Where the close's result counts, close() says whether it
// succeeded; dropping one unclosed is for a descriptor whose close can report nothing that
// matters (read-only, or on a way out that has already failed).
class Fd {
public:
    Fd() = default;
    explicit Fd(int fd) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(other.release()) {}
    Fd& operator=(Fd&& other) noexcept {
        drop();
        fd_ = other.release();
        return *this;
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() { drop(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    // True when there was nothing to close or the close succeeded; errno says why not.
    bool close() { return !valid() || ::close(release()) == 0; }

private:
    void drop() {
        if (valid())
            static_cast<void>(::close(release()));
    }

    int fd_ = -1;
};

} // namespace platform::posix
