// Controls as models: what the program reads and writes of each control of
// its two windows. Setting a value from code raises the control's Change or
// Click exactly as a user edit does; the shell mirrors every model onto its
// real control once an event has been handled, and feeds user edits back in
// through the same setters without echoing them.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace orv {

class Control {
 public:
  explicit Control(int index = -1) : index_(index) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  int Index() const { return index_; }
  void SetIndex(int index) { index_ = index; }

  // Position and size in pixels of the owning window's client area.
  std::int32_t Left() const { return rect_.left; }
  std::int32_t Top() const { return rect_.top; }
  std::int32_t Width() const { return rect_.width(); }
  std::int32_t Height() const { return rect_.height(); }
  const Rect& Bounds() const { return rect_; }
  void Move(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
  void SetLeft(std::int32_t v) { Move(v, Top(), Width(), Height()); }
  void SetTop(std::int32_t v) { Move(Left(), v, Width(), Height()); }
  void SetWidth(std::int32_t v) { Move(Left(), Top(), v, Height()); }
  void SetHeight(std::int32_t v) { Move(Left(), Top(), Width(), v); }

  bool Visible() const { return visible_; }
  void SetVisible(bool v) { Set(visible_, v); }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v) { Set(enabled_, v); }
  Color ForeColor() const { return fore_; }
  void SetForeColor(Color c) { Set(fore_, c); }
  Color BackColor() const { return back_; }
  void SetBackColor(Color c) { Set(back_, c); }
  const orv::Font& Font() const { return font_; }
  void SetFont(const orv::Font& f) { Set(font_, f); }
  void SetFontName(const std::wstring& name);
  void SetFontSize(double size);
  void SetFontBold(bool on);
  void SetFontItalic(bool on);
  void SetFontUnderline(bool on);

  // The real window behind the control, 0 for windowless controls (labels,
  // images) and for controls no shell has created.
  Hwnd hWnd() const { return hwnd_; }
  void AttachWindow(Hwnd hwnd) { hwnd_ = hwnd; }

  // Counts every change, so the shell can tell cheaply whether to look.
  std::uint64_t Version() const { return version_; }

 protected:
  template <typename T>
  void Set(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Touch();
  }
  void Touch() { ++version_; }

 private:
  int index_;
  Rect rect_{};
  bool visible_ = true;
  bool enabled_ = true;
  Color fore_ = 0;
  Color back_ = 0x00FFFFFF;
  orv::Font font_{};
  Hwnd hwnd_ = 0;
  std::uint64_t version_ = 0;
};

// Mouse handlers take the index of the control in its array.
using IndexHandler = std::function<void(int index)>;

// A windowless caption drawn over its window's picture.
class Label : public Control {
 public:
  enum class Align { Left, Center };
  using Control::Control;

  const std::wstring& Caption() const { return caption_; }
  // Raises Change when the caption really changes.
  void SetCaption(const std::wstring& caption);
  Align Alignment() const { return align_; }
  void SetAlignment(Align a) { Set(align_, a); }
  bool AutoSize() const { return auto_size_; }
  void SetAutoSize(bool on) { auto_size_ = on; }

  IndexHandler onMouseDown, onMouseUp, onClick, onChange;

 private:
  std::wstring caption_;
  Align align_ = Align::Center;
  bool auto_size_ = false;
};

class TextBox : public Control {
 public:
  using Control::Control;

  const std::wstring& Text() const { return text_; }
  // Raises Change when the text really changes; text beyond MaxLength is
  // cut, as the real box does with typed text.
  void SetText(const std::wstring& text);
  int MaxLength() const { return max_length_; }
  void SetMaxLength(int n) { max_length_ = n; }

  IndexHandler onChange;

 private:
  std::wstring text_;
  int max_length_ = 0;  // 0 = no limit
};

// An editable drop-down combo box (the edit line) or a drop-down list.
class ComboBox : public Control {
 public:
  enum class Style { DropDownCombo, DropDownList };
  explicit ComboBox(Style style = Style::DropDownCombo) : style_(style) {}

  Style GetStyle() const { return style_; }

  const std::wstring& Text() const { return text_; }
  // Raises Change when the text really changes.
  void SetText(const std::wstring& text);
  // Empties the list and the text; raises no event.
  void Clear();
  void AddItem(const std::wstring& item);
  // Replaces the list by one that `fill` makes when the list is first read:
  // a long list filtered on every key is built only when someone looks.
  void SetListSource(std::function<void(std::vector<std::wstring>&)> fill);
  int ListCount() const { return static_cast<int>(Items().size()); }
  // The entry at i; the empty text for an index outside the list.
  const std::wstring& List(int i) const;
  const std::vector<std::wstring>& Items() const;
  // Counts changes of the list alone, so the real list is rebuilt only
  // when it changed and only when it is about to be shown.
  std::uint64_t ListVersion() const { return list_version_; }

  int ListIndex() const { return list_index_; }
  // Selects an entry (its text becomes the text) and raises Click, also
  // when set from code. -1 selects nothing and raises nothing.
  void SetListIndex(int index);

  // Insertion point, in UTF-16 units (32-bit: long fields are ordinary).
  std::int32_t SelStart() const { return sel_start_; }
  void SetSelStart(std::int32_t pos);
  // The shell reports where the user put the caret in the real control.
  void ReportSelStart(std::int32_t pos) { sel_start_ = pos; }

  // A text that must not be seen (a password) is shown as this character
  // once for each of its own; 0 shows the text. The text itself is kept.
  wchar_t PasswordChar() const { return password_char_; }
  void SetPasswordChar(wchar_t c) { Set(password_char_, c); }
  std::wstring Shown() const {
    return password_char_ != 0 ? std::wstring(text_.size(), password_char_) : text_;
  }

  std::function<void()> onChange, onClick;

 private:
  Style style_;
  wchar_t password_char_ = 0;
  std::wstring text_;
  mutable std::vector<std::wstring> list_;
  mutable std::function<void(std::vector<std::wstring>&)> pending_list_;
  std::uint64_t list_version_ = 0;
  int list_index_ = -1;
  std::int32_t sel_start_ = 0;
};

class CheckBox : public Control {
 public:
  using Control::Control;

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& c) { Set(caption_, c); }
  // The values a box takes, as the settings file stores them.
  static constexpr int kUnchecked = 0, kChecked = 1, kGrayed = 2;
  // Any other value is refused (false) and the box keeps its value; a real
  // change raises Click.
  int Value() const { return value_; }
  bool SetValue(int value);

  IndexHandler onClick;

 private:
  std::wstring caption_;
  int value_ = 0;
};

class Button : public Control {
 public:
  using Control::Control;
  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& c) { Set(caption_, c); }
  IndexHandler onClick;

 private:
  std::wstring caption_;
};

// A picture shown at its own size (picture box) or stretched (image).
class PictureBox : public Control {
 public:
  using Control::Control;
  Picture GetPicture() const { return picture_; }
  void SetPicture(Picture p) { Set(picture_, p); }
  bool Stretch() const { return stretch_; }
  void SetStretch(bool on) { Set(stretch_, on); }
  IndexHandler onMouseDown;
  // The tray callback arrives as mouse moves on a picture box; x is in
  // twips, as the toolkit reports it.
  std::function<void(int button, int x_twips, int y_twips)> onMouseMove;

 private:
  Picture picture_ = 0;
  bool stretch_ = false;
};

class Timer {
 public:
  std::uint32_t Interval() const { return interval_; }
  void SetInterval(std::uint32_t ms) {
    interval_ = ms;
    ++version_;
  }
  bool Enabled() const { return enabled_; }
  // Disabling then enabling restarts the countdown.
  void SetEnabled(bool on) {
    enabled_ = on;
    ++version_;
  }
  std::uint64_t Version() const { return version_; }
  // Called by whoever keeps time (the shell, or a test's clock).
  void Fire() {
    if (enabled_ && onTimer) onTimer();
  }
  std::function<void()> onTimer;

 private:
  std::uint32_t interval_ = 0;
  bool enabled_ = false;
  std::uint64_t version_ = 0;
};

// A window's state, with the numbers the registry keeps it as.
inline constexpr int kWindowNormal = 0;
inline constexpr int kWindowMinimized = 1;
inline constexpr int kWindowMaximized = 2;

// A top-level window: its own position, size and visibility in pixels.
class Form {
 public:
  Form() = default;
  virtual ~Form() = default;
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  Hwnd hWnd() const { return hwnd_; }
  void AttachWindow(Hwnd hwnd) { hwnd_ = hwnd; }

  const std::wstring& Caption() const { return caption_; }
  void SetCaption(const std::wstring& c) {
    caption_ = c;
    ++version_;
  }
  std::int32_t Left() const { return rect_.left; }
  std::int32_t Top() const { return rect_.top; }
  std::int32_t Width() const { return rect_.width(); }
  std::int32_t Height() const { return rect_.height(); }
  void Move(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height);
  void SetLeft(std::int32_t v) { Move(v, Top(), Width(), Height()); }
  void SetTop(std::int32_t v) { Move(Left(), v, Width(), Height()); }
  void SetWidth(std::int32_t v) { Move(Left(), Top(), v, Height()); }
  void SetHeight(std::int32_t v) { Move(Left(), Top(), Width(), v); }
  // The shell reports moves made by the system (dragging) without echo.
  void ReportBounds(const Rect& r) { rect_ = r; }
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  // kWindowNormal, kWindowMinimized or kWindowMaximized.
  int WindowState() const { return window_state_; }
  void SetWindowState(int s) {
    window_state_ = s;
    ++version_;
  }
  Color BackColor() const { return back_; }
  void SetBackColor(Color c) {
    back_ = c;
    ++version_;
  }
  Picture GetPicture() const { return picture_; }
  void SetPicture(Picture p) {
    picture_ = p;
    ++version_;
  }
  Hicon Icon() const { return icon_; }
  void SetIcon(Hicon icon) { icon_ = icon; }

  std::uint64_t Version() const { return version_; }

 private:
  Hwnd hwnd_ = 0;
  std::wstring caption_;
  Rect rect_{};
  bool visible_ = false;
  int window_state_ = 0;
  Color back_ = 0;
  Picture picture_ = 0;
  Hicon icon_ = 0;
  std::uint64_t version_ = 0;
};

}  // namespace orv
