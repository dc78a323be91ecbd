#pragma once

#include <QDialog>
#include <QIcon>
#include <QRect>
#include <QString>
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

#include "BatchConvert.h"
#include "DialogUnits.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;

namespace drovana {

struct DialogControl;

// The converter dialog, the program's one window: two folders, an
// update-only switch, the list of maps to convert and a progress bar. OK runs
// a batch and leaves the dialog open; Cancel, Esc and the close box end it,
// and the three entries are saved once its window is gone.
class CConvertDlg : public QDialog {
    Q_OBJECT

public:
    // Where each list entry keeps its file name as the file system spells it
    // (a QByteArray); the entry's text may have replaced bytes it cannot show.
    static constexpr int kNativeNameRole = Qt::UserRole;
    // Why the entry's map failed in the last run (a QString), if it did.
    static constexpr int kFailureRole = Qt::UserRole + 1;

    explicit CConvertDlg(QWidget* parent = nullptr);
    ~CConvertDlg() override;

    // Controls by the ids of dialog layout 129; nullptr for an unknown id.
    QWidget* GetDlgItem(int id) const;
    // The id a dialog control carries; 0 for a widget without one.
    static int GetDlgCtrlID(const QWidget* widget);
    // Pixels for a rectangle in this dialog's dialog units.
    QRect MapDialogRect(const QRect& dialogUnits) const;

    void LoadSettings();
    void SaveSettings();

    // Folders named when the program started (empty when not given) take the
    // place of the stored ones. A stored folder stays as it was unless the
    // user puts another folder in the given one's place.
    void SetStartFolders(const QString& shpFolder, const QString& pegFolder);

    // A folder text as leaving its edit confirms it: with its trailing
    // separator, unless empty.
    static QString ConfirmedFolder(const QString& text);

    // The status line's text for a folder that could not be listed.
    static QString CannotReadFolder(const std::filesystem::path& folder,
                                    const std::error_code& error);

    // Data exchange without validation: "read" copies the two edits and the
    // check box into their fields, "write" puts the fields into them.
    void ReadControls();
    void WriteControls();

    // Ends the dialog; its window is gone afterwards, so the settings are saved.
    void done(int result) override;
    // Cancel and Esc: during a run they stop it and keep the dialog open.
    void reject() override;

    // Asks the user for a folder: owner window, folder to open on, prompt.
    // Returns the chosen folder as the chooser spells it, or "" on cancel.
    using FolderChooser =
        std::function<QString(QWidget* owner, const QString& startFolder, const QString& prompt)>;
    // Replaces the platform's chooser, so that a caller can answer it itself.
    void SetFolderChooser(FolderChooser chooser);

protected:
    // Handlers of what the user did.
    virtual void RunConversion();                   // OK button or Enter
    virtual void OnFolderEditLeft(QString& field);  // a folder edit lost the focus
    virtual void OnUpdateOnlyClicked();             // the check box was clicked
    virtual void BrowseShpFolder();                 // Select... beside the SHP folder
    virtual void BrowsePegFolder();                 // Select... beside the PeG folder
    // Rebuilds the list from the fields, then shows the fields in the controls.
    virtual void RefreshFileList();
    // During a run, on this thread: the bar and the status line for the
    // `started`th file, whose target is `target`.
    virtual void ShowFileStarted(int started, const QString& target);

    // The folder the user chooses, opening on `initial` (the current folder
    // when empty), with its trailing separator; "" when the user cancels.
    QString BrowseForFolder(const QString& initial, const QString& title);

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // During a run, the close box stops it and closes the dialog once the
    // run has ended.
    void closeEvent(QCloseEvent* event) override;

    QProgressBar* m_progress = nullptr;
    QListWidget* m_fileList = nullptr;

    QString m_strPegFolder;  // PeG target folder, with trailing separator
    QString m_strShpFolder;  // SHP source folder, with trailing separator
    bool m_bUpdateOnly = false;
    int m_nFiles = 0;  // entries in the list, as last counted
    QIcon m_hIcon;

private:
    void CreateControls();
    QWidget* CreateControl(const DialogControl& control);
    void ConnectControls();
    // Runs when the window first shows, as the dialog opens.
    void OnInitDialog();
    // Saves the entries, once per opening, when the window has been hidden for good.
    void OnWindowGone();
    void EnableToolTips();
    // Puts the user's copy of the samples in the fields when the program's
    // folder holds no maps.
    void OpenOnSamplesIfNoMaps();
    // The run behind OK, on the batch engine's threads.
    bool PrepareRun(BatchPlan& plan);
    BatchOutcome RunBatch(const BatchPlan& plan);
    void SetInputEnabled(bool enabled);
    static QString RunOutcomeText(const BatchOutcome& outcome, int count);
    // Whether the list is of the folders and switch the last run used.
    bool ShowsLastRun() const;
    void MarkEntry(QListWidgetItem& item) const;
    void OnListSelectionChanged();
    // Opens a preview of the map and its S16 picture; nothing during a run.
    void OnFileDoubleClicked(QListWidgetItem* item);

    QLineEdit* m_shpFolderEdit = nullptr;
    QLineEdit* m_pegFolderEdit = nullptr;
    QCheckBox* m_updateOnlyCheck = nullptr;
    QPushButton* m_okButton = nullptr;
    QLabel* m_statusLine = nullptr;
    QLabel* m_fileCount = nullptr;
    FolderChooser m_chooseFolder;

    struct Control {
        int id;
        QWidget* widget;
    };
    std::vector<Control> m_controls;  // every control, in tab order
    DialogBaseUnits m_baseUnits;
    bool m_bOpen = false;  // initialised, settings not yet saved

    // The run under way, if any.
    bool m_bRunning = false;
    bool m_bCloseAfterRun = false;
    std::atomic<bool> m_stopRun{false};
    std::mutex m_failuresMutex;
    // Why each map of the last run failed: "MAP07.SHP: reason", by the map's
    // file name as the file system spells it.
    std::map<std::string, QString> m_failures;
    QString m_strRunStatus;  // what the status line said when the run ended
    struct RunFolders {
        QString shpFolder;
        QString pegFolder;
        bool updateOnly = false;
    };
    RunFolders m_lastRun;  // what the last run converted with

    // What the status line says once the dialog has opened, if not the usual.
    QString m_strStartNote;
    // Folders given at start, with trailing separator; empty when not given.
    QString m_strStartShpFolder;
    QString m_strStartPegFolder;
};

// The running converter dialog, while the program shows it.
extern CConvertDlg* g_pMainDlg;

}  // namespace drovana
