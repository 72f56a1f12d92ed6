// The keyboard's way to report an event: a tip in the tip window.
#include "app/frmKbd.h"
#include "tip/frmTip.h"

namespace orv {

// The icon goes in first and is cut to its outline so the skin shows
// around it; each caption change then lays the tip out and slides it in.
void FrmKbd::ShowInfoTTip(const std::wstring& XString, int XIcon) {
  if (tip_ == nullptr) return;
  tip_->EnsureLoaded();
  tip_->picIcon.SetPicture(tip_->imgIcons.ListImage(XIcon));
  Color transparent = kMagenta;
  kelp_.ShapeWindowFromPicture(tip_->picIcon, transparent);
  tip_->lblInfo[0].SetCaption(XString);
  tip_->lblInfo[1].SetCaption(L"");
  tip_->ShowTip();
}

}  // namespace orv
