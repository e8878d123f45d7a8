#include "Main.h"

#include "Base.h"
#include "Export.h"
#include "FileSystem.h"
#include "Generator.h"
#include "Publisher.h"
#include "Request.h"
#include "Texts.h"
#include "Version.h"
#include "WebLink.h"

namespace {

VT_TEXT(CaptionHead, "Vantreel v" VT_VERSION " - ")
VT_TEXT(ShortcutDescriptionHead, "免费专业域名分析软件，欢迎到")
VT_TEXT(ShortcutDescriptionTail, "下载最新版本。")
VT_TEXT(ProfileCaption, "域名设置组合的名称")
VT_TEXT(ProfilePrompt, "请输入设置组合的名称：")
VT_TEXT(ExportFilterName, "文本文件")
VT_TEXT(ExportTableFilterName, "全部结果")

constexpr int kProfileNameMaxLength = 255;

} // namespace

TMainForm::TMainForm(IMainView& view, TMainFormOptions options)
    : view_(view), options_(std::move(options)), dispatcher_([this] { view_.RequestPump(); }) {
    executablePath_ =
        options_.ExecutablePath.empty() ? platform::ExecutablePath() : options_.ExecutablePath;
    folders_ = platform::LocateProgramFolders(executablePath_, options_.UserSettings.empty()
                                                                   ? platform::UserSettingsFolder()
                                                                   : options_.UserSettings);
    iniPath_ = options_.IniPath.empty() ? folders_.Settings.Join("kestrova.ini") : options_.IniPath;
    FormCreate();
}

TMainForm::~TMainForm() {
    Shutdown();
}

template <class F> void TMainForm::Guarded(F&& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        view_.ShowError(dialogs::ErrorDisplayText(error.what()));
    }
}

// ---------------------------------------------------------------- start

void TMainForm::FormCreate() {
    Guarded([this] {
        view_.SetCaption(CaptionHead() + publisher::Name() + " " + publisher::WebAddress());
    });
    // The workers and the run controller are made whole or not at all: a
    // window without them would have nothing behind its buttons. Without them
    // the start is refused with a message, and the toolkit ends the program
    // (Started() says so); nothing else of the start sequence runs.
    try {
        std::vector<std::unique_ptr<TYmSeek>> workers;
        std::vector<TYmSeek*> pool;
        // One judgement of the RDAP service's 404s for the whole program.
        TYmSeekConfig seek = options_.Seek;
        if (!seek.RdapTrust) {
            seek.RdapTrust = std::make_shared<TRdapTrust>();
        }
        for (int i = 0; i < kWorkerCount; ++i) {
            auto worker = options_.MakeWorker
                              ? options_.MakeWorker(i, dispatcher_, seek)
                              : std::make_unique<TYmSeek>(i, true, dispatcher_, seek);
            worker->OnSeekActStart = Bind(&TMainForm::BakOnSeekActStart);
            worker->OnSeekActProcess = Bind(&TMainForm::BakOnSeekActProcess);
            worker->OnSeekActOnce = Bind(&TMainForm::BakOnSeekActOnce);
            worker->OnSeekActFinish = Bind(&TMainForm::BakOnSeekActFinish);
            pool.push_back(worker.get());
            workers.push_back(std::move(worker));
        }
        auto runs = std::make_unique<TRunController>(list_, pool, static_cast<IRunView&>(view_),
                                                     options_.StopPauseMs);
        handlerDepth_.assign(workers.size(), 0);
        workers_ = std::move(workers);
        runs_ = std::move(runs);
    } catch (const std::exception& error) {
        // The workers made so far end with the vector that held them.
        view_.ShowError(dialogs::ErrorDisplayText(texts::StartFailed() + error.what()));
        return;
    }
    Guarded([this] {
        profileNames_ = ListProfiles(iniPath_);
        view_.SetProfileNames(profileNames_);
        view_.SelectProfile(-1);

        CreateDesktopShortcut(executablePath_, "", texts::AppTitle(),
                              ShortcutDescriptionHead() + publisher::WebHost() +
                                  ShortcutDescriptionTail());
    });
}

void TMainForm::PumpNotifications() {
    dispatcher_.PumpAll();
}

TSeekNotify TMainForm::Bind(void (TMainForm::*handler)(TYmSeek*)) {
    return [this, handler](TYmSeek* worker) {
        // Counted while it runs: the end of the window must not wait for this
        // worker, which waits for this very handler to return.
        int& depth = handlerDepth_[static_cast<std::size_t>(worker->WorkerIndex())];
        ++depth;
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{depth};
        (this->*handler)(worker);
    };
}

void TMainForm::Shutdown() {
    if (!shutDown_) {
        shutDown_ = true;
        // First refuse every notification and release the workers waiting for
        // one, then tell each worker to end; a blocked exchange or lookup is cut.
        dispatcher_.Shutdown();
        for (auto& worker : workers_) {
            worker->StopSeek();
            worker->Terminate();
        }
    }
    // Join every worker but those whose handler is still on the stack (a box of
    // theirs is open and the window closed in its loop): they end as soon as
    // their handler returns, and a later call (at the latest the destructor's)
    // joins them.
    for (std::size_t i = 0; i < workers_.size(); ++i) {
        if (handlerDepth_[i] == 0) {
            workers_[i]->Shutdown();
        }
    }
}

// ---------------------------------------------------------------- runs

void TMainForm::xInquireBtClick() {
    if (!Started()) {
        return;
    }
    Guarded([this] { runs_->StartRun(); });
}

void TMainForm::xReInquireBtClick() {
    if (!Started()) {
        return;
    }
    Guarded([this] { runs_->StartRetryRun(); });
}

void TMainForm::xStopBtClick() {
    if (!Started()) {
        return;
    }
    Guarded([this] { runs_->StopRun(); });
}

void TMainForm::BakOnSeekActStart(TYmSeek* worker) {
    Guarded([&] { runs_->SeekStarted(worker); });
}

void TMainForm::BakOnSeekActProcess(TYmSeek* worker) {
    Guarded([&] { runs_->SeekProgressed(worker); });
}

void TMainForm::BakOnSeekActOnce(TYmSeek* worker) {
    Guarded([&] { runs_->SeekAnswered(worker); });
}

void TMainForm::BakOnSeekActFinish(TYmSeek* worker) {
    Guarded([&] { runs_->SeekFinished(worker); });
}

// ---------------------------------------------------------------- list

void TMainForm::xClearBtClick() {
    Guarded([this] { list_.Clear(); });
}

void TMainForm::RzListViewColumnClick(int column) {
    Guarded([&] {
        sortColumn_ = column;
        list_.Sort(sortColumn_);
    });
}

void TMainForm::RzListViewCopy(const std::vector<int>& rows) {
    Guarded([&] {
        if (!rows.empty() && !view_.SetClipboardText(RowsText(list_, rows))) {
            view_.ShowMessage(texts::ClipboardBusy());
        }
    });
}

void TMainForm::RzListViewReInquire(const std::vector<int>& rows) {
    if (!Started()) {
        return;
    }
    Guarded([&] { runs_->StartRunOf(rows); });
}

void TMainForm::RzListViewDelete(const std::vector<int>& rows) {
    if (!Started()) {
        return;
    }
    Guarded([&] {
        if (rows.empty()) {
            return;
        }
        // The rows of a run stay while it goes on: its answers find them.
        if (runs_->InProgress()) {
            view_.ShowMessage(texts::RunInProgress());
            return;
        }
        list_.RemoveRows(rows);
        view_.SetCountLabel(CountLabelAfterGeneration(list_.Count()));
    });
}

void TMainForm::RzListViewCommand(layout::ListCommand command, const std::vector<int>& rows) {
    switch (command) {
    case layout::ListCommand::Copy:
        RzListViewCopy(rows);
        break;
    case layout::ListCommand::ReInquire:
        RzListViewReInquire(rows);
        break;
    case layout::ListCommand::Delete:
        RzListViewDelete(rows);
        break;
    }
}

void TMainForm::xExportBtClick() {
    Guarded([this] {
        const std::vector<std::string> names = CollectAvailable(list_);
        dialogs::SaveOptions options;
        options.filterName = ExportFilterName();
        options.filterPattern = "*.txt";
        options.defaultExtension = "txt";
        options.moreFilters.push_back({ExportTableFilterName(), "*.csv", "csv"});
        // An installed copy's folder is not the user's: the dialog then opens
        // where the system chooses (the user's own folders).
        if (!folders_.Installed) {
            options.initialFolder = executablePath_.Folder();
        }
        options.fileName = lastExportName_;
        platform::FilePath chosen;
        if (!view_.AskSaveFileName(options, chosen) || chosen.empty()) {
            return;
        }
        chosen = dialogs::WithDefaultExtension(chosen, options.defaultExtension);
        lastExportName_ = chosen;
        if (IsCsvFileName(chosen)) {
            WriteCsvFile(chosen, list_);
        } else {
            WriteExportFile(chosen, names);
        }
    });
}

// ---------------------------------------------------------------- generation

void TMainForm::stBt1Click() {
    if (!Started()) {
        return;
    }
    Guarded([this] {
        const TProfileValues filters = view_.FilterValues();
        TGenerationInputs inputs;
        inputs.Memo = view_.MemoText();
        inputs.LenMin = filters.YmLenSp1;
        inputs.LenMax = filters.YmLenSp2;
        inputs.Han = filters.YmHanEd;
        inputs.Pai = filters.YmPaiEd;
        inputs.PiPei = filters.YmPiPeiEd;
        inputs.Duplication = filters.DuplicationChk;
        inputs.PrevKey = filters.PrevKeyEd;
        inputs.LastKey = filters.LastKeyEd;
        inputs.WordsOnly = filters.YmCiYuChk;
        std::string refusal;
        const auto request =
            ReadGenerationRequest(inputs, runs_->InProgress(), list_.Count(), refusal);
        if (!request) {
            view_.ShowMessage(refusal);
            return;
        }
        list_.AddPendingRows(GenerateCaptions(*request));
        view_.SetCountLabel(CountLabelAfterGeneration(list_.Count()));
    });
}

void TMainForm::stBt2Click() {
    if (!Started()) {
        return;
    }
    Guarded([this] {
        if (runs_->InProgress()) {
            view_.ShowMessage(texts::RunInProgress());
            return;
        }
        list_.Clear();
        view_.SetCountLabel(CountLabelAfterEmptying(list_.Count()));
    });
}

// ---------------------------------------------------------------- profiles

void TMainForm::SettingCbbChange(int index) {
    Guarded([&] {
        if (index < 0 || index >= static_cast<int>(profileNames_.size())) {
            return;
        }
        TProfileValues values =
            LoadProfile(iniPath_, profileNames_[static_cast<std::size_t>(index)]);
        values.YmLenSp1 = ClampLength(values.YmLenSp1);
        values.YmLenSp2 = ClampLength(values.YmLenSp2);
        view_.SetFilterValues(values);
    });
}

void TMainForm::stBt3Click() {
    Guarded([this] {
        view_.SetFilterValues(ClearedProfileValues());
        view_.SelectProfile(-1);
    });
}

void TMainForm::stBt4Click() {
    Guarded([this] {
        std::string name;
        if (!view_.AskText(ProfileCaption(), ProfilePrompt(), name, kProfileNameMaxLength) ||
            name.empty()) {
            return;
        }
        SaveProfile(iniPath_, name, view_.FilterValues());
        profileNames_.push_back(name);
        view_.SetProfileNames(profileNames_);
        view_.SelectProfile(static_cast<int>(profileNames_.size()) - 1);
    });
}

// ---------------------------------------------------------------- shell

void TMainForm::xHelpBtClick() {
    Guarded([this] {
        const platform::FilePath help = publisher::HelpFile(folders_.Data);
        if (!platform::OpenLocalFile(help)) {
            throw AppError(texts::HelpOpenFailed() + help.ToText());
        }
    });
}

void TMainForm::xAboutBtClick() {
    Guarded([this] { view_.ShowAboutBox(); });
}

void TMainForm::xCloseBtClick() {
    Guarded([this] {
        if (Started()) {
            runs_->StopRun();
        }
        view_.CloseWindow();
    });
}
