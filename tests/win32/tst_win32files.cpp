// The file calls over real kernel32 handles, under Wine: what share mode 0, the temporary and
// the ANSI names promise.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "platform/files/files.h"
#include "platform/files/longpath.h"
#include "platform/win32/ansi.h"
#include "runtime/errors.h"

#include <doctest/doctest.h>
#include <filesystem>
#include <fstream>
#include <random>
#include <windows.h>

namespace fs = std::filesystem;
using namespace platform;

namespace {

struct TempDir {
    fs::path path;
    TempDir() {
        static std::random_device random;
        do
            path = fs::temp_directory_path() / ("zintra-" + std::to_string(random()));
        while (!fs::create_directory(path));
    }
    ~TempDir() { fs::remove_all(path); }
    // The UTF-8 text the core would give for a file in it.
    std::string operator/(const std::string& name) const {
        const std::u8string text =
            (path / fs::path(std::u8string(name.begin(), name.end()))).u8string();
        return {text.begin(), text.end()};
    }
};

void put(const std::string& utf8, const std::string& bytes) {
    std::ofstream(fs::path(std::u8string(utf8.begin(), utf8.end())), std::ios::binary) << bytes;
}

std::string bytesOf(const std::string& utf8) {
    std::ifstream in(fs::path(std::u8string(utf8.begin(), utf8.end())), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

HANDLE openSource(const std::string& path) {
    return CreateFileA(path, GENERIC_READ, 0, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL);
}

HANDLE openDestination(const std::string& path, HANDLE source) {
    return CreateFileA(path, GENERIC_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, source);
}

} // namespace

// Nobody else opens a file while a copy holds it: not a second copy from or to it.
TEST_CASE("share mode 0") {
    TempDir d;
    put(d / "a.txt", "source"), put(d / "b.txt", "old");
    UniqueHandle in(openSource(d / "a.txt"));
    REQUIRE(in.valid());
    UniqueHandle out(openDestination(d / "b.txt", in.get()),
                     UniqueHandle::OnDrop::DiscardIncomplete);
    REQUIRE(out.valid());
    CHECK(openSource(d / "a.txt") == INVALID_HANDLE_VALUE);
    CHECK_FALSE(std::ifstream(d.path / "a.txt"));
    CHECK(openSource(d / "b.txt") == INVALID_HANDLE_VALUE);
    CHECK(openDestination(d / "b.txt", INVALID_HANDLE_VALUE) == INVALID_HANDLE_VALUE);
    std::uint32_t n = 0;
    CHECK((WriteFile(out.get(), "new", 3, n) && n == 3));
    CHECK_FALSE(std::ifstream(d.path / "b.txt")); // held until it is replaced
    CHECK(out.close());
    CHECK(bytesOf(d / "b.txt") == "new");
    CHECK(std::distance(fs::directory_iterator(d.path), {}) == 2); // no temporary left
    CHECK((::GetFileAttributesW((d.path / "b.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN) == 0);
}

// A destination that is the source by another path is refused and left whole; a failed copy
// leaves the old destination byte for byte, and no temporary.
TEST_CASE("the old destination stays whole") {
    TempDir d;
    put(d / "a.txt", "source"), put(d / "b.txt", "old bytes");
    UniqueHandle in(openSource(d / "a.txt"));
    CHECK(openDestination(d / ".\\a.txt", in.get()) == INVALID_HANDLE_VALUE);
    {
        UniqueHandle out(openDestination(d / "b.txt", in.get()),
                         UniqueHandle::OnDrop::DiscardIncomplete);
        std::uint32_t n = 0;
        REQUIRE(WriteFile(out.get(), "half", 4, n));
    }
    CHECK(in.close());
    CHECK(bytesOf(d / "a.txt") == "source");
    CHECK(bytesOf(d / "b.txt") == "old bytes");
    CHECK(std::distance(fs::directory_iterator(d.path), {}) == 2);
}

// A name the ANSI code page cannot hold fails as not found: never its best-fit look-alike.
TEST_CASE("names outside the code page") {
    TempDir d;
    std::string ansi;
    REQUIRE_FALSE(win32::toAnsi("ł", ansi)); // the default code page, 1252
    CHECK((win32::toAnsi("é", ansi) && ansi == "\xe9" && win32::fromAnsi(ansi) == "é"));
    put(d / "l.txt", "decoy");
    std::string buffer(260, '\0');
    CHECK(openSource(d / "ł.txt") == INVALID_HANDLE_VALUE);
    CHECK_THROWS_AS(FileLen(d / "ł.txt"), RuntimeError);
    CHECK(GetLongPathNameA(d / "ł.txt", buffer, 260) == 0);
    UniqueHandle in(openSource(d / "l.txt"));
    CHECK(openDestination(d / "ł.txt", in.get()) == INVALID_HANDLE_VALUE);
    CHECK(in.close());
    CHECK(bytesOf(d / "l.txt") == "decoy");
}
