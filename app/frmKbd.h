// frmKbd: the keyboard window as a model — its controls, its form-level
// state and its event handlers. Loading it is the start-up, unloading it the
// shutdown. The handlers live beside the subsystem that owns them: app/
// (start-up, shutdown, tray), keys/, target/, history/, settings/.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/controls.h"
#include "keys/layouts.h"
#include "platform/ports.h"
#include "utility/KelpUltimate.h"

namespace orv {

class FrmTip;

// Sizes of the window, in pixels at 96 DPI and in twips.
inline constexpr int kCollapsedHeightPx = 217;
inline constexpr int kExpandedHeightTwips = 6015;
inline constexpr int kWindowWidthPx = 632;
inline constexpr Color kKbdBackColor = 0x00404040;

// The options check boxes by index.
enum OptionBox : int {
  kChkBold = 0,
  kChkItalic = 1,
  kChkUnderline = 2,
  kChkColor1 = 3,
  kChkTips = 4,
  kChkColor2 = 5,
  kChkShiftAsCaps = 6,
  kChkHideToTray = 7,
};

// The developers' build folder: a program run from here keeps its data in
// D:\OrvCar\ with the rest of the car software.
inline const std::wstring kBuildFolder = L"D:\\OrvCar\\OrvKey\\build";
inline const std::wstring kBuildDataFolder = L"D:\\OrvCar\\";

class FrmKbd : public Form {
 public:
  FrmKbd(Ports& ports, KelpUltimate& kelp);
  // The tip window is optional until the shell provides one.
  void SetTipWindow(FrmTip* tip) { tip_ = tip; }

  // ---- Controls
  std::array<Label, kCharKeys> lblX;
  std::array<Label, kFunctionKeys> lblControl;
  ComboBox cmbText{ComboBox::Style::DropDownCombo};
  std::array<TextBox, kLayouts> txtLang;
  std::array<Label, 6> lblInfo;
  ComboBox cmbFont{ComboBox::Style::DropDownList};
  ComboBox cmbSize{ComboBox::Style::DropDownList};
  std::array<CheckBox, 8> chkFont;
  std::array<Button, 2> cmdHistory;
  PictureBox picHook;
  Timer tmrhWnd;

  // ---- Form-level state
  std::int16_t LangBase = 0;
  std::int16_t ShiftOn = 0;
  std::int16_t ShiftAsCaps = 0;
  // The keyboard's own insertion point in cmbText. 32-bit: a field of a
  // hundred thousand characters is an ordinary target.
  std::int32_t CaretPos = 0;
  Hwnd TargetWnd = 0;
  Color DownColor = 0;
  std::int16_t HideToTray = 0;
  std::vector<std::wstring> HistoryItems;
  std::wstring DataFolder;

  int LayoutIndex() const { return LangBase + ShiftOn; }

  // ---- Start-up and shutdown (app/)
  void Form_Load();
  void Form_Unload(std::int16_t& cancel);
  void Form_MouseDown(int button);
  void picHook_MouseMove(int button, int x_twips, int y_twips);
  // The shell calls this before it hands each window event to a handler.
  void BeginEvent();
  // True once the process has been told to end; nothing runs after that.
  bool Ended() const { return ended_; }

  // ---- Layouts and keys (keys/)
  void txtLang_Change(int index);
  void lblX_MouseDown(int index);
  void lblX_MouseUp(int index);
  void lblX_Click(int index);
  void lblControl_MouseDown(int index);
  void lblControl_MouseUp(int index);
  void lblControl_Click(int index);

  // ---- Target capture and mirroring (target/)
  void tmrhWnd_Timer();
  void cmbText_Change();
  void cmbText_Click();
  void cmbText_CaretMoved();

  // ---- History (history/)
  void AddStringToHistory(const std::wstring& text);
  void FillComboHistory();

  // ---- Settings (settings/)
  void LoadSettings();
  void SaveSettings();
  void SaveFormPlacement();
  void LoadFormPlacement();
  void cmdHistory_Click(int index);

  // ---- Font and colour options (utility/ via the form)
  void chkFont_Click(int index);
  void cmbFont_Click();
  void cmbSize_Click();

  // ---- Tips
  void ShowInfoTTip(const std::wstring& XString, int XIcon);

 private:
  void BuildControls();
  void ApplyDefaultSettings();
  // The part of loading that is the same with or without a settings file.
  void BringControlsInLine(bool from_file);
  // Copies the template key's look to the other keys (and colours further).
  void PropagateTemplateKey(bool colours_too);
  void ChooseDataFolder();
  void InsertAtCaret(const std::wstring& text);
  const std::vector<std::wstring>& UpperHistory();
  void TabToNextField();
  void ToggleOptionsPanel();
  void PressEnterInTarget();
  std::wstring FormatNumber(double v);
  double SizeThroughNumberFormat(double size);
  // Where OrvKey.ini lives, fixed when the settings are loaded.
  std::wstring settings_path_;

  Ports& p_;
  KelpUltimate& kelp_;
  FrmTip* tip_ = nullptr;
  bool ended_ = false;
  bool in_tick_ = false;
  // Where the keyboard stood before the options panel moved it up.
  std::optional<std::int32_t> top_before_options_;
  std::vector<std::wstring> upper_history_of_, upper_history_;
  // The text of a password field is never remembered.
  bool target_is_password_ = false;
  // What this event has already written into which field.
  bool sent_in_event_ = false;
  Hwnd sent_wnd_ = 0;
  std::wstring sent_text_;
};

}  // namespace orv
