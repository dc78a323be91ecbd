#pragma once

#include <QDialog>
#include <QIcon>
#include <QRect>
#include <QString>
#include <filesystem>
#include <functional>
#include <vector>

#include "ConvertShpToS16.h"
#include "DialogUnits.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
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

    // Data exchange without validation: "read" copies the two edits and the
    // check box into their fields, "write" puts the fields into them.
    void ReadControls();
    void WriteControls();

    // Ends the dialog; its window is gone afterwards, so the settings are saved.
    void done(int result) override;

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
    // Converts one listed file during a run; 1 when the target was written.
    virtual int ConvertOneFile(const std::filesystem::path& source,
                               const std::filesystem::path& target, const ConvertOptions& options);

    // The folder the user chooses, opening on `initial` (the current folder
    // when empty), with its trailing separator; "" when the user cancels.
    QString BrowseForFolder(const QString& initial, const QString& title);

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

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
};

// The running converter dialog; the folder picker finds its owner window here.
extern CConvertDlg* g_pMainDlg;

}  // namespace drovana
