// The preview a double-click on a listed map opens.
#include <QListWidget>

#include "BatchRules.h"
#include "ConvertDlg.h"
#include "NativeText.h"
#include "PathParts.h"
#include "PreviewWindow.h"

namespace drovana {

void CConvertDlg::OnFileDoubleClicked(QListWidgetItem* item) {
    if (m_bRunning || !item) {
        return;
    }
    const std::filesystem::path name =
        PathOf(item->data(kNativeNameRole).toByteArray().toStdString());
    OpenPreview(this, SourcePathFor(ToNative(m_strShpFolder), name),
                TargetPathFor(ToNative(m_strPegFolder), name));
}

}  // namespace drovana
