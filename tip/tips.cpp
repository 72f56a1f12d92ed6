// The keyboard's way to report an event: a tip in the tip window.
#include "app/frmKbd.h"
#include "tip/frmTip.h"

namespace orv {

// Tips need the tip window; without one there is nothing to show them in.
void FrmKbd::ShowInfoTTip(const std::wstring& XString, int XIcon) {
  if (tip_ == nullptr) return;
}

}  // namespace orv
