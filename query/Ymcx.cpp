#include "Ymcx.h"

#include "Base.h"
#include "Clock.h"
#include "DomainLabel.h"
#include "Random.h"
#include "RdapReader.h"
#include "WhoisParser.h"

#include <algorithm>

namespace {

// The request suffix, kept scrambled: three pieces cut out of this text.
constexpr char kSuffixStore[] = "u8jzPoe0IgxLd6Gnc.cAepfmBd0K";
static_assert(sizeof kSuffixStore == 29, "the suffix store holds 28 characters");

} // namespace

std::string TYmSeek::DomainSuffix() {
    const std::string_view store(kSuffixStore, 28);
    return std::string(store.substr(17, 2)) + std::string(store.substr(5, 1)) +
           std::string(store.substr(23, 1));
}

TYmSeek::TYmSeek(std::int32_t workerIndex, bool createSuspended, platform::IDispatcher& dispatcher,
                 TYmSeekConfig config)
    : platform::TThread(dispatcher, true, config.StartThread), FWorkerIndex(workerIndex),
      FConfig(std::move(config)),
      FSocketOwner(FConfig.MakeSocket ? FConfig.MakeSocket()
                                      : std::make_unique<platform::TcpSocket>(FConfig.Resolve)),
      FSocket(*FSocketOwner),
      FHttps({FConfig.DataWaitMs, FConfig.RdapBodyCap, FConfig.RdapTrustFile, FConfig.Resolve}),
      FTrust(FConfig.RdapTrust ? FConfig.RdapTrust : std::make_shared<TRdapTrust>()),
      FLastTick(platform::TickCountMs()) {
    if (!createSuspended) {
        Resume();
    }
}

TYmSeek::~TYmSeek() {
    Shutdown();
}

void TYmSeek::Shutdown() {
    FStopFlag = true;
    TThread::Shutdown();
}

void TYmSeek::OnTerminate() {
    FSocket.Cut();
    FHttps.Cut();
}

void TYmSeek::ApplyDomains(const std::vector<std::string>& list) {
    FDomains = list;
    FSeekRecs.assign(FDomains.size(), TYmSeekRec{});
    FRefusals.assign(FDomains.size(), std::string());
    for (std::size_t i = 0; i < FDomains.size(); ++i) {
        const std::string caption = Trim(FDomains[i]);
        std::string entry = caption;
        if (const auto dot = entry.find('.'); dot != std::string::npos) {
            entry.resize(dot);
        }
        FDomains[i] = entry;
        TYmSeekRec& rec = FSeekRecs[i];
        rec.Name = entry;
        rec.Suffix = ".com";
        rec.Caption = caption.find('.') == std::string::npos ? caption + ".com" : caption;
        rec.Kind = 1;
        rec.NameLength = static_cast<std::int32_t>(entry.size());
        if (entry.size() < 4) {
            // Too short to be one of the program's names: never asked, and
            // never called free without an answer.
            FRefusals[i] = "shorter than 4 characters";
            continue;
        }
        TAskedForm form = AskedForm(caption);
        rec.AskedName = std::move(form.label);
        FRefusals[i] = std::move(form.why);
    }
}

void TYmSeek::SetDomains(const std::vector<std::string>& list) {
    std::lock_guard lock(FHandoverMutex);
    if (RunIfAtRest([&] { ApplyDomains(list); })) {
        FHandover.clear();
        FHandoverPending = false;
    } else {
        FHandover = list;
        FHandoverPending = true;
    }
}

void TYmSeek::TakeHandover() {
    if (!FHandoverPending.load()) {
        return;
    }
    std::lock_guard lock(FHandoverMutex);
    if (FHandoverPending) {
        ApplyDomains(FHandover);
        FHandover.clear();
        FSeekPos = 0;
        FHandoverPending = false;
    }
}

void TYmSeek::StartSeek() {
    FStopFlag = false;
    Resume();
}

void TYmSeek::StopSeek() {
    FStopFlag = true;
    Wake(); // a worker waiting out its pacing parks now rather than later
}

TYmSeekRec* TYmSeek::GetSeekRec(std::int32_t i) {
    if (i < 0 || i >= static_cast<std::int32_t>(FDomains.size()) ||
        i >= static_cast<std::int32_t>(FSeekRecs.size())) {
        return nullptr;
    }
    return &FSeekRecs[static_cast<std::size_t>(i)];
}

void TYmSeek::Execute() {
    FSeekPos = 0;
    while (!Terminated()) {
        try {
            Pass();
        } catch (...) {
            // An error that escapes a pass (out of memory or threads around a
            // notification, say) must not end the worker for good: later runs
            // would hand it names it never asks. It goes on as if that step had
            // failed.
            try {
                RecoverFromError();
            } catch (...) {
            }
        }
    }
}

// One step of the worker's life: an exchange or a wait for the pacing, then,
// at the end of the list or after a stop, a park.
void TYmSeek::Pass() {
    TakeHandover();
    const std::int64_t now = platform::TickCountMs();
    const int r = platform::RandomInt(2);
    const auto count = static_cast<std::int32_t>(FDomains.size());
    if (FSeekPos < count && !FStopFlag) {
        if (!FRefusals[static_cast<std::size_t>(FSeekPos.load())].empty()) {
            // A name nobody can register is not asked: no connection, and no
            // wait for the pacing, which is the server's.
            RefuseOne(FSeekPos);
            ++FSeekPos;
        } else if ((now - FLastTick) / FConfig.PacingUnitMs > r + 1) {
            SeekOne(FSeekPos);
            ++FSeekPos;
        } else {
            WaitForPacing(now);
        }
    }
    if (Terminated()) {
        return;
    }
    if (FSeekPos == count) {
        FSeekPos = 0;
        FFinishing = true;
        NotifySeek(OnSeekActFinish);
        // A new list handed over while this one was ending starts at once;
        // otherwise park until the next run.
        Suspend([this] { return FHandoverPending.load(); });
        FFinishing = false;
    }
    if (FStopFlag) {
        FSeekPos = 0;
        // A StartSeek that cleared the flag after the test above must not be
        // lost: the flag is tested again as the worker parks.
        Suspend([this] { return !FStopFlag.load(); });
    }
}

void TYmSeek::RecoverFromError() {
    if (FInHand >= 0) {
        // The name in hand: unless its answer already reached the window, it
        // failed, and the window hears so; the share goes on after it.
        const std::int32_t i = FInHand;
        FInHand = -1;
        FSeekPos = i;
        if (!FDelivered && i < static_cast<std::int32_t>(FSeekRecs.size())) {
            TYmSeekRec& rec = FSeekRecs[static_cast<std::size_t>(i)];
            rec.State = 2;
            rec.Note = "Worker " + std::to_string(FWorkerIndex) + ": an error while asking about " +
                       rec.Name + ".com; the name failed";
            NotifySeek(OnSeekActOnce);
        }
        FSeekPos = i + 1;
        return;
    }
    if (FFinishing) {
        // The end of the list was reached: park as usual.
        FFinishing = false;
        Suspend([this] { return FHandoverPending.load(); });
        return;
    }
    // Anywhere else (taking a list, pacing): try again after a pause, so an
    // error that persists does not spin.
    SleepMs(FConfig.PacingUnitMs, [this] { return FStopFlag.load(); });
}

// Sleeps instead of spinning: up to the 2-unit mark at once, then in short steps,
// each followed by a fresh draw, so an exchange still begins soon after 2 units
// and always once 4 have passed.
void TYmSeek::WaitForPacing(std::int64_t now) {
    const std::int64_t elapsed = now - FLastTick;
    const std::int64_t earliest = 2LL * FConfig.PacingUnitMs;
    // A stop that comes just before the sleep still cuts it short.
    const auto stopped = [this] {
        return FStopFlag.load();
    };
    if (elapsed < earliest) {
        SleepMs(earliest - elapsed + 1, stopped);
    } else {
        SleepMs(std::max(1, FConfig.PacingUnitMs / 50), stopped);
    }
}

// The record of name i, emptied of the answer of an earlier pass.
static TYmSeekRec& FreshRecord(std::vector<TYmSeekRec>& recs, std::int32_t i) {
    TYmSeekRec& rec = recs[static_cast<std::size_t>(i)];
    rec.State = 0;
    rec.Registered = 0;
    rec.Registrar.clear();
    rec.CreationDate.clear();
    rec.ExpirationDate.clear();
    rec.Note.clear();
    return rec;
}

void TYmSeek::RefuseOne(std::int32_t i) {
    TYmSeekRec& rec = FreshRecord(FSeekRecs, i);
    rec.State = 2;
    rec.Note = "Not asked: " + rec.Caption + " cannot be registered (" +
               FRefusals[static_cast<std::size_t>(i)] + ")";
    FInHand = i;
    FDelivered = false;
    NotifySeek(OnSeekActOnce);
    FInHand = -1;
}

void TYmSeek::SeekOne(std::int32_t i) {
    TYmSeekRec& rec = FreshRecord(FSeekRecs, i);
    FInHand = i;
    try {
        std::string failure;
        SeekWhois(rec, failure);
        // A stopped run, or one whose list was replaced meanwhile, wants no more
        // of this name.
        if (rec.State == 2 && !FStopFlag && !FHandoverPending && !Terminated() &&
            !FConfig.RdapBase.empty()) {
            SeekRdap(rec, failure);
        }
    } catch (...) {
        // Out of memory or threads in the middle of an exchange: that name
        // failed, the worker and the program go on.
        FSocket.Close();
        rec.State = 2;
    }
    FDelivered = false;
    NotifySeek(OnSeekActOnce);
    FInHand = -1;
}

// failure: with State 2, why the exchange gave no usable answer.
void TYmSeek::SeekWhois(TYmSeekRec& rec, std::string& failure) {
    if (FSocket.Connected()) {
        // Left open by an earlier exchange that failed after connecting.
        FSocket.Close();
        SleepMs(FConfig.LeftoverPauseMs);
    }
    NotifySeek(OnSeekActStart);

    std::vector<char> buffer(static_cast<std::size_t>(FConfig.ReceiveBufferBytes), '\0');
    const bool opened = FSocket.Open(FConfig.Host, FConfig.Port);
    // The pause before the next question counts from here, where the server
    // saw this one begin, not from before the host-name lookup, which may be slow.
    FLastTick = platform::TickCountMs();
    if (FConfig.OnConnected) {
        FConfig.OnConnected(FWorkerIndex, FLastTick);
    }
    if (!opened) {
        rec.State = 2;
        failure = "no connection";
        return;
    }
    const std::string request = Trim(rec.AskedName + DomainSuffix()) + "\r\n";
    const long sent = FSocket.Send(request.data(), request.size(), FConfig.DataWaitMs);
    if (sent != static_cast<long>(request.size())) {
        // Not sent, or not whole within the time: no answer can come to it.
        FSocket.Close();
        rec.State = 2;
        failure = sent < 0 ? "the request could not be sent"
                           : "the request was not sent within " +
                                 std::to_string(FConfig.DataWaitMs) + " ms";
        return;
    }
    int readErrors = 0;
    std::string answer;
    while (FSocket.Connected()) {
        const auto wait = FSocket.WaitReadable(FConfig.DataWaitMs);
        if (wait == platform::IStreamSocket::Wait::Timeout ||
            wait == platform::IStreamSocket::Wait::Cut) {
            FSocket.Close();
            rec.State = 2;
            failure = wait == platform::IStreamSocket::Wait::Cut
                          ? "cut"
                          : "no data for " + std::to_string(FConfig.DataWaitMs) + " ms";
            break;
        }
        const int n = wait == platform::IStreamSocket::Wait::Ready
                          ? FSocket.Receive(buffer.data(), FConfig.ReceiveBufferBytes)
                          : platform::IStreamSocket::kReadError;
        if (n > 0) {
            answer.append(buffer.data(), static_cast<std::size_t>(n));
            if (answer.size() > FConfig.AnswerCap) {
                // An answer this long is no WHOIS record: stop reading it.
                FSocket.Close();
                rec.State = 2;
                failure = "an answer over " + std::to_string(FConfig.AnswerCap) + " bytes";
                break;
            }
            if (platform::RandomInt(65) == 9) {
                NotifySeek(OnSeekActProcess);
            }
        } else if (n == platform::IStreamSocket::kClosed) {
            FSocket.Close();
            break;
        } else if (n == platform::IStreamSocket::kBroken) {
            // Reset: what arrived is a piece of an answer, not an answer.
            FSocket.Close();
            rec.State = 2;
            failure = "the connection was reset";
            break;
        } else {
            ++readErrors;
            if (readErrors > FConfig.MaxReadErrors || FStopFlag) {
                break;
            }
        }
    }
    FSocket.Close();
    if (rec.State == 2) {
        return;
    }
    // A refusal, an error text or a record of another name must not pass for a
    // registered name: only an answer about this name is an answer.
    if (!IsWhoisAnswerAbout(answer, rec.AskedName)) {
        rec.State = 2;
        failure = answer.empty() ? "an empty answer"
                                 : "no answer about the name (a refusal or an unreadable text)";
        return;
    }
    rec.State = 1;
    ParseWhoisAnswer(answer, rec);
}

// The WHOIS exchange gave no usable answer: ask the registry's RDAP service.
// Only its answer about this very name changes the record; anything else
// leaves the failure as it is. A cut (the program's end) leaves it too.
void TYmSeek::SeekRdap(TYmSeekRec& rec, const std::string& whoisFailure) {
    const platform::HttpResult result =
        FHttps.Get(RdapDomainUrl(FConfig.RdapBase, rec.AskedName), "application/rdap+json");
    std::string outcome;
    switch (result.outcome) {
    case platform::HttpResult::Outcome::Cut:
        return;
    case platform::HttpResult::Outcome::Failed:
        outcome = result.error;
        break;
    case platform::HttpResult::Outcome::Answered: {
        TRdapReading reading =
            ReadRdapAnswer(result.status, result.contentType, result.body, rec.AskedName);
        outcome = std::to_string(result.status);
        std::string distrust;
        if (reading.verdict == TRdapReading::Verdict::Available &&
            !FTrust->Believes404([this] { return ProbeRdap(); },
                                 [this] { return FStopFlag.load() || Terminated(); }, distrust)) {
            reading.verdict = TRdapReading::Verdict::NoAnswer;
            reading.why = "the 404 is not believed: " + distrust;
        }
        switch (reading.verdict) {
        case TRdapReading::Verdict::Available:
            rec.State = 1;
            rec.Registered = 0;
            rec.Registrar.clear();
            rec.CreationDate.clear();
            rec.ExpirationDate.clear();
            outcome += ", can be registered";
            break;
        case TRdapReading::Verdict::Registered:
            rec.State = 1;
            rec.Registered = 1;
            rec.Registrar = reading.Registrar;
            rec.CreationDate = reading.CreationDate;
            rec.ExpirationDate = reading.ExpirationDate;
            outcome += ", registered";
            break;
        case TRdapReading::Verdict::NoAnswer:
            outcome += ", no answer: " + reading.why;
            break;
        }
        break;
    }
    }
    rec.Note = "RDAP " + rec.Name + ".com: WHOIS " +
               (whoisFailure.empty() ? "failed" : whoisFailure) + "; RDAP " + outcome;
}

// Asks the RDAP service about a name registered for good; empty when it
// answered with that name's domain object, else why not.
std::string TYmSeek::ProbeRdap() {
    const platform::HttpResult result = FHttps.Get(
        RdapDomainUrl(FConfig.RdapBase, TRdapTrust::kProbeLabel), "application/rdap+json");
    if (result.outcome != platform::HttpResult::Outcome::Answered) {
        return result.outcome == platform::HttpResult::Outcome::Cut ? "cut" : result.error;
    }
    const TRdapReading reading =
        ReadRdapAnswer(result.status, result.contentType, result.body, TRdapTrust::kProbeLabel);
    if (reading.verdict == TRdapReading::Verdict::Registered) {
        return {};
    }
    return "HTTP " + std::to_string(result.status) +
           (reading.why.empty() ? std::string() : ", " + reading.why);
}

void TYmSeek::NotifySeek(const TSeekNotify& notify) {
    if (FStopFlag || !notify) {
        return;
    }
    Synchronize([this, &notify] {
        // Tested again on the user-interface thread, where StopSeek and
        // SetDomains happen: a stop or a new list that came meanwhile wins.
        if (FStopFlag || FHandoverPending) {
            return;
        }
        notify(this);
        FDelivered = true;
    });
}
