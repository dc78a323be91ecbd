#pragma once

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "BatchConvert.h"
#include "RegistrySettings.h"

namespace drovana {

// The converter dialog as a native Windows dialog, made from the same layout
// table as the Qt one and behaving as it does: two folders, an update-only
// switch, the list of maps to convert and a progress bar. OK runs a batch on
// a worker thread and leaves the dialog open; Cancel, Esc and the close box
// stop a run, and outside one end the dialog, whose three entries are saved
// once its window is gone.
class CConvertDlg {
public:
    // Posted by the run to the dialog.
    static constexpr UINT kMsgFileStarted = WM_APP + 1;
    static constexpr UINT kMsgRunDone = WM_APP + 2;

    // The settings are filed under `settingsApplication` (see
    // ApplicationNameFor).
    explicit CConvertDlg(std::wstring settingsApplication);
    CConvertDlg(const CConvertDlg&) = delete;
    CConvertDlg& operator=(const CConvertDlg&) = delete;
    ~CConvertDlg();

    // Creates the dialog's window, hidden, and initialises it; nullptr when
    // Windows refuses.
    HWND Create(HINSTANCE instance);
    HWND GetSafeHwnd() const { return m_hWnd; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    bool IsRunning() const { return m_bRunning; }

    // Folders named at start (UTF-8, empty when not given) take the place of
    // the stored ones; a stored folder stays unless the user puts another
    // folder in the given one's place. Called before Create.
    void SetStartFolders(const std::string& shpFolder, const std::string& pegFolder);

    // Asks the user for a folder: owner, folder to open on, prompt. Returns
    // the chosen folder, or "" on cancel.
    using FolderChooser = std::function<std::wstring(HWND owner, const std::wstring& startFolder,
                                                     const std::wstring& prompt)>;
    // Replaces the system's chooser, so that a caller can answer it itself.
    void SetFolderChooser(FolderChooser chooser) { m_chooseFolder = std::move(chooser); }

    // Keyboard navigation of the dialog for a message loop: true when the
    // message was the dialog's.
    bool PreTranslateMessage(MSG& message) const;

    // A folder text as leaving its edit confirms it: with its trailing
    // separator, unless empty.
    static std::wstring ConfirmedFolder(const std::wstring& text);

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnCommand(int id, int code);
    void OnCancel();  // Cancel, Esc
    void OnClose();   // the close box
    void EndDialog();
    void OnWindowGone();
    void EnableToolTips();
    void SetIcons();
    void SetStatus(const std::wstring& text);
    void ReadControls();
    void WriteControls();

    // Settings (ConvertDlgSettings.cpp).
    void LoadSettings();
    void SaveSettings();

    // The list (ConvertDlgList.cpp).
    void RefreshFileList();
    void OnFolderEditLeft(std::wstring& field);
    void OnUpdateOnlyClicked();
    void OnListSelectionChanged();
    void OnFileDoubleClicked();
    void FitListColumns();
    void DrawListItem(const DRAWITEMSTRUCT& item) const;

    // The run (ConvertDlgRun.cpp).
    void RunConversion();
    bool PrepareRun(BatchPlan& plan);
    void StartRun(BatchPlan plan);
    void OnFileStarted();
    void OnRunDone();
    void SetInputEnabled(bool enabled);
    void ShowRunOutcome(const BatchOutcome& outcome, int count);
    void MarkFailedMaps();

    // The folder picker (FolderPicker.cpp).
    std::wstring BrowseForFolder(const std::wstring& initial, const std::wstring& title);
    void BrowseShpFolder();
    void BrowsePegFolder();

    HWND m_hWnd = nullptr;
    HWND m_toolTip = nullptr;
    CRegistrySettings m_settings;
    FolderChooser m_chooseFolder;
    bool m_bOpen = false;  // initialised, settings not yet saved

    std::wstring m_strPegFolder;  // PeG target folder, with trailing separator
    std::wstring m_strShpFolder;  // SHP source folder, with trailing separator
    bool m_bUpdateOnly = false;
    int m_nFiles = 0;                            // entries in the list, as last counted
    std::vector<std::filesystem::path> m_names;  // the listed maps, in list order
    std::map<std::filesystem::path, std::wstring> m_failures;  // reasons, by listed name
    std::wstring m_strRunStatus;  // what the status line said when the run ended
    int m_markSide = 16;          // of a failure mark in the list, in pixels

    std::wstring m_strStartShpFolder;
    std::wstring m_strStartPegFolder;

    // The run under way, if any.
    bool m_bRunning = false;
    bool m_bCloseAfterRun = false;
    HWND m_focusBeforeRun = nullptr;
    int m_runCount = 0;
    std::thread m_engine;
    std::atomic<bool> m_stopRun{false};
    std::atomic<int> m_started{0};
    std::atomic<bool> m_startPosted{false};
    std::mutex m_runMutex;                                        // guards the three below
    std::wstring m_lastTarget;                                    // the file the run began last
    std::map<std::filesystem::path, std::wstring> m_runFailures;  // "MAP07.SHP: reason"
    BatchOutcome m_outcome;                                       // set when the engine ends
};

}  // namespace drovana
