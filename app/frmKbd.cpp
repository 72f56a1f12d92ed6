// The keyboard window's design, start-up, shutdown, tray callback and tips.
#include "app/frmKbd.h"

#include "app/window_routines.h"
#include "platform/owners.h"
#include "settings/registry.h"
#include "tip/frmTip.h"
#include "tip/tips.h"
#include "utility/picture_size.h"

#include <utility>

namespace orv {
namespace {

constexpr Color kDesignKeyColor = 0x000080FF;  // orange
const wchar_t* const kStartTip = L"Щелкните по текстовому полю\r\nдля начала редактирования";
const wchar_t* const kRefusedTip = L"Это окно не принимает\r\nввод с клавиатуры";
const wchar_t* const kRewroteWholeTip = L"Текст заменён целиком:\r\nоформление потеряно";
// Said once, for a data folder without a drive letter (a network path): a
// message box there would hold up a touch screen with nobody to answer it.
const wchar_t* const kFilePathTip = L"Ошибка при создании имени файла";

// The window is designed in twips and placed in pixels of its screen.
template <typename Placed>
void Place(Placed& c, int dpi, int left, int top, int width, int height) {
  const Rect r = DesignToScreen(left, top, width, height, dpi);
  c.Move(r.left, r.top, r.width(), r.height());
}

constexpr int kOptionRowTwips = 315;
struct CheckDesign {
  const wchar_t* caption;
  int left, top, width;
};
constexpr std::array<CheckDesign, 9> kCheckDesign{{
    {L"B", 4080, 4920, 495},
    {L"I", 4560, 4920, 495},
    {L"U", 5040, 4920, 495},
    {L"Color1", 5520, 4920, 1575},
    {L"Tips", 120, 5280, 1335},
    {L"Color2", 7080, 4920, 1575},
    {L"Shift works as Caps Lock", 1440, 5280, 2655},
    {L"Hide To System Tray", 4080, 5280, 2655},
    {L"Suggestions", 120, 5640, 1440},
}};

// The program's folder decides where its settings and picture live.
std::wstring DataFolderOf(const std::wstring& program_folder) {
  if (program_folder == kBuildFolder) return kBuildDataFolder;
  if (program_folder.size() > 3) return program_folder + L"\\";
  return program_folder;
}

}  // namespace

FrmKbd::FrmKbd(Ports& ports, KelpUltimate& kelp)
    : p_(ports),
      kelp_(kelp),
      target_(ports, kelp, kelp),
      edit_line_(cmbText, [this] { FillComboHistory(); }),
      history_(ports),
      settings_file_(ports.kernel32),
      tray_(ports.shell32),
      suggestions_(ports.toolkit) {
  BuildControls();
  // Said whatever the tips option: the keys would otherwise seem to type.
  target_.onRefused = [this] { ShowInfoTTip(kRefusedTip, kTipIconPencil); };
  target_.onRewroteWhole = [this] { ShowInfoTTip(kRewroteWholeTip, kTipIconPencil); };
}

// Lays the controls out as designed and wires their events to the handlers.
void FrmKbd::BuildControls() {
  SetCaption(L"OrvCar Keyboard");
  SetBackColor(kKbdBackColor);
  LayOut();

  Font key_font;  // Tahoma 14.25, Cyrillic
  for (int i = 0; i < kCharKeys; ++i) {
    auto& key = lblX[static_cast<std::size_t>(i)];
    key.SetIndex(i);
    key.SetFont(key_font);
    key.SetForeColor(kDesignKeyColor);
    key.onMouseDown = [this](int k) { lblX_MouseDown(k); };
    key.onMouseUp = [this](int k) { lblX_MouseUp(k); };
    key.onClick = [this](int k) { lblX_Click(k); };
  }

  Font function_font = key_font;
  function_font.bold = true;
  for (int i = 0; i < kFunctionKeys; ++i) {
    const auto& d = kFunctionKeyDesign[static_cast<std::size_t>(i)];
    auto& key = lblControl[static_cast<std::size_t>(i)];
    key.SetIndex(i);
    key.SetCaption(d.caption);
    key.SetFont(function_font);
    key.SetForeColor(kDesignKeyColor);
    key.SetAlignment(i == kKeyEnter ? Label::Align::Left : Label::Align::Center);
    key.onMouseDown = [this](int k) { lblControl_MouseDown(k); };
    key.onMouseUp = [this](int k) { lblControl_MouseUp(k); };
    key.onClick = [this](int k) { lblControl_Click(k); };
  }

  cmbText.SetFont(Font{L"Tahoma", 18, false, false, false, 204});
  cmbText.SetBackColor(0x00000000);
  cmbText.SetForeColor(kDesignKeyColor);
  cmbText.onChange = [this] { cmbText_Change(); };
  cmbText.onClick = [this] { cmbText_Click(); };

  const std::array<const wchar_t*, kLayouts> layout_names{L"Lang1 Normal", L"Lang1 Shift",
                                                          L"Lang2 Normal", L"Lang2 Shift"};
  Font option_font{L"Tahoma", 9.75, true, false, false, 204};
  // Long captions in regular weight, so that "Lang1 Normal" and "Shift works
  // as Caps Lock" fit the places designed for them.
  Font caption_font = option_font;
  caption_font.bold = false;
  for (int i = 0; i < kLayouts; ++i) {
    auto& box = txtLang[static_cast<std::size_t>(i)];
    box.SetIndex(i);
    box.SetMaxLength(kCharKeys);
    box.SetFont(Font{L"Tahoma", 9.75, false, false, false, 204});
    box.onChange = [this](int k) { txtLang_Change(k); };
    auto& name = lblInfo[static_cast<std::size_t>(i)];
    name.SetIndex(i);
    name.SetCaption(layout_names[static_cast<std::size_t>(i)]);
    name.SetAlignment(Label::Align::Left);
    name.SetFont(caption_font);
    name.SetForeColor(0x00E0E0E0);
  }
  lblInfo[4].SetIndex(4);
  lblInfo[4].SetCaption(L"Font");
  lblInfo[4].SetAlignment(Label::Align::Left);
  lblInfo[4].SetFont(option_font);
  lblInfo[4].SetForeColor(0x00E0E0E0);
  lblInfo[5].SetIndex(5);
  lblInfo[5].SetCaption(
      L"OrvKey 1.0 — сенсорная клавиатура для автомобильного ПК. © Команда OrvKey");
  lblInfo[5].SetFont(Font{L"Tahoma", 8.25, false, false, false, 204});
  lblInfo[5].SetForeColor(0x00A0A0A0);

  cmbFont.SetFont(option_font);
  cmbFont.onClick = [this] { cmbFont_Click(); };
  cmbSize.SetFont(option_font);
  cmbSize.onClick = [this] { cmbSize_Click(); };

  for (int i = 0; i < static_cast<int>(chkFont.size()); ++i) {
    const auto& d = kCheckDesign[static_cast<std::size_t>(i)];
    auto& box = chkFont[static_cast<std::size_t>(i)];
    box.SetIndex(i);
    // Suggestions start on; set before the box is wired, it raises nothing.
    if (i == kChkSuggestions) box.SetValue(CheckBox::kChecked);
    box.SetCaption(d.caption);
    // A point smaller than the labels: the longest caption fills its box.
    Font box_font = caption_font;
    box_font.size = 9;
    box.SetFont(box_font);
    if (i == kChkColor1 || i == kChkColor2) box.SetBackColor(0x00000000);
    box.onClick = [this](int k) { chkFont_Click(k); };
  }

  const std::array<const wchar_t*, 2> history_buttons{L"Clr History", L"Autorun"};
  for (int i = 0; i < 2; ++i) {
    auto& b = cmdHistory[static_cast<std::size_t>(i)];
    b.SetIndex(i);
    b.SetCaption(history_buttons[static_cast<std::size_t>(i)]);
    b.SetFont(option_font);
    b.onClick = [this](int k) { cmdHistory_Click(k); };
  }

  // The words are drawn as the keys are, in the key font's family.
  frmWords.width_of = [this](const std::wstring& word) {
    return p_.toolkit.MeasureText(frmWords.lblWord[0].Font(), word).x;
  };
  for (auto& word : frmWords.lblWord) {
    word.SetFont(Font{L"Tahoma", 14.25, true, false, false, 204});
    word.SetForeColor(kDesignKeyColor);
    word.onMouseDown = [this](int k) { lblWord_MouseDown(k); };
    word.onMouseUp = [this](int k) { lblWord_MouseUp(k); };
    word.onClick = [this](int k) { lblWord_Click(k); };
  }

  picHook.SetVisible(false);
  picHook.onMouseMove = [this](int button, int x, int y) { picHook_MouseMove(button, x, y); };

  tmrhWnd.SetInterval(10);
  tmrhWnd.SetEnabled(true);
  tmrhWnd.onTimer = [this] { tmrhWnd_Timer(); };
  tmrRepeat.onTimer = [this] { tmrRepeat_Timer(); };
  tmrEnter.onTimer = [this] { tmrEnter_Timer(); };
}

// Every designed place, converted for the screen the window stands on.
void FrmKbd::LayOut() {
  const int dpi = p_.toolkit.Dpi();
  laid_out_dpi_ = dpi;
  Place(*this, dpi, 0, 0, kWindowWidthTwips, kCollapsedHeightTwips);
  for (int i = 0; i < kCharKeys; ++i) {
    const Rect r = CharKeyTwips(i);
    Place(lblX[static_cast<std::size_t>(i)], dpi, r.left, r.top, r.width(), r.height());
  }
  for (int i = 0; i < kFunctionKeys; ++i) {
    const auto& d = kFunctionKeyDesign[static_cast<std::size_t>(i)];
    Place(lblControl[static_cast<std::size_t>(i)], dpi, d.left, d.top, d.width, d.height);
  }
  Place(cmbText, dpi, 840, 150, 7185, 555);
  for (int i = 0; i < kLayouts; ++i) {
    const int top = 3360 + 360 * i;
    Place(txtLang[static_cast<std::size_t>(i)], dpi, 1560, top, 7815, 285);
    Place(lblInfo[static_cast<std::size_t>(i)], dpi, 120, top, 1425, 285);
  }
  Place(lblInfo[4], dpi, 120, 4920, 1335, kOptionRowTwips);
  Place(lblInfo[5], dpi, 1560, 5640, kWindowWidthTwips - 1560, 375);
  Place(cmbFont, dpi, 1560, 4920, 1815, kOptionRowTwips);
  Place(cmbSize, dpi, 3360, 4920, 735, kOptionRowTwips);
  for (int i = 0; i < static_cast<int>(chkFont.size()); ++i) {
    const auto& d = kCheckDesign[static_cast<std::size_t>(i)];
    Place(chkFont[static_cast<std::size_t>(i)], dpi, d.left, d.top, d.width, kOptionRowTwips);
  }
  Place(cmdHistory[0], dpi, 6720, 5280, 1455, kOptionRowTwips);
  Place(cmdHistory[1], dpi, 8160, 5280, 1215, kOptionRowTwips);
  Place(picHook, dpi, 0, 0, 15, 15);
}

// The window reached a screen of another density: everything is laid out
// afresh from the design (scaling the old pixels would add up rounding),
// the options panel stays as open as it was, and the window goes where the
// system proposes.
void FrmKbd::FollowDpi(const Rect& suggested) {
  const bool open = Height() == TwipsToPixels(kExpandedHeightTwips, laid_out_dpi_);
  LayOut();
  if (open) SetHeight(TwipsToPixels(kExpandedHeightTwips, laid_out_dpi_));
  SetLeft(suggested.left);
  SetTop(suggested.top);
}

// Start-up: every later step relies on the ones before it.
void FrmKbd::Form_Load() {
  if (p_.toolkit.PrevInstance()) {
    ended_ = true;
    p_.toolkit.End();
    return;
  }
  program_folder_ = DataFolderOf(p_.toolkit.AppPath());
  data_folder_ = WritableDataFolder(p_, program_folder_);
  log_.emplace(p_.kernel32, MakeFilePath(p_, data_folder_, kLogFileName));

  // A picture of the user's own folder comes before one beside the program.
  std::wstring picture_path = MakeFilePath(p_, data_folder_, L"OrvKey.jpg");
  if (!p_.kernel32.FileExists(picture_path)) {
    picture_path = MakeFilePath(p_, program_folder_, L"OrvKey.jpg");
  }
  // A picture that cannot be decoded, or one too big to decode (told by its
  // header), keeps the designed background.
  if (p_.kernel32.FileExists(picture_path) && PictureMayBeDecoded(p_.kernel32, picture_path)) {
    if (Picture pic = p_.toolkit.LoadPicture(picture_path)) SetPicture(pic);
  }

  for (auto& key : lblX) key.SetCaption(L"");

  // The font and size lists must be full before the settings select in them.
  kelp_.FillFontList(cmbFont, GetWindowDc(p_.user32, hWnd()).get());
  cmbSize.Clear();
  for (int size = 8; size <= 48; ++size) cmbSize.AddItem(std::to_wstring(size));

  history_.Clear();
  LoadSettings();

  SetHeight(OptionsPanel::CollapsedHeight(p_.toolkit));
  kelp_.SetTopmost(*this, false);

  if (tray_.On() && tray_.AddIcon(picHook.hWnd(), Icon())) {
    SetVisible(false);
  } else {
    SetVisible(true);
    // On screen and painted before the history is read and the tips are
    // made and slide in.
    p_.toolkit.DoEvents();
  }
  history_.StartLoading();
  // The lexicons load beside the history, once the keys are on screen.
  if (SuggestionsOn()) suggestions_.StartLoading();
  OfferWords();

  if (FrmTip* tip = Tip()) tip->SetHeadlineFont(L"Tahoma");
  if (chkFont[kChkTips].Value() == 1 && tray_.HideToTray() == 0) {
    ShowInfoTTip(kStartTip, kTipIconPencil);
  }
  if (data_folder_.find(L':') == std::wstring::npos) ShowInfoTTip(kFilePathTip, kTipIconKeyboard);
}

// Shutdown, the only way out: placement, history and settings are written
// before the process ends.
void FrmKbd::Form_Unload(std::int16_t& cancel) {
  (void)cancel;
  unloading_ = true;
  SaveFormPlacement(p_, *this, kKbdFormName);
  if (!target_.IsPassword()) AddStringToHistory(cmbText.Text());
  SaveSettings();
  tray_.RemoveIcon(picHook.hWnd());
  ended_ = true;
  p_.toolkit.End();
}

// Presses on the window's own surface move the whole window.
void FrmKbd::Form_MouseDown(int button) { DragWindow(p_.user32, hWnd()); }

// The tray reports the mouse message over the icon as the x coordinate.
void FrmKbd::picHook_MouseMove(int button, int x_twips, int y_twips) {
  if (Visible()) return;
  const auto message = RoundHalfEven(static_cast<double>(x_twips) / p_.toolkit.TwipsPerPixelX());
  if (message == wm::kLButtonDown) {
    p_.kernel32.Sleep(1000);
    // The press on the icon came while no tick could see it; left pending,
    // the next tick would take it for a touch elsewhere and hide us again,
    // as would the end of a wait for a caret that a tick may have begun.
    p_.user32.GetAsyncKeyState(kVkLButton);
    target_.StopProbing();
    SetVisible(true);
  } else if (message == wm::kRButtonDown) {
    std::int16_t cancel = 0;
    Form_Unload(cancel);
  }
}

void FrmKbd::Form_TaskbarCreated() {
  if (tray_.On()) tray_.AddIcon(picHook.hWnd(), Icon());
}

// The lexicons and the history are learned: words asked for while they
// loaded (the strip at start-up, a field touched meanwhile) come now. No
// touch may follow for a long while, and without one nothing else asks.
void FrmKbd::Form_WorkerFinished() {
  // Another load's end must not wait for this one.
  if (ended_ || !suggestions_.LoadDone()) return;
  suggestions_.WaitLoaded();
  if (suggestions_.CameSinceAsked()) OfferWords();
}

void FrmKbd::ShowInfoTTip(const std::wstring& XString, int XIcon) {
  if (FrmTip* tip = Tip()) ShowTipIn(*tip, kelp_, XString, XIcon, *this, &frmWords);
}

FrmTip* FrmKbd::Tip() {
  if (!tip_ && make_tip_) tip_ = std::exchange(make_tip_, nullptr)();
  return tip_;
}

}  // namespace orv
