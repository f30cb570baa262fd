#include "app/instances.h"

namespace kelvor {

TFormDDE* FormDDE = nullptr;
TConstanteDlg* ConstanteDlg = nullptr;

} // namespace kelvor
