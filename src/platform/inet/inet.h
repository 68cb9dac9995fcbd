#pragma once

#include <cstdint>
#include <string>

// The Internet calls of the update check over libcurl.
//
// Every exchange is a direct connection (proxy settings in the environment are ignored), is
// never answered from a cache, follows at most 10 redirects between http and https addresses
// and blocks the calling thread until it ends or a time-out (see limits.h) ends it. Handles are
// 0 on failure.
namespace platform {

using HINTERNET = std::uintptr_t;

inline constexpr std::uint32_t INTERNET_OPEN_TYPE_DIRECT = 1;
inline constexpr std::uint32_t INTERNET_FLAG_RELOAD = 0x80000000u;

// A session whose requests carry `agent` as their user agent. Only direct access exists.
HINTERNET InternetOpenA(const std::string& agent, std::uint32_t accessType, const char* proxyName,
                        const char* proxyBypass, std::uint32_t flags);

// Sends the GET for `url` and waits for the final response (after redirects). 0 when the
// server cannot be reached or the exchange fails before the response starts.
HINTERNET InternetOpenUrlA(HINTERNET internet, const std::string& url, const char* headers,
                           std::uint32_t headersLength, std::uint32_t flags,
                           std::uintptr_t context);

// Places up to `toRead` bytes of the body at the start of `buffer`, fetching no more than
// that from the server, and sets `bytesRead`. A response whose final status is not 2xx has
// no body to read. On failure (a 0 handle, a broken or timed-out exchange) the buffer is
// left untouched and false is returned.
bool InternetReadFile(HINTERNET file, void* buffer, std::uint32_t toRead, std::uint32_t& bytesRead);

// Closes a URL handle, or a session together with the URL handles still open on it.
bool InternetCloseHandle(HINTERNET handle);

} // namespace platform
