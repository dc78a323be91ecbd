#pragma once

#include <QDialog>
#include <QIcon>
#include <QRect>
#include <QString>
#include <vector>

#include "DialogUnits.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QProgressBar;

namespace drovana {

struct DialogControl;

// The converter dialog, the program's one window: two folders, an
// update-only switch, the list of maps to convert and a progress bar. OK runs
// a batch and leaves the dialog open; Cancel, Esc and the close box end it,
// and the three entries are saved once its window is gone.
class CConvertDlg : public QDialog {
    Q_OBJECT

public:
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

protected:
    // Handlers of what the user did.
    virtual void RunConversion();                   // OK button or Enter
    virtual void OnFolderEditLeft(QString& field);  // a folder edit lost the focus
    virtual void OnUpdateOnlyClicked();             // the check box was clicked
    virtual void BrowseShpFolder();                 // Select... beside the SHP folder
    virtual void BrowsePegFolder();                 // Select... beside the PeG folder
    // Rebuilds the list from the fields, then shows the fields in the controls.
    virtual void RefreshFileList();

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
