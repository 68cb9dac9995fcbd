// The Windows platform calls for real under Wine: the registry of the test's prefix, WinINet
// against the loopback server the fixture starts, the thread's message queue, the dialogs' records.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "platform/inet/inet.h"
#include "platform/registry/shellobject.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/window.h"
#include "runtime/errors.h"

#include <cstdlib>
#include <doctest/doctest.h>
#include <fstream>
#include <functional>
#include <windows.h>
// Last: it includes windows.h.
#include "platform/win32/dialogs.h"

using namespace platform;

namespace {
// The error number a step raises; 0 when it raises none.
int raised(const std::function<void()>& step, std::string* text = nullptr) {
    try {
        step();
    } catch (const RuntimeError& e) {
        if (text)
            *text = e.description();
        return e.number();
    }
    return 0;
}

const std::string test = "HKCU\\Software\\ZintraTest\\";

// Answers in the user's place and keeps what the real dialog was asked.
struct ScriptedUser : win32::Dialogs {
    std::wstring filter, title, folder, chosen; // chosen: none is a cancel
    DWORD flags = 0;
    ::LPITEMIDLIST item = nullptr;
    BOOL openFile(OPENFILENAMEW& d) override {
        for (const wchar_t* pair = d.lpstrFilter; *pair; pair += wcslen(pair) + 1)
            filter += pair + std::wstring(L"|");
        title = d.lpstrTitle, folder = d.lpstrInitialDir, flags = d.Flags;
        chosen.copy(d.lpstrFile, d.nMaxFile - 1);
        d.nFileOffset = WORD(chosen.rfind(L'\\') + 1);
        return !chosen.empty();
    }
    ::LPITEMIDLIST browse(BROWSEINFOW& b) override { return title = b.lpszTitle, item; }
};
} // namespace

TEST_CASE("the shell object writes, reads and deletes keys and values") {
    CHECK(raised([] { CreateObject("Scripting.FileSystemObject"); }) == err::CannotCreateObject);
    const auto shell = CreateObject("wscript.SHELL");
    ResumeNext()([&] { shell->RegDelete(test + "Sub\\Deep\\"); }); // a previous run's leftovers

    shell->RegWrite(test + "Sub\\Deep\\Name", std::string("text\0tail", 9));
    shell->RegWrite(test + "Sub\\Deep\\", "default");
    CHECK(shell->RegRead(test + "sub\\DEEP\\name") == "text");
    CHECK(shell->RegRead(test + "Sub\\Deep\\") == "default");

    // Text the ANSI code page holds comes back as the same UTF-8; other text is never written
    // as a look-alike, nor found as one.
    REQUIRE(GetACP() == 1252);
    shell->RegWrite(test + "Sub\\Deep\\Zo\xc3\xab", "caf\xc3\xa9");
    CHECK(shell->RegRead(test + "Sub\\Deep\\Zo\xc3\xab") == "caf\xc3\xa9");
    shell->RegWrite(test + "Sub\\Deep\\O", "look-alike");
    CHECK(raised([&] { shell->RegWrite(test + "Sub\\Deep\\\xce\xa9", "x"); }) == 5);
    CHECK(raised([&] { shell->RegWrite(test + "Sub\\Deep\\x", "\xce\xa9"); }) == 5);
    CHECK(raised([&] { shell->RegWrite(test + "Sub\\Deep\\x", "\xff"); }) == 5);
    CHECK(raised([&] { shell->RegRead(test + "Sub\\Deep\\\xce\xa9"); }) == err::NotFound);

    std::string text;
    CHECK(raised([&] { shell->RegRead(test + "None\\"); }, &text) == err::NotFound);
    CHECK(text == "Unable to open registry key \"" + test + "None\\\" for reading.");
    CHECK(raised([&] { shell->RegRead("HKEY_USERS\\x\\"); }) == err::NotFound);
    CHECK(raised([&] { shell->RegWrite(test + "a\\\\b", "x"); }) == err::NotFound);
    CHECK(raised([&] { shell->RegDelete(test + "Sub\\Deep\\None"); }, &text) == err::NotFound);
    CHECK(text == "Unable to remove registry key \"" + test + "Sub\\Deep\\None\".");

    CHECK(raised([&] { shell->RegDelete(test + "Sub\\"); }) == err::AccessDenied);
    CHECK(raised([&] { shell->RegDelete("HKCU\\"); }) == err::AccessDenied);
    shell->RegDelete(test + "Sub\\Deep\\Name");
    CHECK(raised([&] { shell->RegRead(test + "Sub\\Deep\\Name"); }) == err::NotFound);
    shell->RegDelete(test + "Sub\\Deep\\");
    shell->RegDelete(test + "Sub\\");
    CHECK(raised([&] { shell->RegRead(test + "Sub\\Deep\\"); }) == err::NotFound);
}

TEST_CASE("the verb's machine key shows in HKEY_CLASSES_ROOT") {
    const auto shell = CreateObject("WScript.Shell");
    shell->RegWrite("HKLM\\Software\\CLASSES\\*\\shell\\ZintraTest\\", "Copy with ZINTRA");
    CHECK(shell->RegRead("HKEY_CLASSES_ROOT\\*\\shell\\ZintraTest\\") == "Copy with ZINTRA");
    shell->RegDelete("HKEY_LOCAL_MACHINE\\Software\\CLASSES\\*\\shell\\ZintraTest\\");
    CHECK(raised([&] { shell->RegRead("HKCR\\*\\shell\\ZintraTest\\"); }) == err::NotFound);
}

TEST_CASE("the update check reads a 2xx body only, over http and https alone") {
    std::ifstream portFile(std::getenv("ZINTRA_TEST_PORT_FILE"));
    std::string port;
    REQUIRE(std::getline(portFile, port));
    const std::string server = "http://127.0.0.1:" + port;
    const HINTERNET session =
        InternetOpenA("VB Project", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    REQUIRE(session != 0);
    // The body read in pieces of `piece` bytes until a read returns none.
    const auto body = [&](const std::string& path, std::uint32_t piece) {
        const HINTERNET file = InternetOpenUrlA(session, server + path, nullptr, 0, 0, 0);
        REQUIRE(file != 0);
        std::string received, buffer(piece, '#');
        for (std::uint32_t got = piece; got > 0;) {
            REQUIRE(InternetReadFile(file, buffer.data(), piece, got));
            received += buffer.substr(0, got);
            buffer.assign(piece, '#');
        }
        CHECK(buffer == std::string(piece, '#')); // the last read placed nothing
        CHECK(InternetCloseHandle(file));
        return received;
    };
    CHECK(body("/version.txt", 3) == "1.2.3\r\n");
    CHECK(body("/hop", 100) == "1.2.3\r\n");
    CHECK(body("/missing", 4).empty());
    CHECK(InternetOpenUrlA(session, server + "/ftp", nullptr, 0, 0, 0) == 0);
    CHECK(InternetOpenUrlA(session, server + "/loop", nullptr, 0, 0, 0) == 0);
    CHECK(InternetCloseHandle(session));
}

TEST_CASE("DoEvents runs the waiting messages and leaves WM_QUIT for the application's loop") {
    REQUIRE(PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0));
    PostQuitMessage(7);
    DoEvents();
    MSG message;
    REQUIRE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    CHECK(message.message == WM_QUIT);
    CHECK(message.wParam == 7);
    CHECK_FALSE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
}

TEST_CASE("the open-file dialog and the folder browser pass on what a user chose") {
    ScriptedUser user;
    const StandIn<win32::Dialogs> standIn(user);
    const std::string untouched(MAX_PATH, '#');
    platform::OPENFILENAME ofn;
    ofn.lpstrFilter = std::string("All Files (*.*)\0*.*\0", 20);
    ofn.lpstrFile = ofn.lpstrFileTitle = untouched;
    ofn.nMaxFile = ofn.nMaxFileTitle = MAX_PATH - 1;
    ofn.lpstrInitialDir = "C:\\d\xc3\xa9j\xc3\xa0";
    ofn.lpstrTitle = "Choisir \xc3\xa9";
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    CHECK(platform::GetOpenFileNameA(ofn) == 0);
    CHECK(user.filter == L"All Files (*.*)|*.*|");
    CHECK(user.title == L"Choisir \u00e9");
    CHECK(user.folder == L"C:\\d\u00e9j\u00e0");
    CHECK(user.flags == (ofn.Flags | OFN_EXPLORER | OFN_NOCHANGEDIR));

    user.chosen = L"C:\\dir\\\u00e9.txt";
    CHECK(platform::GetOpenFileNameA(ofn) == 1);
    CHECK(ofn.lpstrFile.c_str() == std::string("C:\\dir\\\xc3\xa9.txt"));
    CHECK(ofn.lpstrFileTitle.c_str() == std::string("\xc3\xa9.txt"));
    // 12 UTF-16 units, 13 UTF-8 bytes: the ANSI caller's buffer holds 12 and its NUL.
    ofn.nMaxFile = 13;
    ofn.lpstrFile = untouched;
    CHECK(platform::GetOpenFileNameA(ofn) == 0);
    CHECK(ofn.lpstrFile == untouched);

    // A folder gives its path; Control Panel has none, so the caller says "Invalid Path.".
    const BROWSEINFO bi{nullptr, "Select the destination folder."};
    CHECK_FALSE(platform::SHBrowseForFolder(bi));
    CHECK(user.title == L"Select the destination folder.");
    std::string buffer = untouched + "##";
    REQUIRE(SHGetSpecialFolderLocation(nullptr, CSIDL_CONTROLS, &user.item) == S_OK);
    const auto panel = platform::SHBrowseForFolder(bi);
    REQUIRE(panel);
    CHECK_FALSE(platform::SHGetPathFromIDList(panel.get(), buffer));
    CHECK(buffer == untouched + "##");
    REQUIRE((user.item = ILCreateFromPathW(L"C:\\windows")));
    CHECK(platform::SHGetPathFromIDList(platform::SHBrowseForFolder(bi).get(), buffer));
    CHECK(buffer.c_str() == std::string("C:\\windows"));
}
