#pragma once

#include <functional>
#include <stdexcept>
#include <string>

// Runtime errors: what the program raises where a step fails, and the one way to skip them.
namespace platform {

// A runtime error: an error number and its description.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const std::string& description);
    int number() const { return number_; }
    std::string description() const { return what(); }

private:
    int number_;
};

namespace err {
// The program's own error numbers, with their usual descriptions.
inline constexpr int InvalidProcedureCall = 5;
inline constexpr int OutOfMemory = 7;
inline constexpr int FileNotFound = 53;
inline constexpr int CannotCreateObject = 429;

// System error codes, as the registry and the machine-wide files report them.
inline constexpr int NotFound = -2147024894;     // 0x80070002
inline constexpr int AccessDenied = -2147024891; // 0x80070005
inline constexpr int Damaged = -2147023887;      // 0x800703F1, "registry database is corrupt"
inline constexpr int Failed = -2147467259;       // 0x80004005
} // namespace err

[[noreturn]] void Raise(int number, const std::string& description);
[[noreturn]] inline void Raise(int number, const char* description) {
    Raise(number, std::string(description));
}

// A region in which a failing step is skipped and the next step runs.
class ResumeNext {
public:
    // Runs one step; returns false when it raised an error (and was skipped).
    bool operator()(const std::function<void()>& step) const;
};

} // namespace platform
