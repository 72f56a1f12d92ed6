// A tip in the tip window: how the keyboard reports an event.
#pragma once
#include <string>

#include "tip/frmTip.h"

namespace orv {

// Shows `text` with tip icon `icon` (from 1) and slides the tip in, on the
// screen of `keyboard` and clear of its keys and of the word strip above them.
void ShowTipIn(FrmTip& tip, KelpUltimate& kelp, const std::wstring& text, int icon,
               const Form& keyboard, const Form* strip = nullptr);

}  // namespace orv
