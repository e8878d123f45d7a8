#pragma once

#include "Dispatcher.h"
#include "HttpsClient.h"
#include "RdapTrust.h"
#include "TcpSocket.h"
#include "Thread.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// The result of asking about one name.
struct TYmSeekRec {
    std::uint8_t State = 0;      // 0 not yet answered, 1 answered, 2 failed
    std::uint8_t Registered = 0; // with State 1: 1 registered, 0 can be registered
    std::string Registrar;
    std::string CreationDate;
    std::string ExpirationDate;
    std::int32_t Kind = 0; // answer form; 1 is the .com form
    std::int32_t NameLength = 0;
    std::string Name; // the bare name: trimmed, cut before its first "."
    std::string Suffix;
    std::string Caption;   // the name as handed out, trimmed ("AiBai.com"): its row's caption
    std::string AskedName; // the label the services are asked about (the IDNA form of a
                           // Chinese name); empty when the name cannot be registered
    std::string Note;      // a line for the hidden log when RDAP was asked, else empty
};

class TYmSeek;
// A notification: a handler bound to its owner, called with the worker on the
// user-interface thread while the worker waits.
using TSeekNotify = std::function<void(TYmSeek*)>;

// Where and how fast a worker asks. The program uses the defaults; tests shorten
// the timings and point the worker at a server on loopback.
struct TYmSeekConfig {
    std::string Host = "whois.verisign-grs.com";
    std::uint16_t Port = 43;
    int PacingUnitMs = 1000; // exchanges begin 2 to 4 units apart
    int DataWaitMs = 20000;  // silence that fails an exchange
    int LeftoverPauseMs = 1000;
    std::size_t AnswerCap = 1 << 20; // an answer longer than this fails the exchange
    int ReceiveBufferBytes = 10;
    int MaxReadErrors = 6000;
    // The .com registry's RDAP service (its base address, ending in "/"), asked
    // about a name when the WHOIS exchange gave no usable answer. Empty: WHOIS only.
    std::string RdapBase = "https://rdap.verisign.com/com/v1/";
    std::size_t RdapBodyCap = 1 << 20; // a longer RDAP answer is no answer
    std::string RdapTrustFile;         // tests only: the authority to trust instead of the system's
    // Whether the RDAP service's 404s are believed; shared by the workers of one
    // program. Empty: the worker keeps one of its own.
    std::shared_ptr<TRdapTrust> RdapTrust;
    // Tests only: called on the worker's thread the moment each WHOIS
    // connection has been made (or has failed), with the tick count.
    std::function<void(std::int32_t worker, std::int64_t tickMs)> OnConnected;
    platform::TResolver Resolve;          // empty: the system's host-name lookup
    platform::TThreadStarter StartThread; // empty: a plain system thread
    // Tests only: the connection the worker asks through. Empty: a TcpSocket
    // with the resolver above.
    std::function<std::unique_ptr<platform::IStreamSocket>()> MakeSocket;
};

// A query worker: a thread that works through its own list of names one at a
// time, asks the WHOIS server about each and reports through four notifications.
// When the WHOIS exchange gives no usable answer, the registry's RDAP service is
// asked about the same name before the outcome is reported.
//
// Hand-over between runs: SetDomains and StartSeek come from the user-interface
// thread. When the worker is at rest (new or parked) a new list replaces the old
// one at once. When it is still busy (finishing an exchange after a stop) the
// list waits as a hand-over that the worker itself takes at the top of its next
// pass, so its lists and records are never touched by two threads. While a
// hand-over waits, or the stop flag is set, no notification is delivered: both
// are tested on the user-interface thread right before the handler runs, so no
// answer of a stopped run ever reaches the next run.
class TYmSeek final : public platform::TThread {
public:
    TYmSeek(std::int32_t workerIndex, bool createSuspended, platform::IDispatcher& dispatcher,
            TYmSeekConfig config = {});
    ~TYmSeek() override;

    void SetDomains(const std::vector<std::string>& list);
    void StartSeek();
    void StopSeek();

    // The record at position i, or nullptr when i is out of range.
    TYmSeekRec* GetSeekRec(std::int32_t i);

    std::int32_t WorkerIndex() const { return FWorkerIndex; }
    std::int32_t SeekPos() const { return FSeekPos.load(); }
    std::int32_t DomainCount() const { return static_cast<std::int32_t>(FDomains.size()); }
    const std::vector<std::string>& Domains() const { return FDomains; }
    bool StopFlag() const { return FStopFlag.load(); }

    // The program's end: stop, wake, end and join, cutting a blocked exchange.
    void Shutdown();

    TSeekNotify OnSeekActStart;
    TSeekNotify OnSeekActProcess;
    TSeekNotify OnSeekActOnce;
    TSeekNotify OnSeekActFinish;

    // The four request characters that follow the name.
    static std::string DomainSuffix();

protected:
    void Execute() override;
    void OnTerminate() override;

private:
    void Pass();
    void RecoverFromError();
    void ApplyDomains(const std::vector<std::string>& list);
    void TakeHandover();
    void WaitForPacing(std::int64_t now);
    void SeekOne(std::int32_t i);
    void RefuseOne(std::int32_t i);
    void SeekWhois(TYmSeekRec& rec, std::string& failure);
    void SeekRdap(TYmSeekRec& rec, const std::string& whoisFailure);
    std::string ProbeRdap();
    void NotifySeek(const TSeekNotify& notify);

    const std::int32_t FWorkerIndex;
    const TYmSeekConfig FConfig;
    const std::unique_ptr<platform::IStreamSocket> FSocketOwner;
    platform::IStreamSocket& FSocket;
    platform::HttpsClient FHttps;
    std::shared_ptr<TRdapTrust> FTrust;
    std::vector<TYmSeekRec> FSeekRecs;
    std::vector<std::string> FRefusals; // per name: why it is not asked, or empty
    std::atomic<std::int32_t> FSeekPos{0};
    std::vector<std::string> FDomains;
    std::atomic<bool> FStopFlag{false};
    std::int64_t FLastTick = 0;
    // For a worker that meets an error outside an exchange's own guard: the
    // name being asked (-1: none), whether its answer reached the window, and
    // whether the end of the list was being reported.
    std::int32_t FInHand = -1;
    std::atomic<bool> FDelivered{false};
    bool FFinishing = false;

    platform::Mutex FHandoverMutex;
    std::vector<std::string> FHandover;
    std::atomic<bool> FHandoverPending{false};
};
