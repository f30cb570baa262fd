#pragma once
// The permanent exchange objects, created at start-up after the main window and
// reached by the measurement windows when they send or save. Null before start-up
// and in tests that do not install them.

namespace kelvor {

class TFormDDE;
class TConstanteDlg;

extern TFormDDE* FormDDE;
extern TConstanteDlg* ConstanteDlg;

} // namespace kelvor
