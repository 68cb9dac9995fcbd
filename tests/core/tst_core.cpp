// The core's handlers and rules on fake controls and a fake platform: no toolkit, no display.
// Files are real: a copy copies bytes.
#define DOCTEST_CONFIG_IMPLEMENT_WITH_MAIN
#include "about/frmabout.h"
#include "app/frmzintra.h"
#include "app/intakerule.h"
#include "config.h"
#include "copy/progress.h"
#include "fakes.h"
#include "platform/files/longpath.h"
#include "platform/files/paths.h"
#include "platform/process/process.h"
#include "runtime/errors.h"
#include "shellverb/verb.h"
#include "update/update.h"

#include <doctest/doctest.h>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

const std::string sep(1, platform::PathSeparator);
#ifdef _WIN32
const std::string root = "C:\\";
#else
const std::string root = "/";
#endif

// A file named by UTF-8 text, whatever the platform's narrow encoding.
std::filesystem::path named(const std::string& utf8) {
    return std::u8string(utf8.begin(), utf8.end());
}

// The main window on fake controls, with the platform's script and log afresh.
struct Main {
    fake::Control Me{"Me"}, about{"frmabout"}, shpin{"shpin"}, shpout{"shpout"}, in, out, mark;
    frmzintra form{{Me, in, out, shpin, shpout, mark, about}};
    Main() { fake::script = {}; }
};

struct TempDir {
    std::string path;
    TempDir() {
        static std::random_device random;
        do
            path = (std::filesystem::temp_directory_path() / ("zintra-" + std::to_string(random())))
                       .string();
        while (!std::filesystem::create_directory(path));
    }
    ~TempDir() { std::filesystem::remove_all(path); }
};

} // namespace

// The bar grows once per block by a step from the estimated block count, both rounded with
// halves to even, never clamped, and is full before the box. Whatever the outcome, the window
// is put back.
TEST_CASE("a copy") {
    constexpr std::int64_t MiB = 1 << 20;
    // The length, then the bar's width after each block.
    const std::vector<std::int64_t> rows[] = {{0},
                                              {4 * MiB, 0},
                                              {4 * MiB + 1, 5000, 10000},
                                              {10 * MiB, 2500, 5000, 7500},
                                              {14 * MiB, 1250, 2500, 3750, 5000},
                                              {12 * MiB, 1667, 3334, 5001}};
    const std::string copying = "Me caption File Copy in Progress; shpout shown; shpin shown; Me "
                                "refresh; ",
                      ended = "; shpin hidden; shpout hidden; shpin width 0; Me caption ZINTRA "
                              "Free Version";
    for (const auto& row : rows) {
        Main m;
        TempDir from, to;
        std::string bytes(static_cast<std::size_t>(row[0]), '\0'), steps;
        for (std::size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = char(i * 131 % 251);
        REQUIRE(std::ofstream(m.in.text = from.path + sep + "a.bin", std::ios::binary)
                    .write(bytes.data(), row[0]));
        m.out.text = to.path + sep;
        for (std::size_t block = 1; block < row.size(); ++block)
            steps += "events; shpin width " + std::to_string(row[block]) + "; ";
        m.form.cmdcopy_Click();
        CHECK(fake::script.log ==
              copying + "shpin paced; " + steps +
                  "shpin width 5000; shpin unpaced; box File Successfully Copied" + ended);
        std::ifstream copy(to.path + sep + "a.bin", std::ios::binary);
        CHECK(std::string(std::istreambuf_iterator<char>(copy), {}) == bytes);
    }
    const std::string none = "box Please select a file & its destination.",
                      cannot[][3] = {{"", "/", none},
                                     {"/srv/a", "", none},
                                     {"/nonexistent", "/", copying + "box Error in Copying file"}};
    for (const auto& [source, destination, shown] : cannot) {
        Main m;
        m.in.text = source, m.out.text = destination;
        m.form.cmdcopy_Click();
        CHECK(fake::script.log == shown + ended);
    }
    // Past 2^31 bytes the bar shows the share copied, computed without overflow.
    const std::int64_t g2 = std::int64_t{1} << 31, block = copyplan::BlockSize;
    const std::int64_t large[][3] = {
        {g2 - 1, block, 10}, {g2, block, 9}, {g2 + 1, g2 + 1, 5000}, {g2 * 8, block, 1}};
    for (const auto& [length, copied, position] : large)
        CHECK(copyplan::BarProgress(length).afterBlock(copied) == position);
}

// The command line's text becomes the source box while the window loads; any argument then
// opens the folder browser. Nothing escapes loading.
TEST_CASE("intake") {
    TempDir dir;
    const std::string& d = dir.path;
    REQUIRE(std::ofstream(named(d + sep + "café")));
#ifndef _WIN32
    REQUIRE(std::ofstream(d + "/caf\xe9"));
#endif
    const std::tuple<std::string, bool, std::string> rows[] = {
        {"", false, "||"},
        {'"' + d + sep + "My é.txt\"", false, d + sep + "My é.txt|" + d + sep + '|'},
        {d + sep + "café", false, d + sep + "café|" + d + sep + '|'},
#ifndef _WIN32
        // Not UTF-8 (Linux names are bytes): byte for byte.
        {d + "/caf\xe9", false, d + "/caf\xe9|" + d + "/|"},
#endif
        {"x", true, "||"}}; // both steps raise: skipped without a word
    for (const auto& [text, browserRaises, shown] : rows) {
        Main m;
        fake::script.folder = d, fake::script.browserRaises = browserRaises;
#ifdef _WIN32
        // Windows reads the process's own command line: an argument takes the steps that
        // loading takes with one.
        if (!text.empty()) {
            m.form.takeCommandLine(text);
            m.form.probeContextMenu(true);
        } else {
            m.form.Form_Load();
        }
#else
        const char* argv[] = {"zintra", text.c_str()};
        platform::setCommandLine(text.empty() ? 1 : 2, argv);
        m.form.Form_Load();
#endif
        CHECK(m.in.text + '|' + m.out.text + '|' + fake::script.log == shown);
    }
    // The argument text without its first and last characters, whatever their length.
    CHECK(intake::cutBuffer(std::string("/a\0\0", 4), 2) + intake::cutBuffer("/b", 5) == "/a/b");
    const std::pair<std::string, std::string> texts[] = {
        {"\"/a b\"", "/a b"}, {"«/é»", "/é"}, {"😀x😀", "x"}, {"\xe9x\xe9", "x"}, {"a€", ""}};
    for (const auto& [text, kept] : texts)
        CHECK(intake::withoutEnds(text) == kept);
    for (const char* one : {"x", "é", "€", "\xe9"})
        CHECK_THROWS_AS(intake::withoutEnds(one), platform::RuntimeError);
    // The long-path call, with a 7-byte buffer: the result, and what the buffer holds after.
    const std::string untouched(7, 'x');
#ifdef _WIN32
    const std::string fits = "C:\\.\\.", none = "C:\\no\\such";
#else
    const std::string fits = "/tmp/.", none = "/no/such";
#endif
    const std::tuple<std::string, std::uint32_t, std::string> paths[] = {
        {fits, 6, fits + '\0'},     // unchanged, not made canonical, just fits
        {fits + '.', 8, untouched}, // too long: the size it needs
        {none, 0, untouched},
        {fits.substr(0, 4) + '\0' + "x", 0, untouched}};
    for (const auto& [path, result, after] : paths) {
        std::string buffer = untouched;
        CHECK(platform::GetLongPathNameA(path, buffer, 7) == result);
        CHECK(buffer == after);
    }
}

// A chosen folder gets a separator, a root stays as it is; no path, or one character that is
// not a root, is no usable folder.
TEST_CASE("the pictures: a file, then its folder") {
    using Answer = std::optional<std::string>;
    const std::string invalid = "box             Invalid Path. \nPlease select proper folder.";
    const std::tuple<bool, Answer, Answer, std::string> rows[] = {
        {true, "/srv/a", "/srv/b", "/srv/a|/srv/b" + sep + '|'},
        {true, {}, "/srv/b", "/kept|/previous/|"},
        // Leading spaces go; spaces that end a file's name are part of it.
        {true, "  /srv/a  ", {}, "/srv/a  ||"},
        {false, {}, root, "/kept|" + root + '|'},
        {false, {}, "", "/kept||" + invalid},
        {false, {}, "é", "/kept||" + invalid}};
    for (const auto& [picture1, file, folder, outcome] : rows) {
        Main m;
        m.in.text = "/kept", m.out.text = "/previous/";
        fake::script.file = file, fake::script.folder = folder;
        picture1 ? m.form.Image1_Click() : m.form.Image2_Click();
        CHECK(m.in.text + '|' + m.out.text + '|' + fake::script.log == outcome);
    }
}

// The mark shows what the registry holds once the change is tried, and at loading.
TEST_CASE("Context Menu") {
    using Registry = std::map<std::string, std::string>;
    const Registry off, verb{{shellverb::verbKey(), "Copy with Zintra"}},
        on{*verb.begin(), {shellverb::commandKey(), "/opt/z/" + platform::exeName() + " %1"}};
    const std::tuple<Registry, bool, bool, Registry> rows[] = {
        {off, false, false, on}, {on, true, false, off}, {verb, true, false, off},
        {off, false, true, off}, {on, true, true, on},   {on, false, true, on}};
    for (const auto& [before, checked, readOnly, after] : rows) {
        Main m;
        m.form.apppath = "/opt/z/", m.mark.checked = checked;
        fake::script.registry = before, fake::script.registryReadOnly = readOnly;
        m.form.mnucont_Click();
        CHECK(fake::script.registry == after);
        CHECK(m.mark.checked == !after.empty());
    }
    Main m;
    fake::script.registry = verb, fake::script.noShellObject = true;
    CHECK_NOTHROW(m.form.probeContextMenu(true));
    CHECK_THROWS_AS(m.form.probeContextMenu(false), platform::RuntimeError);
    fake::script.noShellObject = false;
    m.form.probeContextMenu(false);
    CHECK(m.mark.checked);
}

// The version file is trimmed of spaces, not of line breaks, and only 25 bytes of it count;
// newer is plain text order.
TEST_CASE("Check for update") {
    const std::string local = update::localVersion(), latest = "You have the latest version.",
                      none = "Could not retrieve information from the server. Make sure you "
                             "are online or try again later.",
                      offer = " is available. Do you want to download it now. [Update information]";
    const std::tuple<std::optional<std::string>, bool, std::string> rows[] = {
        {{}, true, none},
        {local, true, latest},
        {local.substr(0, 3), true, latest},
        {' ' + local + "\r\n  ", true,
         "Version " + local + "\r\n" + offer +
             "; open " ZINTRA_UPDATE_BASE_URL "/freewares/zintranv.zip"},
        {"9.0.0-then-a-tail-never-read", false, "Version 9.0.0-then-a-tail-never-r" + offer}};
    for (const auto& [body, yes, shown] : rows) {
        Main m;
        fake::script.body = body, fake::script.yes = yes;
        m.form.mnuupdate_Click();
        CHECK(fake::script.log == "Me pointer 11; Me pointer 0; box " + shown);
    }
    CHECK(!update::isNewer("1.0.10", "1.0.9"));
}

// The links open fixed targets, not the texts shown. How they light up under the pointer and
// the keyboard is tested through the real events (tests/app).
TEST_CASE("About") {
    Main m;
    m.form.mnuabout_Click();
    fake::Control site, mail;
    frmabout about{{m.about, site, mail}};
    about.lblwebsite_Click(), about.lblemail_Click();
    CHECK(fake::script.log == "frmabout shown; open " + std::string(frmabout::websiteTarget) +
                                  "; open " + std::string(frmabout::emailTarget));
}
