// HTTPS through WinHTTP in its asynchronous mode. A blocked synchronous
// request cannot be cancelled from another thread (closing its handle did not
// end it), but an asynchronous one ends when its handle is closed. So the
// owning thread starts each step (send, receive the headers, read) and waits
// on an event that the step's completion callback sets, or that Cut() sets; it
// watches the idle limit itself, since WinHTTP's receive time-out does not
// cover the wait for the response headers.
//
// What the callback touches lives in a reference-counted state that the request
// handle holds until WinHTTP says the handle is closing, so the owning thread
// may leave a cancelled request at once.
#include "HttpsClient.h"
#include "SystemThread.h"
#include "Version.h"

#include <windows.h>
#include <winhttp.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace platform {
namespace {

std::wstring Widen(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string ErrorText(const char* what, DWORD code) {
    return std::string(what) + " failed (WinHTTP error " + std::to_string(code) + ")";
}

// What one request's callbacks report to the waiting thread.
struct RequestState {
    enum class Step { None, Sent, Headers, Available, Read, Error };
    Mutex mutex;
    HANDLE event = nullptr; // auto-reset: a step completed
    Step step = Step::None;
    DWORD number = 0; // bytes available or read
    DWORD error = 0;
    std::vector<char> buffer = std::vector<char>(16384);

    RequestState() {
        event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
        if (event == nullptr) {
            throw std::runtime_error("no event for an HTTPS request");
        }
    }
    ~RequestState() { CloseHandle(event); }
    RequestState(const RequestState&) = delete;
    RequestState& operator=(const RequestState&) = delete;

    void Report(Step s, DWORD n = 0, DWORD e = 0) {
        {
            std::lock_guard lock(mutex);
            step = s;
            number = n;
            error = e;
        }
        SetEvent(event);
    }
    Step Take(DWORD& n, DWORD& e) {
        std::lock_guard lock(mutex);
        const Step s = step;
        n = number;
        e = error;
        step = Step::None;
        return s;
    }
};

// The request handle's context: one reference to its state, dropped when the
// handle closes.
using StateRef = std::shared_ptr<RequestState>;

void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD length) {
    if (context == 0) {
        return; // the session or connection handle
    }
    auto* ref = reinterpret_cast<StateRef*>(context);
    RequestState& state = **ref;
    switch (status) {
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
        state.Report(RequestState::Step::Sent);
        break;
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
        state.Report(RequestState::Step::Headers);
        break;
    case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE:
        state.Report(RequestState::Step::Available, *static_cast<DWORD*>(info));
        break;
    case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
        state.Report(RequestState::Step::Read, length);
        break;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR: {
        const auto* result = static_cast<WINHTTP_ASYNC_RESULT*>(info);
        state.Report(RequestState::Step::Error, 0, result->dwError);
        break;
    }
    case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
        delete ref;
        break;
    default:
        break;
    }
}

// Splits an address into host, port, path (with its query) and scheme.
bool CrackUrl(const std::string& url, std::wstring& host, INTERNET_PORT& port, std::wstring& path,
              bool& secure) {
    const std::wstring wide = Widen(url);
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(wide.c_str(), static_cast<DWORD>(wide.size()), 0, &parts)) {
        return false;
    }
    host.assign(parts.lpszHostName, parts.dwHostNameLength);
    path.assign(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    port = parts.nPort;
    secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
    return true;
}

} // namespace

struct HttpsClient::Impl {
    Options options;
    HINTERNET session = nullptr;
    HINTERNET connection = nullptr; // kept for the next request to the same server
    std::wstring connectedHost;
    INTERNET_PORT connectedPort = 0;
    HANDLE cutEvent = nullptr; // manual-reset: set once, for good

    bool OpenSession();

    HINTERNET Connect(const std::wstring& host, INTERNET_PORT port) {
        if (connection != nullptr && (host != connectedHost || port != connectedPort)) {
            WinHttpCloseHandle(connection);
            connection = nullptr;
        }
        if (connection == nullptr) {
            connection = WinHttpConnect(session, host.c_str(), port, 0);
            connectedHost = host;
            connectedPort = port;
        }
        return connection;
    }
};

HttpsClient::HttpsClient(Options options) : impl_(std::make_unique<Impl>()) {
    impl_->options = std::move(options);
    impl_->cutEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (impl_->cutEvent == nullptr) {
        throw std::runtime_error("no event for the HTTPS client");
    }
}

HttpsClient::~HttpsClient() {
    if (impl_->connection != nullptr) {
        WinHttpCloseHandle(impl_->connection);
    }
    if (impl_->session != nullptr) {
        WinHttpCloseHandle(impl_->session);
    }
    CloseHandle(impl_->cutEvent);
}

// The session is opened at the first request: most workers never need one.
bool HttpsClient::Impl::OpenSession() {
    if (session != nullptr) {
        return true;
    }
    session = WinHttpOpen(L"Vantreel/" VT_VERSION_WIDE, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                          WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, WINHTTP_FLAG_ASYNC);
    if (session == nullptr) {
        return false;
    }
    const int ms = options.idleMs;
    WinHttpSetTimeouts(session, ms, ms, ms, ms);
    DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    WinHttpSetOption(session, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy);
    WinHttpSetStatusCallback(session, &OnStatus,
                             WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES,
                             0);
    return true;
}

void HttpsClient::Cut() {
    SetEvent(impl_->cutEvent);
}

HttpResult HttpsClient::Get(const std::string& url, const std::string& accept) {
    Impl& d = *impl_;
    HttpResult result;
    if (WaitForSingleObject(d.cutEvent, 0) == WAIT_OBJECT_0) {
        result.outcome = HttpResult::Outcome::Cut;
        return result;
    }
    std::wstring host, path;
    INTERNET_PORT port = 0;
    bool secure = false;
    if (!CrackUrl(url, host, port, path, secure)) {
        result.error = "not an address: " + url;
        return result;
    }
    if (!d.OpenSession()) {
        result.error = ErrorText("WinHttpOpen", GetLastError());
        return result;
    }
    HINTERNET connection = d.Connect(host, port);
    if (connection == nullptr) {
        result.error = ErrorText("WinHttpConnect", GetLastError());
        return result;
    }
    HINTERNET request =
        WinHttpOpenRequest(connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER,
                           WINHTTP_DEFAULT_ACCEPT_TYPES, secure ? WINHTTP_FLAG_SECURE : 0);
    if (request == nullptr) {
        result.error = ErrorText("WinHttpOpenRequest", GetLastError());
        return result;
    }
    auto state = std::make_shared<RequestState>();
    auto* ref = new StateRef(state);
    DWORD_PTR context = reinterpret_cast<DWORD_PTR>(ref);
    if (!WinHttpSetOption(request, WINHTTP_OPTION_CONTEXT_VALUE, &context, sizeof context)) {
        delete ref;
        WinHttpCloseHandle(request);
        result.error = ErrorText("WinHttpSetOption", GetLastError());
        return result;
    }
    // From here the handle owns ref: closing the handle releases it.
    DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
    WinHttpSetOption(request, WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof noRedirects);
    DWORD ms = static_cast<DWORD>(d.options.idleMs);
    WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &ms, sizeof ms);

    const std::wstring headers = L"Accept: " + Widen(accept) + L"\r\n";
    std::string body;
    const HANDLE waits[2] = {state->event, d.cutEvent};
    ULONGLONG lastData = GetTickCount64();

    // Waits for the step now under way; false when it failed, was cut or the
    // server went silent for too long.
    auto await = [&](RequestState::Step wanted, DWORD& number) {
        for (;;) {
            const ULONGLONG now = GetTickCount64();
            const ULONGLONG idle = now - lastData;
            const ULONGLONG limit = static_cast<ULONGLONG>(d.options.idleMs);
            if (idle >= limit) {
                result.error = "no data for " + std::to_string(d.options.idleMs) + " ms";
                return false;
            }
            const DWORD w =
                WaitForMultipleObjects(2, waits, FALSE, static_cast<DWORD>(limit - idle));
            if (w == WAIT_OBJECT_0 + 1) {
                result.outcome = HttpResult::Outcome::Cut;
                return false;
            }
            if (w != WAIT_OBJECT_0) {
                continue; // time: checked above
            }
            DWORD error = 0;
            const RequestState::Step step = state->Take(number, error);
            if (step == RequestState::Step::Error) {
                result.error = ErrorText("the request", error);
                return false;
            }
            if (step == wanted) {
                lastData = GetTickCount64();
                return true;
            }
        }
    };

    bool ok = WinHttpSendRequest(request, headers.c_str(), static_cast<DWORD>(headers.size()),
                                 WINHTTP_NO_REQUEST_DATA, 0, 0, context) != FALSE;
    if (!ok) {
        result.error = ErrorText("WinHttpSendRequest", GetLastError());
    }
    DWORD number = 0;
    ok = ok && await(RequestState::Step::Sent, number);
    if (ok && !WinHttpReceiveResponse(request, nullptr)) {
        result.error = ErrorText("WinHttpReceiveResponse", GetLastError());
        ok = false;
    }
    ok = ok && await(RequestState::Step::Headers, number);
    DWORD status = 0;
    if (ok) {
        DWORD size = sizeof status;
        if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                                 WINHTTP_HEADER_NAME_BY_INDEX, &status, &size,
                                 WINHTTP_NO_HEADER_INDEX)) {
            result.error = ErrorText("WinHttpQueryHeaders", GetLastError());
            ok = false;
        }
    }
    if (ok) {
        // The content type, which may be missing; an RDAP reader tells a
        // registry's 404 from a proxy's page by it.
        wchar_t type[256];
        DWORD size = sizeof type;
        if (WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_TYPE, WINHTTP_HEADER_NAME_BY_INDEX,
                                type, &size, WINHTTP_NO_HEADER_INDEX)) {
            for (DWORD i = 0; i < size / sizeof(wchar_t) && type[i] != L'\0'; ++i) {
                result.contentType += type[i] < 0x80 ? static_cast<char>(type[i]) : '?';
            }
        }
    }
    // The body: ask what has arrived and read just that (a read asked for more
    // may wait to fill its buffer), until nothing is left. The last, empty read
    // marks the response as read, so WinHTTP may keep the connection.
    while (ok) {
        if (!WinHttpQueryDataAvailable(request, nullptr)) {
            result.error = ErrorText("WinHttpQueryDataAvailable", GetLastError());
            ok = false;
            break;
        }
        if (!await(RequestState::Step::Available, number)) {
            ok = false;
            break;
        }
        const DWORD want = std::min<DWORD>(number, static_cast<DWORD>(state->buffer.size()));
        if (!WinHttpReadData(request, state->buffer.data(), want, nullptr)) {
            result.error = ErrorText("WinHttpReadData", GetLastError());
            ok = false;
            break;
        }
        if (!await(RequestState::Step::Read, number)) {
            ok = false;
            break;
        }
        if (number == 0) {
            break;
        }
        if (body.size() + number > d.options.bodyCap) {
            result.error = "a body over " + std::to_string(d.options.bodyCap) + " bytes";
            ok = false;
            break;
        }
        body.append(state->buffer.data(), number);
    }
    // A connection that ends before the announced length is a cut-off answer,
    // not a short one.
    if (ok) {
        DWORD length = 0;
        DWORD size = sizeof length;
        if (WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                                WINHTTP_HEADER_NAME_BY_INDEX, &length, &size,
                                WINHTTP_NO_HEADER_INDEX) &&
            body.size() != length) {
            result.error = "the answer ended after " + std::to_string(body.size()) + " of " +
                           std::to_string(length) + " bytes";
            ok = false;
        }
    }
    // Closing cancels whatever is still under way; the callback frees ref.
    WinHttpCloseHandle(request);
    if (ok) {
        result.outcome = HttpResult::Outcome::Answered;
        result.status = static_cast<long>(status);
        result.body = std::move(body);
    } else {
        if (result.outcome != HttpResult::Outcome::Cut) {
            result.outcome = HttpResult::Outcome::Failed;
        }
        // A connection left in the middle of an answer is of no use to the next.
        WinHttpCloseHandle(d.connection);
        d.connection = nullptr;
    }
    return result;
}

} // namespace platform
