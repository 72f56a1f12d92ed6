// frmKbd: the keyboard window as a model — its controls and its event
// handlers. Loading it is the start-up, unloading it the shutdown. The
// handlers keep their names and are the entry points; each concern's state
// lives in its own object: the target field (field/), the edit line, the shift
// state, the press colour and the presses of mouse, fingers and pens (keys/),
// the history (history/), the settings file (settings/), tray mode and the
// options panel (app/).
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/options_panel.h"
#include "app/suggestions.h"
#include "app/tray.h"
#include "controls/controls.h"
#include "field/target.h"
#include "history/history.h"
#include "keys/edit_line.h"
#include "keys/key_highlight.h"
#include "keys/key_repeat.h"
#include "keys/layouts.h"
#include "keys/press_model.h"
#include "keys/shift_state.h"
#include "keys/word_completion.h"
#include "keys/word_strip.h"
#include "platform/ports.h"
#include "settings/settings_file.h"
#include "utility/KelpUltimate.h"
#include "utility/failure_log.h"

namespace orv {

class FrmTip;

inline constexpr Color kKbdBackColor = 0x00404040;
// The window's name for its placement in the registry.
inline const std::wstring kKbdFormName = L"frmKbd";

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
  kChkSuggestions = 8,
};

// The developers' build folder: a program run from here keeps its data in
// D:\OrvCar\ with the rest of the car software.
inline const std::wstring kBuildFolder = L"D:\\OrvCar\\OrvKey\\build";
inline const std::wstring kBuildDataFolder = L"D:\\OrvCar\\";

class FrmKbd : public Form, private PressSurface {
 public:
  FrmKbd(Ports& ports, KelpUltimate& kelp);
  // The tip window is optional until the shell provides one. The shell
  // makes it once the keys are on screen; a start-up that needs it before
  // (a keyboard that starts hidden) has it made then by `make`.
  void SetTipWindow(FrmTip* tip) { tip_ = tip; }
  void SetTipWindowMaker(std::function<FrmTip*()> make) { make_tip_ = std::move(make); }

  // ---- Controls
  std::array<Label, kCharKeys> lblX;
  std::array<Label, kFunctionKeys> lblControl;
  ComboBox cmbText{ComboBox::Style::DropDownCombo};
  std::array<TextBox, kLayouts> txtLang;
  std::array<Label, 6> lblInfo;
  ComboBox cmbFont{ComboBox::Style::DropDownList};
  ComboBox cmbSize{ComboBox::Style::DropDownList};
  std::array<CheckBox, 9> chkFont;
  std::array<Button, 2> cmdHistory;
  PictureBox picHook;
  Timer tmrhWnd;
  Timer tmrRepeat;  // the beat of a held key
  Timer tmrEnter;   // the pauses of Enter
  // The candidate strip, a window of its own above the keys.
  WordStrip frmWords;

  // ---- What the concerns hold, for the shell and the tests to read (and
  // for the benchmark to set up)
  Target& GetTarget() { return target_; }
  const Target& GetTarget() const { return target_; }
  const EditLine& GetEditLine() const { return edit_line_; }
  History& GetHistory() { return history_; }
  const History& GetHistory() const { return history_; }
  const ShiftState& GetShift() const { return shift_; }
  Color DownColor() const { return highlight_.DownColor(); }
  std::int16_t HideToTray() const { return tray_.HideToTray(); }
  const std::wstring& DataFolder() const { return data_folder_; }
  Suggestions& GetSuggestions() { return suggestions_; }
  // The folder DataFolder was before a program folder this user may not
  // write sent the settings elsewhere: autostart names the program here.
  const std::wstring& ProgramFolder() const { return program_folder_; }

  // ---- Start-up and shutdown
  void Form_Load();
  void Form_Unload(std::int16_t& cancel);
  void Form_MouseDown(int button);
  void picHook_MouseMove(int button, int x_twips, int y_twips);
  // The notification area came (back): the tray icon goes in again.
  void Form_TaskbarCreated();
  // A load beside the window's thread is done (Toolkit::WorkerFinished).
  void Form_WorkerFinished();
  // The shell calls this before it hands each window event to a handler.
  void BeginEvent() { target_.BeginEvent(); }
  // True once the process has been told to end; nothing runs after that.
  bool Ended() const { return ended_; }

  // ---- Layouts and keys
  void txtLang_Change(int index);
  void lblX_MouseDown(int index);
  void lblX_MouseUp(int index);
  void lblX_Click(int index);
  void lblControl_MouseDown(int index);
  void lblControl_MouseUp(int index);
  void lblControl_Click(int index);
  void tmrRepeat_Timer();
  void tmrEnter_Timer();
  // A press of the mouse, a finger or a pen on the window (client
  // coordinates). False for a finger or a pen on the background, which the
  // shell hands back to the system to become the mouse's (and a drag).
  bool Form_Press(const PressEvent& e);
  const PressModel& Presses() const { return presses_; }

  // ---- Target capture and mirroring
  void tmrhWnd_Timer();
  void cmbText_Change();
  void cmbText_Click();
  void cmbText_CaretMoved();

  // ---- History
  void AddStringToHistory(const std::wstring& text);
  void FillComboHistory();

  // ---- Settings
  void LoadSettings();
  // False, with a tip, when the settings could not be stored.
  bool SaveSettings();
  void cmdHistory_Click(int index);

  // ---- Font and colour options
  void chkFont_Click(int index);
  void cmbFont_Click();
  void cmbSize_Click();

  // ---- Tips
  void ShowInfoTTip(const std::wstring& XString, int XIcon);

  // ---- Word suggestions
  bool SuggestionsOn() const { return chkFont[kChkSuggestions].Value() == 1; }
  void lblWord_MouseDown(int index);
  void lblWord_MouseUp(int index);
  void lblWord_Click(int index);
  // A press on the strip (its client coordinates), by the rules of a key's.
  bool frmWords_Press(const PressEvent& e);
  const PressModel& WordPresses() const { return word_presses_; }
  // Puts the strip where the keyboard is, shown while it is wanted; the
  // shell calls it whenever the keyboard may have moved, shown or hidden.
  void DockWordStrip();

  // ---- Screen density (the toolkit already reports the new one)
  void FollowDpi(const Rect& suggested);

 private:
  void BuildControls();
  void LayOut();
  void ApplyDefaultSettings();
  void ApplySettings(const SettingsValues& values);
  SettingsValues CollectSettings();
  // The part of loading that is the same with or without a settings file.
  void BringControlsInLine(bool from_file);
  // Copies the template key's look to the other keys (and colours further).
  void PropagateTemplateKey(bool colours_too);
  void TabToNextField();
  void ReadLateTarget();
  void PressEnterInTarget();
  void ContinueEnter(std::optional<std::uint32_t> wait);
  void FinishEnter();
  // The edit line takes a newly captured target's text, masked where the
  // target is a password field; a target let go takes the text with it.
  void ShowTargetText(const std::wstring& text);
  void ShowEditingTip();
  void TypeCharacter(const std::wstring& ch);
  // A Shift latched for one letter goes once a letter or a word is typed.
  void ReleaseShiftLatch();
  void ArmRepeatTimer();
  // The keys as the press model sees them (keyboard_events.cpp).
  Hit HitTest(Point pt) override;
  std::wstring Shows(KeyRef key) override;
  bool Repeats(KeyRef key) override;
  bool IsModifier(KeyRef key) override;
  void KeyDown(KeyRef key) override;
  void KeyUp(KeyRef key) override;
  void PaintHeldKeys(KeyRef::Kind row);
  void KeyAct(KeyRef key, const std::wstring& shown) override;
  void ChordBegins(KeyRef modifier) override;
  void ChordEnds(KeyRef modifier) override;
  std::optional<Point> MouseNow() override;
  // The strip offers the words for the text before the insertion point.
  void OfferWords();
  // The strip's words as the press model sees them: a word is a key that
  // never repeats and acts with the word it showed when it was pressed.
  class WordKeys : public PressSurface {
   public:
    explicit WordKeys(FrmKbd& kbd) : kbd_(kbd) {}
    Hit HitTest(Point pt) override;
    std::wstring Shows(KeyRef key) override;
    bool Repeats(KeyRef) override { return false; }
    void KeyDown(KeyRef key) override;
    void KeyUp(KeyRef key) override;
    void KeyAct(KeyRef key, const std::wstring& shown) override;
    std::optional<Point> MouseNow() override;

   private:
    void PaintHeld();
    FrmKbd& kbd_;
  };
  // The word being typed becomes `word`, and a space follows it.
  void TypeWord(const std::wstring& word);
  // A change of the edit line made by the strip, by the path of a key: a
  // keystroke target gets backspaces and characters.
  void WriteSplice(const LineSplice& splice);
  // Punctuation straight after a completed word takes the space the word
  // brought; true when it did.
  bool CloseUpToWord(const std::wstring& ch);

  Ports& p_;
  KelpUltimate& kelp_;
  Target target_;
  EditLine edit_line_;
  History history_;
  ShiftState shift_;
  KeyHighlight highlight_;
  SettingsFile settings_file_;
  TrayMode tray_;
  OptionsPanel options_;
  PressModel presses_{*this};
  WordKeys word_keys_{*this};
  PressModel word_presses_{word_keys_};
  Suggestions suggestions_;
  // The line and insertion point a completed word left, its space last.
  struct Completed {
    std::wstring line;
    std::int32_t caret;
  };
  std::optional<Completed> completed_;
  // Where the keyboard stood when its work area was last asked for.
  Rect docked_at_{};
  Rect work_area_{};
  // What Enter sent, and where: the line may belong to another field by
  // the time Enter is done.
  std::wstring enter_text_;
  Hwnd enter_wnd_ = 0;
  bool enter_password_ = false;
  std::wstring data_folder_;
  std::wstring program_folder_;
  // OrvKey.log beside OrvKey.ini, from the moment DataFolder is known.
  std::optional<FailureLog> log_;
  FrmTip* tip_ = nullptr;
  std::function<FrmTip*()> make_tip_;
  FrmTip* Tip();
  int laid_out_dpi_ = 96;
  bool ended_ = false;
  bool unloading_ = false;
  bool in_tick_ = false;
};

}  // namespace orv
