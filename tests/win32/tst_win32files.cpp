// The file calls over real kernel32 handles, under Wine: what share mode 0, the temporary and
// the ANSI names promise.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "platform/files/files.h"
#include "platform/files/longpath.h"
#include "platform/win32/ansi.h"
#include "platform/win32/fileio.h"
#include "runtime/errors.h"
#include "runtime/seam.h"

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

// Fails the n-th call of one kind: a write cut short half-way, a delayed write error at flush
// or at a close that still closes, a lost rename.
struct FailingIo final : win32::FileIo {
    std::string call;
    int left;
    StandIn<win32::FileIo> standIn{*this};
    FailingIo(std::string c, int nth) : call(std::move(c)), left(nth) {}
    bool fail(const char* name) { return call == name && --left == 0; }
    int WriteFile(void* f, const void* b, unsigned long n, unsigned long* w) override {
        return fail("write") ? (FileIo::WriteFile(f, b, n / 2, w), 0)
                             : FileIo::WriteFile(f, b, n, w);
    }
    int FlushFileBuffers(void* f) override { return !fail("flush") && FileIo::FlushFileBuffers(f); }
    int CloseHandle(void* f) override { return FileIo::CloseHandle(f) && !fail("close"); }
    int MoveFileExA(const char* from, const char* to, unsigned long how) override {
        return !fail("move") && FileIo::MoveFileExA(from, to, how);
    }
};

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

// A failure at any step after the first block fails the copy: the old destination stays byte
// for byte, a new one is never made, and no temporary is left.
TEST_CASE("a late failure leaves the destination as it was") {
    for (const auto& [call, nth] : {std::pair("write", 2), {"flush", 1}, {"close", 1}, {"move", 1}})
        for (const bool existed : {true, false}) {
            INFO((std::string(call) + (existed ? " over an old file" : " to a new name")));
            TempDir d;
            if (existed)
                put(d / "b.txt", "old bytes");
            UniqueHandle out(openDestination(d / "b.txt", INVALID_HANDLE_VALUE),
                             UniqueHandle::OnDrop::DiscardIncomplete);
            FailingIo io(call, nth);
            std::uint32_t n = 0;
            CHECK_FALSE((WriteFile(out.get(), "first", 5, n) &&
                         WriteFile(out.get(), "second", 6, n) && out.close()));
            out.discardIncomplete();
            CHECK(bytesOf(d / "b.txt") == std::string(existed ? "old bytes" : ""));
            CHECK(std::distance(fs::directory_iterator(d.path), {}) == existed);
        }
}
