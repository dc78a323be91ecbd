// The batch run behind OK.
#include "ConvertDlg.h"

namespace drovana {

void CConvertDlg::RunConversion() {
    // The batch itself comes next. OK never closes the dialog.
}

}  // namespace drovana
