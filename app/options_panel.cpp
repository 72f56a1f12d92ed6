// The options panel: opening it, the font and colour options, and the two
// buttons that act on the history and on autostart.
#include "app/options_panel.h"

#include <algorithm>
#include <cwchar>

#include "app/frmKbd.h"
#include "settings/registry.h"
#include "tip/frmTip.h"

namespace orv {

namespace {
const std::wstring kAutostartQuestion =
    L"Включить автозапуск OrvKey при каждой\r\nзагрузке операционной системы?";
const wchar_t* const kAutostartFailedTip = L"Автозагрузка не изменена";
constexpr unsigned kMbOkCancelQuestion = 33;
constexpr int kIdOk = 1;
}  // namespace

std::int32_t OptionsPanel::CollapsedHeight(Toolkit& toolkit) {
  return TwipsToPixels(kCollapsedHeightTwips, toolkit.Dpi());
}

// A keyboard parked at the bottom of the screen moves up while the panel is
// open, so that the panel can be reached, and goes back down when it closes.
bool OptionsPanel::Toggle(Form& window, Toolkit& toolkit, User32& user32) {
  const int expanded = TwipsToPixels(kExpandedHeightTwips, toolkit.Dpi());
  if (window.Height() == expanded) {
    window.SetHeight(CollapsedHeight(toolkit));
    if (top_before_) window.SetTop(*top_before_);
    top_before_.reset();
    return true;
  }
  window.SetHeight(expanded);
  Rect work;
  if (user32.SystemParametersInfoWorkArea(work) && window.Top() + window.Height() > work.bottom) {
    top_before_ = window.Top();
    window.SetTop(std::max(work.top, work.bottom - window.Height()));
  }
  return false;
}

// The first key holds the look; the others copy it, and with colours_too the
// function keys and the edit line take its colour.
void FrmKbd::PropagateTemplateKey(bool colours_too) {
  const auto& tmpl = lblX[0];
  for (std::size_t i = 1; i < lblX.size(); ++i) {
    lblX[i].SetFont(tmpl.Font());
    lblX[i].SetForeColor(tmpl.ForeColor());
  }
  // The strip's words look like the keys, at a size that keeps them inside it.
  Font words = tmpl.Font();
  words.size = std::clamp(words.size, 9.0, 15.0);
  for (auto& word : frmWords.lblWord) {
    word.SetFont(words);
    word.SetForeColor(tmpl.ForeColor());
  }
  if (!colours_too) return;
  for (auto& key : lblControl) key.SetForeColor(tmpl.ForeColor());
  cmbText.SetForeColor(tmpl.ForeColor());
}

// Every option box re-spreads the look, even those that change none of it.
void FrmKbd::chkFont_Click(int index) {
  auto& tmpl = lblX[0];
  const int value = chkFont[static_cast<std::size_t>(index)].Value();
  switch (index) {
    case kChkBold: tmpl.SetFontBold(value == 1); break;
    case kChkItalic: tmpl.SetFontItalic(value == 1); break;
    case kChkUnderline: tmpl.SetFontUnderline(value == 1); break;
    case kChkColor1:
      if (const auto c = kelp_.PickColor(hWnd(), tmpl.ForeColor()); c != -1) {
        tmpl.SetForeColor(static_cast<Color>(c));
      }
      break;
    case kChkColor2:
      // Said first, whatever the Tips option: the dialog alone does not say
      // which colour it is asking for.
      ShowInfoTTip(L"Укажите цвет клавиш при нажатии", kTipIconKeyboard);
      if (const auto c = kelp_.PickColor(hWnd(), highlight_.DownColor()); c != -1) {
        highlight_.SetDownColor(static_cast<Color>(c));
      }
      break;
    case kChkShiftAsCaps: shift_.SetShiftAsCaps(static_cast<std::int16_t>(value)); break;
    case kChkSuggestions:
      SaveSuggestionsOption(p_, value == 1);
      if (value == 1) suggestions_.StartLoading();
      OfferWords();
      break;
    default: break;  // Tips and the tray option are read where they are used
  }
  PropagateTemplateKey(true);
}

// Picked by the user or selected by the settings loader alike.
void FrmKbd::cmbFont_Click() {
  if (cmbFont.ListIndex() < 0) return;
  lblX[0].SetFontName(cmbFont.List(cmbFont.ListIndex()));
  PropagateTemplateKey(false);
}

// The size lands on the character keys only; the function keys keep theirs.
void FrmKbd::cmbSize_Click() {
  if (cmbSize.ListIndex() < 0) return;
  lblX[0].SetFontSize(std::wcstod(cmbSize.List(cmbSize.ListIndex()).c_str(), nullptr));
  PropagateTemplateKey(false);
}

// "Clr History" forgets the texts and writes the file at once, so that a
// power cut cannot bring them back; "Autorun" asks and sets or empties the
// Run value.
void FrmKbd::cmdHistory_Click(int index) {
  if (index == 0) {
    history_.Clear();
    suggestions_.Forget();
    cmbText.Clear();
    if (SaveSettings() && chkFont[kChkTips].Value() == 1) {
      ShowInfoTTip(L"История удалена", kTipIconKeyboard);
    }
    return;
  }
  if (index != 1) return;
  SetVisible(false);
  // Back on screen however the question ends: a hidden keyboard without a
  // tray icon could not be reached again.
  struct ShowAgain {
    Form& form;
    ~ShowAgain() { form.SetVisible(true); }
  } show_again{*this};
  const int answer =
      p_.user32.MessageBoxW(hWnd(), kAutostartQuestion, p_.toolkit.AppTitle(), kMbOkCancelQuestion);
  // The tip reports the user's choice once it is stored, and says so when
  // it could not be.
  const bool on = answer == kIdOk;
  const std::wstring command =
      on ? L"\"" + program_folder_ + p_.toolkit.AppExeName() + L".exe\"" : std::wstring();
  if (WriteRegValue(p_.advapi32, kHkeyCurrentUser, kRunKey, L"OrvKey", command)) {
    ShowInfoTTip(on ? L"Автозагрузка включена" : L"Автозагрузка выключена", kTipIconPencil);
  } else {
    LogFailure(L"The autostart entry could not be written in the Run key");
    ShowInfoTTip(kAutostartFailedTip, kTipIconCross);
  }
}

}  // namespace orv
