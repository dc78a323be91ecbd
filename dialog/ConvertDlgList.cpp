// The list of maps to convert and the handlers that rebuild it.
#include "ConvertDlg.h"

namespace drovana {

void CConvertDlg::RefreshFileList() {
    // Filling the list from the folders comes next; the fields already reach
    // the controls here, as they must after every rebuild.
    WriteControls();
}

void CConvertDlg::OnFolderEditLeft(QString& field) {
    Q_UNUSED(field);
}

void CConvertDlg::OnUpdateOnlyClicked() {}

}  // namespace drovana
