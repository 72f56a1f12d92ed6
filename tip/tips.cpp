// A tip in the tip window.
#include "tip/tips.h"

namespace orv {

// The icon goes in first and is cut to its outline so the skin shows
// around it; each caption change then lays the tip out and slides it in.
void ShowTipIn(FrmTip& tip, KelpUltimate& kelp, const std::wstring& text, int icon,
               const Form& keyboard, const Form* strip) {
  tip.StayClearOf(keyboard, strip);
  tip.EnsureLoaded();
  tip.picIcon.SetPicture(tip.imgIcons.ListImage(icon));
  Color transparent = kMagenta;
  kelp.ShapeWindowFromPicture(tip.picIcon, transparent);
  tip.lblInfo[0].SetCaption(text);
  tip.lblInfo[1].SetCaption(L"");
  tip.ShowTip();
}

}  // namespace orv
