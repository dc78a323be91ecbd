// Choosing the two folders with the platform's folder chooser.
#include "ConvertDlg.h"

namespace drovana {

void CConvertDlg::BrowseShpFolder() {}

void CConvertDlg::BrowsePegFolder() {}

}  // namespace drovana
