// The keyboard window's design, start-up, shutdown and tray callback.
#include "app/frmKbd.h"

#include "app/window_routines.h"
#include "platform/owners.h"
#include "tip/frmTip.h"

namespace orv {
namespace {

// The window is designed in twips, 15 to a pixel.
constexpr int Px(int twips) { return twips / 15; }

constexpr Color kDesignKeyColor = 0x000080FF;  // orange
constexpr std::uint32_t kTrayCallbackMessage = wm::kMouseMove;
const wchar_t* const kStartTip = L"Щелкните по текстовому полю\r\nдля начала редактирования";

struct CheckDesign {
  const wchar_t* caption;
  int left, top, width;
};
constexpr std::array<CheckDesign, 8> kCheckDesign{{
    {L"B", 272, 328, 33},
    {L"I", 304, 328, 33},
    {L"U", 336, 328, 33},
    {L"Color1", 368, 328, 105},
    {L"Tips", 8, 352, 89},
    {L"Color2", 472, 328, 105},
    {L"Shift works as Caps Lock", 96, 352, 177},
    {L"Hide To System Tray", 272, 352, 177},
}};

}  // namespace

FrmKbd::FrmKbd(Ports& ports, KelpUltimate& kelp) : p_(ports), kelp_(kelp) { BuildControls(); }

// Lays the controls out as designed and wires their events to the handlers.
void FrmKbd::BuildControls() {
  SetCaption(L"OrvCar Keyboard");
  SetBackColor(kKbdBackColor);
  Move(0, 0, kWindowWidthPx, kCollapsedHeightPx);

  Font key_font;  // Tahoma 14.25, Cyrillic
  for (int i = 0; i < kCharKeys; ++i) {
    auto& key = lblX[static_cast<std::size_t>(i)];
    const Rect r = CharKeyTwips(i);
    key.SetIndex(i);
    key.Move(Px(r.left), Px(r.top), Px(r.width()), Px(r.height()));
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
    key.Move(Px(d.left), Px(d.top), Px(d.width), Px(d.height));
    key.SetCaption(d.caption);
    key.SetFont(function_font);
    key.SetForeColor(kDesignKeyColor);
    key.SetAlignment(i == kKeyEnter ? Label::Align::Left : Label::Align::Center);
    key.onMouseDown = [this](int k) { lblControl_MouseDown(k); };
    key.onMouseUp = [this](int k) { lblControl_MouseUp(k); };
    key.onClick = [this](int k) { lblControl_Click(k); };
  }

  cmbText.Move(Px(840), Px(150), Px(7185), Px(555));
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
    const int top = Px(3360 + 360 * i);
    auto& box = txtLang[static_cast<std::size_t>(i)];
    box.SetIndex(i);
    box.Move(Px(1560), top, Px(7815), Px(285));
    box.SetMaxLength(kCharKeys);
    box.SetFont(Font{L"Tahoma", 9.75, false, false, false, 204});
    box.onChange = [this](int k) { txtLang_Change(k); };
    auto& name = lblInfo[static_cast<std::size_t>(i)];
    name.SetIndex(i);
    name.Move(Px(120), top, Px(1425), Px(285));
    name.SetCaption(layout_names[static_cast<std::size_t>(i)]);
    name.SetAlignment(Label::Align::Left);
    name.SetFont(caption_font);
    name.SetForeColor(0x00E0E0E0);
  }
  lblInfo[4].SetIndex(4);
  lblInfo[4].Move(8, 328, 89, 21);
  lblInfo[4].SetCaption(L"Font");
  lblInfo[4].SetAlignment(Label::Align::Left);
  lblInfo[4].SetFont(option_font);
  lblInfo[4].SetForeColor(0x00E0E0E0);
  lblInfo[5].SetIndex(5);
  lblInfo[5].Move(0, Px(5640), kWindowWidthPx, Px(375));
  lblInfo[5].SetCaption(
      L"OrvKey 1.0 — сенсорная клавиатура для автомобильного ПК. © Команда OrvKey");
  lblInfo[5].SetFont(Font{L"Tahoma", 8.25, false, false, false, 204});
  lblInfo[5].SetForeColor(0x00A0A0A0);

  cmbFont.Move(104, 328, 121, 21);
  cmbFont.SetFont(option_font);
  cmbFont.onClick = [this] { cmbFont_Click(); };
  cmbSize.Move(224, 328, 49, 21);
  cmbSize.SetFont(option_font);
  cmbSize.onClick = [this] { cmbSize_Click(); };

  for (int i = 0; i < 8; ++i) {
    const auto& d = kCheckDesign[static_cast<std::size_t>(i)];
    auto& box = chkFont[static_cast<std::size_t>(i)];
    box.SetIndex(i);
    box.Move(d.left, d.top, d.width, 21);
    box.SetCaption(d.caption);
    // A point smaller than the labels: the longest caption fills its box.
    Font box_font = caption_font;
    box_font.size = 9;
    box.SetFont(box_font);
    if (i == kChkColor1 || i == kChkColor2) box.SetBackColor(0x00000000);
    box.onClick = [this](int k) { chkFont_Click(k); };
  }

  const std::array<const wchar_t*, 2> history_buttons{L"Clr History", L"Autorun"};
  cmdHistory[0].Move(448, 352, 97, 21);
  cmdHistory[1].Move(544, 352, 81, 21);
  for (int i = 0; i < 2; ++i) {
    auto& b = cmdHistory[static_cast<std::size_t>(i)];
    b.SetIndex(i);
    b.SetCaption(history_buttons[static_cast<std::size_t>(i)]);
    b.SetFont(option_font);
    b.onClick = [this](int k) { cmdHistory_Click(k); };
  }

  picHook.Move(0, 0, 1, 1);
  picHook.SetVisible(false);
  picHook.onMouseMove = [this](int button, int x, int y) { picHook_MouseMove(button, x, y); };

  tmrhWnd.SetInterval(10);
  tmrhWnd.SetEnabled(true);
  tmrhWnd.onTimer = [this] { tmrhWnd_Timer(); };
}

// The program's folder decides where its settings and picture live.
void FrmKbd::ChooseDataFolder() {
  const std::wstring folder = p_.toolkit.AppPath();
  if (folder == kBuildFolder) {
    DataFolder = kBuildDataFolder;
  } else if (folder.size() > 3) {
    DataFolder = folder + L"\\";
  } else {
    DataFolder = folder;
  }
}

// Start-up: every later step relies on the ones before it.
void FrmKbd::Form_Load() {
  if (p_.toolkit.PrevInstance()) {
    ended_ = true;
    p_.toolkit.End();
    return;
  }
  ChooseDataFolder();

  const std::wstring picture_path = MakeFilePath(p_, DataFolder, L"OrvKey.jpg");
  if (p_.kernel32.FileExists(picture_path)) {
    // A picture that cannot be decoded keeps the designed background.
    if (Picture pic = p_.toolkit.LoadPicture(picture_path)) SetPicture(pic);
  }

  for (auto& key : lblX) key.SetCaption(L"");

  // The font and size lists must be full before the settings select in them.
  kelp_.FillFontList(cmbFont, GetWindowDc(p_.user32, hWnd()).get());
  cmbSize.Clear();
  for (int size = 8; size <= 48; ++size) cmbSize.AddItem(std::to_wstring(size));

  HistoryItems.assign(1, std::wstring());
  LoadSettings();

  SetHeight(kCollapsedHeightPx * p_.toolkit.TwipsPerPixelY() / 15);
  kelp_.SetTopmost(*this, false);

  if (tip_) tip_->SetHeadlineFont(L"Tahoma");
  if (chkFont[kChkTips].Value() == 1 && HideToTray == 0) ShowInfoTTip(kStartTip, 1);

  if (HideToTray == 1) {
    AddTrayIcon(p_.shell32, picHook.hWnd(), Icon(), kTrayCallbackMessage, L"OrvKey");
    SetVisible(false);
  } else {
    SetVisible(true);
  }
}

// Shutdown, the only way out: placement, history and settings are written
// before the process ends.
void FrmKbd::Form_Unload(std::int16_t& cancel) {
  (void)cancel;
  SaveFormPlacement();
  if (!target_is_password_) AddStringToHistory(cmbText.Text());
  SaveSettings();
  RemoveTrayIcon(p_.shell32, picHook.hWnd());
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
    // the next tick would take it for a touch elsewhere and hide us again.
    p_.user32.GetAsyncKeyState(kVkLButton);
    SetVisible(true);
  } else if (message == wm::kRButtonDown) {
    std::int16_t cancel = 0;
    Form_Unload(cancel);
  }
}

}  // namespace orv
