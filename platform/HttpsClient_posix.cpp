// HTTPS through libcurl's multi interface: the owning thread waits in
// curl_multi_poll(), which Cut() wakes from any thread, so a request in flight
// ends at once. One easy handle is kept for the client's life, so its
// connection (and TLS session) is reused from one request to the next.
#include "HttpsClient.h"

#include "HostLookup.h"
#include "Version.h"

#include <curl/curl.h>

#include <arpa/inet.h>
#include <netinet/in.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>

namespace platform {
namespace {

std::int64_t NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void InitCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
            throw std::runtime_error("libcurl could not be initialised");
        }
    });
}

// One slice of the wait: short enough that the idle limit is kept to within it.
constexpr int kPollSliceMs = 200;

} // namespace

struct HttpsClient::Impl {
    Options options;
    CURLM* multi = nullptr;
    CURL* easy = nullptr;
    std::atomic<bool> cut{false};
    std::unique_ptr<HostLookup> lookup;
    // The last address looked up, kept a while so that each request does not
    // ask the name server again.
    std::string lookedUpHost;
    std::string lookedUpAddress;
    std::int64_t lookedUpAtMs = 0;

    // State of the request under way, touched by the owning thread only.
    std::string body;
    bool overCap = false;
    std::int64_t lastDataMs = 0;

    static size_t OnBody(char* data, size_t size, size_t count, void* user) {
        auto* self = static_cast<Impl*>(user);
        const size_t n = size * count;
        self->lastDataMs = NowMs();
        if (self->body.size() + n > self->options.bodyCap) {
            self->overCap = true;
            return 0; // makes curl fail the transfer
        }
        self->body.append(data, n);
        return n;
    }
    static size_t OnHeader(char*, size_t size, size_t count, void* user) {
        static_cast<Impl*>(user)->lastDataMs = NowMs();
        return size * count;
    }
};

HttpsClient::HttpsClient(Options options) : impl_(std::make_unique<Impl>()) {
    InitCurlOnce();
    impl_->options = std::move(options);
    impl_->lookup = std::make_unique<HostLookup>(impl_->options.resolve);
    impl_->multi = curl_multi_init();
    impl_->easy = curl_easy_init();
    if (impl_->multi == nullptr || impl_->easy == nullptr) {
        if (impl_->easy != nullptr) {
            curl_easy_cleanup(impl_->easy);
        }
        if (impl_->multi != nullptr) {
            curl_multi_cleanup(impl_->multi);
        }
        throw std::runtime_error("libcurl could not make a handle");
    }
}

HttpsClient::~HttpsClient() {
    curl_easy_cleanup(impl_->easy);
    curl_multi_cleanup(impl_->multi);
}

void HttpsClient::Cut() {
    impl_->cut = true;
    impl_->lookup->Cut();
    curl_multi_wakeup(impl_->multi);
}

namespace {

constexpr std::int64_t kLookupKeptMs = 5 * 60 * 1000;

// The host and port of a URL, through libcurl's own parser; false when it
// has none.
bool HostAndPort(const std::string& url, std::string& host, std::string& port) {
    CURLU* parsed = curl_url();
    if (parsed == nullptr) {
        return false;
    }
    char* h = nullptr;
    char* p = nullptr;
    const bool ok = curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
                    curl_url_get(parsed, CURLUPART_HOST, &h, 0) == CURLUE_OK &&
                    curl_url_get(parsed, CURLUPART_PORT, &p, CURLU_DEFAULT_PORT) == CURLUE_OK;
    if (ok) {
        host = h;
        port = p;
    }
    curl_free(h);
    curl_free(p);
    curl_url_cleanup(parsed);
    return ok;
}

bool IsNumericHost(const std::string& host) {
    in_addr v4{};
    in6_addr v6{};
    const std::string bare =
        host.size() > 2 && host.front() == '[' ? host.substr(1, host.size() - 2) : host;
    return ::inet_pton(AF_INET, bare.c_str(), &v4) == 1 ||
           ::inet_pton(AF_INET6, bare.c_str(), &v6) == 1;
}

} // namespace

HttpResult HttpsClient::Get(const std::string& url, const std::string& accept) {
    Impl& d = *impl_;
    HttpResult result;
    if (d.cut) {
        result.outcome = HttpResult::Outcome::Cut;
        return result;
    }
    // The host is looked up here, where Cut() can leave the wait, and libcurl
    // gets the address: its own resolver may block the request's clean-up
    // until a lookup on a silent name server ends.
    curl_slist* resolved = nullptr;
    std::string host;
    std::string port;
    if (HostAndPort(url, host, port) && !IsNumericHost(host)) {
        if (host != d.lookedUpHost || NowMs() - d.lookedUpAtMs > kLookupKeptMs) {
            std::optional<std::uint32_t> address;
            try {
                address = d.lookup->Run(host);
            } catch (const std::exception& error) {
                result.error = std::string("the host name lookup failed: ") + error.what();
                return result;
            }
            if (d.cut) {
                result.outcome = HttpResult::Outcome::Cut;
                return result;
            }
            if (!address) {
                result.error = "no address for " + host;
                return result;
            }
            char text[INET_ADDRSTRLEN] = {};
            in_addr in{};
            in.s_addr = *address;
            ::inet_ntop(AF_INET, &in, text, sizeof text);
            d.lookedUpHost = host;
            d.lookedUpAddress = text;
            d.lookedUpAtMs = NowMs();
        }
        resolved =
            curl_slist_append(nullptr, (host + ":" + port + ":" + d.lookedUpAddress).c_str());
    }
    CURL* easy = d.easy;
    curl_easy_reset(easy); // keeps the live connection and the TLS session cache
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "https,http");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    if (!d.options.trustFile.empty()) {
        curl_easy_setopt(easy, CURLOPT_CAINFO, d.options.trustFile.c_str());
        curl_easy_setopt(easy, CURLOPT_CAPATH, nullptr);
    }
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(d.options.idleMs));
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(d.options.bodyCap));
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, &Impl::OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &d);
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, &Impl::OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &d);
    curl_easy_setopt(easy, CURLOPT_USERAGENT, "Vantreel/" VT_VERSION);
    curl_slist* headers = curl_slist_append(nullptr, ("Accept: " + accept).c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    if (resolved != nullptr) {
        curl_easy_setopt(easy, CURLOPT_RESOLVE, resolved);
    }

    d.body.clear();
    d.overCap = false;
    d.lastDataMs = NowMs();
    curl_multi_add_handle(d.multi, easy);

    CURLcode code = CURLE_OK;
    bool done = false;
    bool idle = false;
    while (!done) {
        int running = 0;
        if (curl_multi_perform(d.multi, &running) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(d.multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
                code = message->data.result;
                done = true;
            }
        }
        if (done) {
            break;
        }
        if (d.cut) {
            break;
        }
        if (NowMs() - d.lastDataMs >= d.options.idleMs) {
            idle = true;
            break;
        }
        curl_multi_poll(d.multi, nullptr, 0, kPollSliceMs, nullptr);
    }
    curl_multi_remove_handle(d.multi, easy);
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, nullptr);
    curl_easy_setopt(easy, CURLOPT_RESOLVE, nullptr);
    curl_slist_free_all(headers);
    curl_slist_free_all(resolved);

    if (!done && d.cut) {
        result.outcome = HttpResult::Outcome::Cut;
        return result;
    }
    if (idle) {
        result.error = "no data for " + std::to_string(d.options.idleMs) + " ms";
        return result;
    }
    if (code != CURLE_OK) {
        result.error = d.overCap || code == CURLE_FILESIZE_EXCEEDED
                           ? "a body over " + std::to_string(d.options.bodyCap) + " bytes"
                           : std::string(curl_easy_strerror(code));
        return result;
    }
    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &result.status);
    const char* contentType = nullptr;
    if (curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &contentType) == CURLE_OK &&
        contentType != nullptr) {
        result.contentType = contentType;
    }
    result.outcome = HttpResult::Outcome::Answered;
    result.body = std::move(d.body);
    d.body.clear();
    return result;
}

} // namespace platform
