#include "platform/inet/inet.h"

#include "platform/limits.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <curl/curl.h>
#include <map>
#include <memory>

namespace platform {

namespace {

struct EasyCleanup {
    void operator()(CURL* easy) const { curl_easy_cleanup(easy); }
};
struct MultiCleanup {
    void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
};
struct ListCleanup {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

// One GET. The body is pulled from the server only as far as the reads ask for it: the
// transfer pauses as soon as enough has arrived, and closing the handle ends it.
class Request {
public:
    Request(HINTERNET session, const std::string& agent, const std::string& url);
    ~Request();
    Request(const Request&) = delete;
    Request& operator=(const Request&) = delete;

    // Sends the request and waits for the body to start or the exchange to end; false when
    // no response came.
    bool start();
    // Up to `wanted` bytes of the body into `buffer`; false when the exchange failed first.
    bool read(char* buffer, std::size_t wanted, std::size_t& got);

    const HINTERNET session;

private:
    static std::size_t onBody(char* data, std::size_t size, std::size_t count, void* self);
    bool statusIsSuccess() const;
    // Nothing wanted yet (the request just sent): enough once the body starts.
    bool hasEnough() const { return paused_ || (wanted_ > 0 && body_.size() >= wanted_); }
    void drive();

    using Clock = std::chrono::steady_clock;

    std::unique_ptr<CURLM, MultiCleanup> multi_;
    std::unique_ptr<CURL, EasyCleanup> easy_;
    std::unique_ptr<curl_slist, ListCleanup> headers_;
    bool configured_ = false;

    std::string body_;       // arrived and not yet read
    std::size_t wanted_ = 0; // how much of the body the current call needs
    bool paused_ = false;    // more arrived than asked for; curl holds it back
    bool finished_ = false;  // the exchange has ended, well or not
    bool rejected_ = false;  // the final status is not 2xx: the body is not delivered
    CURLcode result_ = CURLE_OK;
    // Body bytes last arrived, or the wait began. Redirects, headers and handshakes do not
    // count, so no server can hold the thread longer than the stall limit without a body.
    Clock::time_point lastProgress_;
    const Clock::duration stallLimit_ = limits().stalled;
};

Request::Request(HINTERNET owner, const std::string& agent, const std::string& url)
    : session(owner), multi_(curl_multi_init()), easy_(curl_easy_init()) {
    if (!multi_ || !easy_)
        return;
    for (const char* header : {"Cache-Control: no-cache", "Pragma: no-cache"}) {
        // Appending returns the head of the list, which headers_ owns from the first on.
        curl_slist* head = curl_slist_append(headers_.get(), header);
        if (!head)
            return;
        if (!headers_)
            headers_.reset(head);
    }

    CURL* e = easy_.get();
    const Limits& limits = platform::limits();
    const CURLcode codes[] = {
        curl_easy_setopt(e, CURLOPT_URL, url.c_str()),
        curl_easy_setopt(e, CURLOPT_HTTPGET, 1L),
        curl_easy_setopt(e, CURLOPT_USERAGENT, agent.c_str()),
        curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers_.get()),
        // Direct only: an empty proxy and no host through one, whatever the environment says.
        curl_easy_setopt(e, CURLOPT_PROXY, ""),
        curl_easy_setopt(e, CURLOPT_NOPROXY, "*"),
        curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https"),
        curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L),
        curl_easy_setopt(e, CURLOPT_MAXREDIRS, 10L),
        curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https"),
        curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT, long(limits.connect.count())),
        curl_easy_setopt(e, CURLOPT_TIMEOUT, long(limits.whole.count())),
        // The window thread must not receive SIGALRM from a name lookup's time-out.
        curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L),
        curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, &Request::onBody),
        curl_easy_setopt(e, CURLOPT_WRITEDATA, this),
    };
    configured_ =
        std::all_of(std::begin(codes), std::end(codes), [](CURLcode c) { return c == CURLE_OK; }) &&
        curl_multi_add_handle(multi_.get(), e) == CURLM_OK;
}

Request::~Request() {
    if (configured_)
        curl_multi_remove_handle(multi_.get(), easy_.get());
}

std::size_t Request::onBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto* request = static_cast<Request*>(self);
    if (!request->statusIsSuccess()) {
        // An error page is not the resource asked for: end the exchange, deliver nothing.
        request->rejected_ = true;
        return 0;
    }
    request->lastProgress_ = Clock::now();
    if (request->body_.size() >= request->wanted_) {
        request->paused_ = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    request->body_.append(data, size * count);
    return size * count;
}

bool Request::statusIsSuccess() const {
    long status = 0;
    curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status);
    return status >= 200 && status <= 299;
}

void Request::drive() {
    while (!finished_ && !hasEnough()) {
        int running = 0;
        if (curl_multi_perform(multi_.get(), &running) != CURLM_OK) {
            finished_ = true;
            result_ = CURLE_FAILED_INIT;
            return;
        }
        int left = 0;
        while (CURLMsg* message = curl_multi_info_read(multi_.get(), &left)) {
            if (message->msg == CURLMSG_DONE) {
                finished_ = true;
                result_ = message->data.result;
            }
        }
        if (finished_ || hasEnough())
            return;
        const auto stallIn = std::chrono::ceil<std::chrono::milliseconds>(
            lastProgress_ + stallLimit_ - Clock::now());
        if (stallIn.count() <= 0) {
            finished_ = true;
            result_ = CURLE_OPERATION_TIMEDOUT;
            return;
        }
        // Waits for the socket, curl's next time-out or the stall limit, whichever comes first.
        if (curl_multi_poll(multi_.get(), nullptr, 0, int(stallIn.count()), nullptr) != CURLM_OK) {
            finished_ = true;
            result_ = CURLE_FAILED_INIT;
        }
    }
}

bool Request::start() {
    if (!configured_)
        return false;
    wanted_ = 0;
    lastProgress_ = Clock::now();
    drive();
    return result_ == CURLE_OK || rejected_;
}

bool Request::read(char* buffer, std::size_t wanted, std::size_t& got) {
    got = 0;
    if (rejected_ || (finished_ && result_ == CURLE_OK && !statusIsSuccess()))
        return true;
    if (body_.size() < wanted && !finished_) {
        wanted_ = wanted;
        lastProgress_ = Clock::now(); // the caller's time between reads is no stall
        if (paused_) {
            paused_ = false;
            // Hands back what curl held; that may pause again at once.
            if (curl_easy_pause(easy_.get(), CURLPAUSE_CONT) != CURLE_OK) {
                finished_ = true;
                result_ = CURLE_RECV_ERROR;
            }
        }
        drive();
    }
    if (body_.size() < wanted && result_ != CURLE_OK)
        return false;
    got = std::min(wanted, body_.size());
    std::memcpy(buffer, body_.data(), got);
    body_.erase(0, got);
    return true;
}

struct Handles {
    std::map<HINTERNET, std::string> sessions; // the agent of each
    std::map<HINTERNET, std::unique_ptr<Request>> requests;
    HINTERNET next = 1;
};

Handles& handles() {
    static Handles table;
    return table;
}

} // namespace

HINTERNET InternetOpenA(const std::string& agent, std::uint32_t accessType, const char*,
                        const char*, std::uint32_t) {
    static const bool ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!ready || accessType != INTERNET_OPEN_TYPE_DIRECT)
        return 0;
    Handles& table = handles();
    const HINTERNET handle = table.next++;
    table.sessions.emplace(handle, agent);
    return handle;
}

HINTERNET InternetOpenUrlA(HINTERNET internet, const std::string& url, const char*, std::uint32_t,
                           std::uint32_t, std::uintptr_t) {
    Handles& table = handles();
    const auto session = table.sessions.find(internet);
    if (session == table.sessions.end())
        return 0;
    auto request = std::make_unique<Request>(internet, session->second, url);
    if (!request->start())
        return 0;
    const HINTERNET handle = table.next++;
    table.requests.emplace(handle, std::move(request));
    return handle;
}

bool InternetReadFile(HINTERNET file, void* buffer, std::uint32_t toRead,
                      std::uint32_t& bytesRead) {
    Handles& table = handles();
    const auto request = table.requests.find(file);
    if (request == table.requests.end())
        return false;
    std::size_t got = 0;
    if (!request->second->read(static_cast<char*>(buffer), toRead, got))
        return false;
    bytesRead = static_cast<std::uint32_t>(got);
    return true;
}

bool InternetCloseHandle(HINTERNET handle) {
    Handles& table = handles();
    if (table.requests.erase(handle) == 1)
        return true;
    if (table.sessions.erase(handle) == 0)
        return false;
    std::erase_if(table.requests, [handle](const auto& r) { return r.second->session == handle; });
    return true;
}

} // namespace platform
