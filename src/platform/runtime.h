#pragma once

#include <QString>
#include <functional>
#include <stdexcept>
#include <string>

// The runtime services the windows rely on: errors, text rules, program and process facts.
namespace platform {

// A runtime error: what the program raises where a step fails and nothing traps it.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const QString& description);
    int number() const { return number_; }
    QString description() const { return QString::fromStdString(what()); }

private:
    int number_;
};

// Error numbers the program raises, with their usual descriptions.
namespace err {
inline constexpr int OutOfMemory = 7;
inline constexpr int FileNotFound = 53;
inline constexpr int CannotCreateObject = 429;
inline constexpr int InvalidProcedureCall = 5;
} // namespace err

[[noreturn]] void Raise(int number, const QString& description);

// Runs an event handler; an error that escapes it takes the untrapped-error path:
// "Run-time error 'N':" in a box titled with the application title, then the program ends.
void runHandler(const std::function<void()>& handler);

// The text of that box for an error escaping a handler.
QString untrappedErrorText(int number, const QString& description);

// A region in which a failing step is skipped and the next step runs.
class ResumeNext {
public:
    // Runs one step; returns false when it raised an error (and was skipped).
    bool operator()(const std::function<void()>& step) const;
};

// Trimming removes spaces (0x20) only, never tabs or line breaks.
QString Trim(const QString& text);

// A text set into a text box shows up to its first NUL.
QString textBoxText(const QString& text);

// A folder as the program writes it: followed by "/", except the root, which ends in one.
QString withSeparator(const QString& folder);

// Position (from 1) of the last occurrence of `needle`, 0 when absent.
int InStrRev(const QString& text, QChar needle);

// Text crossing a platform call travels in UTF-8. Bytes that are not UTF-8 (a file name
// written in another encoding) are carried as U+DC80..U+DCFF, one per byte, so that every
// name read from the system comes back byte for byte. A text that stands for no bytes of its
// own (a surrogate of nothing, escapes that would read back as another character) converts
// to nothing, which names no file.
std::string toAnsi(const QString& text);
QString fromAnsi(const std::string& bytes);

// The application title: the title of every message box given none of its own.
QString appTitle();

// Program information.
QString appPath(); // folder of the executable, without a trailing "/" unless it is "/"
QString exeName(); // the executable's file name
int versionMajor();
int versionMinor();
int versionRevision();

// Process information: the argument text of the command line (argv[1..] joined by single
// spaces, empty without arguments), recorded by main() before Qt sees the arguments.
void setCommandLine(int argc, const char* const* argv);
QString Command();
QString CurDir();

} // namespace platform
