// Layout strings and the one operation that puts a layout onto the keys.
#include "app/frmKbd.h"

namespace orv {

const std::array<std::wstring, kLayouts> kDefaultLayouts{
    L"1234567890-=йцукенгшщзхъфывапролджэ\\ячсмитьбю.,",
    L"!\"№;%:?*()_+ЙЦУКЕНГШЩЗХЪФЫВАПРОЛДЖЭ/ЯЧСМИТЬБЮ.,",
    L"1234567890-=qwertyuiop[]asdfghjkl;'\"zxcvbnm,./?",
    L"!@#$%^&*()_+QWERTYUIOP{}ASDFGHJKL:\"\\ZXCVBNM<>?/",
};

// Captions the keys from layout `index`: one character per key, keys past
// the end of a short layout left blank. Runs on every edit of a layout box,
// so the keys always show the layout being edited.
void FrmKbd::txtLang_Change(int index) {
  if (index < 0 || index >= kLayouts) return;
  const std::wstring& s = txtLang[static_cast<std::size_t>(index)].Text();
  for (std::size_t k = 0; k < lblX.size(); ++k) {
    lblX[k].SetCaption(k < s.size() ? std::wstring(1, s[k]) : std::wstring());
  }
}

}  // namespace orv
