// Window commands: z-order, opacity, shape and closing other windows.
#include "app/window_routines.h"
#include "utility/KelpUltimate.h"

namespace orv {

void KelpUltimate::SetTopmost(const Form& form, bool activate) {
  const unsigned flags = activate ? (kSwpNoSize | kSwpNoMove)
                                  : (kSwpNoSize | kSwpNoMove | kSwpNoActivate);
  p_.user32.SetWindowPos(form.hWnd(), kHwndTopmost, 0, 0, form.Width(), form.Height(), flags);
}

}  // namespace orv
