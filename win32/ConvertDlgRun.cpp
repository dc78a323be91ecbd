// The batch run behind OK: the engine of shp2s16 on every core, on a worker
// thread that posts its progress to the dialog, which keeps painting and
// takes no input but a stop.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <functional>

#include "ConvertDlg.h"
#include "ConvertDlgLayout.h"
#include "PathParts.h"
#include "PreRun.h"
#include "PreviewWindow.h"
#include "WideText.h"

namespace drovana {

namespace {

// The controls a run disables: everything but Cancel.
constexpr int kInputControls[] = {kIdShpFolderEdit, kIdPegFolderEdit, kIdUpdateOnly, kIdShpSelect,
                                  kIdPegSelect,     kIdFileList,      kIdOk};

// A folder text the user typed but never confirmed gets the separator that
// leaving its edit would have added.
void CompleteTypedFolder(std::wstring& field, const std::wstring& confirmed) {
    if (field != confirmed) {
        field = CConvertDlg::ConfirmedFolder(field);
    }
}

std::wstring Format(const char* format, int first, int second = 0) {
    char text[96];
    std::snprintf(text, sizeof(text), format, first, second);
    return WideOf(text);
}

// Tells the dialog's thread what the engine's threads do: each start is
// counted and posted, each failure kept with its reason.
class RunObserver final : public BatchObserver {
public:
    using StartedFn = std::function<void(const BatchItem&)>;
    using FailedFn = std::function<void(const BatchItem&, const std::string&)>;
    RunObserver(StartedFn started, FailedFn failed)
        : started_(std::move(started)), failed_(std::move(failed)) {}

    void Started(const BatchItem& item) override { started_(item); }
    void Finished(const BatchItem& item, const ConvertResult& result) override {
        if (!result.Ok()) {
            failed_(item, DescribeConvertResult(result));
        }
    }

private:
    StartedFn started_;
    FailedFn failed_;
};

}  // namespace

void CConvertDlg::RunConversion() {
    m_nFiles = static_cast<int>(SendMessageW(GetDlgItem(kIdFileList), LB_GETCOUNT, 0, 0));
    if (m_bRunning || m_nFiles < 1) {
        return;
    }
    BatchPlan plan;
    if (PrepareRun(plan)) {
        StartRun(std::move(plan));
    }
}

// Reads what the user typed and plans the run of the listed maps; false,
// with the reason in the status line, when there is nothing to run.
bool CConvertDlg::PrepareRun(BatchPlan& plan) {
    // Enter in an edit reaches here with its text unconfirmed.
    const std::wstring shpListed = m_strShpFolder;
    const std::wstring pegListed = m_strPegFolder;
    const bool updateOnlyListed = m_bUpdateOnly;
    ReadControls();
    CompleteTypedFolder(m_strShpFolder, shpListed);
    CompleteTypedFolder(m_strPegFolder, pegListed);
    // The listed names mean nothing in other folders: convert what the new
    // folders hold.
    if (m_strShpFolder != shpListed || m_strPegFolder != pegListed ||
        m_bUpdateOnly != updateOnlyListed) {
        RefreshFileList();
        if (m_nFiles < 1) {
            return false;
        }
    }
    // Never write where the user did not choose: not into the current
    // folder for an empty text, nor into a folder that is not there.
    if (CheckFolder(Utf8Of(m_strPegFolder)) != FolderState::kFolder) {
        SetStatus(L"The PeG folder does not exist: " + m_strPegFolder);
        return false;
    }
    plan = PlanNamedBatch(Utf8Of(m_strShpFolder), Utf8Of(m_strPegFolder), m_names);
    if (plan.error) {
        SetStatus(L"Cannot read folder " + WideOf(QuotedPath(plan.failedFolder)) + L": " +
                  WideOf(plan.error.message()));
        return false;
    }
    return true;
}

void CConvertDlg::StartRun(BatchPlan plan) {
    m_bRunning = true;
    m_stopRun = false;
    m_started = 0;
    m_startPosted = false;
    m_runFailures.clear();
    m_runCount = static_cast<int>(plan.items.size());
    // A preview would show a target the run is about to replace.
    ClosePreviews(m_hWnd);
    m_focusBeforeRun = GetFocus();
    SetInputEnabled(false);
    // From empty to full as the last file starts.
    const HWND bar = GetDlgItem(kIdProgress);
    SendMessageW(bar, PBM_SETRANGE32, 0, m_runCount);
    SendMessageW(bar, PBM_SETPOS, 0, 0);
    ShowWindow(bar, SW_SHOWNA);

    m_engine = std::thread([this, plan = std::move(plan)] {
        RunObserver observer(
            [this](const BatchItem& item) {
                {
                    const std::lock_guard<std::mutex> lock(m_runMutex);
                    m_lastTarget = item.target.wstring();
                }
                ++m_started;
                // One message waits at a time; it shows the latest start.
                if (!m_startPosted.exchange(true)) {
                    PostMessageW(m_hWnd, kMsgFileStarted, 0, 0);
                }
            },
            [this](const BatchItem& item, const std::string& reason) {
                const std::filesystem::path name = item.source.filename();
                const std::lock_guard<std::mutex> lock(m_runMutex);
                m_runFailures[name] = name.wstring() + L": " + WideOf(reason);
            });
        const int jobs = static_cast<int>(std::thread::hardware_concurrency());
        BatchOutcome outcome = ConvertBatch(plan.items, jobs > 0 ? jobs : 1, m_stopRun, observer);
        {
            const std::lock_guard<std::mutex> lock(m_runMutex);
            m_outcome = outcome;
        }
        // Queued behind every start the engine posted, so none is lost.
        PostMessageW(m_hWnd, kMsgRunDone, 0, 0);
    });
}

void CConvertDlg::OnFileStarted() {
    m_startPosted = false;
    std::wstring target;
    {
        const std::lock_guard<std::mutex> lock(m_runMutex);
        target = m_lastTarget;
    }
    SendMessageW(GetDlgItem(kIdProgress), PBM_SETPOS, static_cast<WPARAM>(m_started.load()), 0);
    SetStatus(target);
}

void CConvertDlg::OnRunDone() {
    // An ending session may have joined it already.
    if (m_engine.joinable()) {
        m_engine.join();
    }
    OnFileStarted();
    ShowWindow(GetDlgItem(kIdProgress), SW_HIDE);
    SetInputEnabled(true);
    m_bRunning = false;
    RefreshFileList();
    m_failures = std::move(m_runFailures);
    m_runFailures.clear();
    MarkFailedMaps();
    ShowRunOutcome(m_outcome, m_runCount);
    // The focus goes back where it was, or to the first control when that
    // one has nothing left to do.
    HWND focus = m_focusBeforeRun;
    if (!focus || !IsWindowEnabled(focus)) {
        focus = GetDlgItem(kIdShpFolderEdit);
    }
    SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(focus), TRUE);
    if (m_bCloseAfterRun) {
        m_bCloseAfterRun = false;
        EndDialog();
    }
}

void CConvertDlg::SetInputEnabled(bool enabled) {
    if (!enabled) {
        // A disabled control keeps no focus worth having; Cancel stops the run.
        SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(kIdCancel)), TRUE);
    }
    for (int id : kInputControls) {
        EnableWindow(GetDlgItem(id), enabled);
    }
}

void CConvertDlg::ShowRunOutcome(const BatchOutcome& outcome, int count) {
    const auto converted = static_cast<int>(outcome.converted);
    const auto failed = static_cast<int>(outcome.failed);
    if (outcome.interrupted) {
        m_strRunStatus = Format("Stopped: %d of %d files converted", converted, count);
    } else if (outcome.syncError) {
        // None of the new names is sure to last.
        m_strRunStatus = Format("%d of %d files could not be converted", count, count);
    } else if (failed > 0) {
        m_strRunStatus = Format("%d of %d files could not be converted", failed, count);
    } else {
        m_strRunStatus = Format("%d files converted", converted);
    }
    SetStatus(m_strRunStatus);
}

// Each listed map whose conversion failed carries a mark in its entry's data.
void CConvertDlg::MarkFailedMaps() {
    const HWND list = GetDlgItem(kIdFileList);
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        SendMessageW(list, LB_SETITEMDATA, i, m_failures.count(m_names[i]) != 0 ? 1 : 0);
    }
    InvalidateRect(list, nullptr, TRUE);
}

}  // namespace drovana
