#include "platform/inet/inet.h"

#include "platform/limits.h"
#include "platform/win32/ansi.h"

#include <cstring>
#include <windows.h>
#include <wininet.h>

namespace {
constexpr int maxRedirects = 10;

::HINTERNET native(platform::HINTERNET handle) {
    return reinterpret_cast<::HINTERNET>(handle);
}
platform::HINTERNET ours(::HINTERNET handle) {
    return reinterpret_cast<platform::HINTERNET>(handle);
}

bool isHttp(const std::string& url) {
    const auto startsWith = [&](const char* scheme) {
        const std::size_t n = std::strlen(scheme);
        return url.size() > n && ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, url.data(),
                                                  int(n), scheme, int(n)) == CSTR_EQUAL;
    };
    return startsWith("http://") || startsWith("https://");
}

DWORD status(::HINTERNET request) {
    DWORD code = 0;
    DWORD size = sizeof code;
    if (!::HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size,
                          nullptr))
        return 0;
    return code;
}

// Where a redirect leads, made absolute against the address that answered; empty when the
// answer is no redirect.
std::string redirectTarget(::HINTERNET request, const std::string& from) {
    const DWORD code = status(request);
    if (code != 301 && code != 302 && code != 303 && code != 307 && code != 308)
        return {};
    std::string location(2048, '\0');
    for (;;) {
        DWORD size = DWORD(location.size());
        if (::HttpQueryInfoA(request, HTTP_QUERY_LOCATION, location.data(), &size, nullptr)) {
            location.resize(size);
            break;
        }
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= location.size())
            return {};
        location.assign(size, '\0');
    }
    std::string combined(INTERNET_MAX_URL_LENGTH + 1, '\0');
    DWORD size = DWORD(combined.size());
    if (!::InternetCombineUrlA(from.c_str(), location.c_str(), combined.data(), &size,
                               ICU_NO_ENCODE))
        return {};
    combined.resize(size);
    return combined;
}

bool closeHandle(::HINTERNET handle) {
    return ::InternetCloseHandle(handle) != FALSE;
}
} // namespace

platform::HINTERNET platform::InternetOpenA(const std::string& agent, std::uint32_t accessType,
                                            const char*, const char*, std::uint32_t) {
    std::string ansiAgent;
    if (accessType != INTERNET_OPEN_TYPE_DIRECT || !platform::win32::toAnsi(agent, ansiAgent))
        return 0;
    ::HINTERNET session =
        ::InternetOpenA(ansiAgent.c_str(), INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (!session)
        return 0;
    // WinINet has no limit on a whole exchange: a stall of the connection or of the answer ends it.
    const platform::Limits& limit = platform::limits();
    DWORD connect = DWORD(std::chrono::milliseconds(limit.connect).count());
    DWORD stalled = DWORD(std::chrono::milliseconds(limit.stalled).count());
    if (!::InternetSetOptionA(session, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect) ||
        !::InternetSetOptionA(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &stalled, sizeof stalled) ||
        !::InternetSetOptionA(session, INTERNET_OPTION_SEND_TIMEOUT, &stalled, sizeof stalled)) {
        static_cast<void>(closeHandle(session)); // already failing: 0 says it all
        return 0;
    }
    return ours(session);
}

platform::HINTERNET platform::InternetOpenUrlA(HINTERNET internet, const std::string& url,
                                               const char*, std::uint32_t, std::uint32_t,
                                               std::uintptr_t) {
    std::string address;
    if (!platform::win32::toAnsi(url, address))
        return 0;
    // Redirects are followed here, so that none leaves http and https.
    constexpr DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                            INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_AUTO_REDIRECT |
                            INTERNET_FLAG_NO_UI;
    for (int hop = 0; hop <= maxRedirects && isHttp(address); ++hop) {
        ::HINTERNET request =
            ::InternetOpenUrlA(native(internet), address.c_str(), nullptr, 0, flags, 0);
        if (!request)
            return 0;
        const std::string next = redirectTarget(request, address);
        if (next.empty())
            return ours(request);
        if (!closeHandle(request))
            return 0;
        address = next;
    }
    return 0;
}

bool platform::InternetReadFile(HINTERNET file, void* buffer, std::uint32_t toRead,
                                std::uint32_t& bytesRead) {
    ::HINTERNET request = native(file);
    const DWORD code = status(request);
    if (code == 0)
        return false;
    // An error page is not the resource asked for.
    if (code < 200 || code > 299) {
        bytesRead = 0;
        return true;
    }
    // Read whole before anything is placed, so that a broken exchange leaves the buffer as it was.
    std::string body(toRead, '\0');
    DWORD got = 0;
    while (got < toRead) {
        DWORD part = 0;
        if (!::InternetReadFile(request, body.data() + got, toRead - got, &part))
            return false;
        if (part == 0)
            break;
        got += part;
    }
    std::memcpy(buffer, body.data(), got);
    bytesRead = got;
    return true;
}

bool platform::InternetCloseHandle(HINTERNET handle) {
    return handle != 0 && closeHandle(native(handle));
}
