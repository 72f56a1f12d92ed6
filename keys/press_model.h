// The rules of a press, whatever presses: the mouse, a finger or a pen.
// The shell turns its messages into neutral events; this object decides
// which key a point is on, when a press clicks, slides off, bounces,
// repeats or is cancelled, and tells its surface. Each pointer is a press
// of its own, so two fingers on two keys are two presses, in the order they
// came down. A surface is anything that shows keys: the keyboard, or a
// strip of candidates whose child windows report in its coordinates.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "keys/key_repeat.h"
#include "platform/types.h"

namespace orv {

// Who presses. The mouse is one pointer (a finger the system turned into
// the mouse is the mouse); each finger or pen in contact has its own id.
struct Pointer {
  enum class Kind { kMouse, kTouch, kPen };
  Kind kind = Kind::kMouse;
  std::uint32_t id = 0;
  friend bool operator==(const Pointer&, const Pointer&) = default;
};
inline constexpr Pointer kMousePointer{};

// The button numbers Form_MouseDown takes; fingers and pens press as Left.
enum class PressButton : int { kLeft = 1, kRight = 2, kMiddle = 4 };

struct PressEvent {
  // kLost: the capture went elsewhere while the pointer stayed down.
  enum class Kind { kDown, kMove, kUp, kCancel, kLost };
  Kind kind = Kind::kDown;
  Pointer pointer;
  Point pt;                // in the surface's client coordinates
  std::uint32_t time = 0;  // on the tick count's clock, when it happened
  PressButton button = PressButton::kLeft;
};

// What lies under a point of a surface.
struct Hit {
  enum class What { kBackground, kInert, kKey };
  What what = What::kBackground;
  KeyRef key;
  friend bool operator==(const Hit&, const Hit&) = default;
};

class PressSurface {
 public:
  virtual ~PressSurface() = default;
  virtual Hit HitTest(Point pt) = 0;
  // What the key shows now; a hold acts with what it showed at the press.
  virtual std::wstring Shows(KeyRef key) = 0;
  virtual bool Repeats(KeyRef key) = 0;
  // A key that, held, shapes the keys pressed meanwhile (Shift).
  virtual bool IsModifier(KeyRef key) { return false; }
  virtual void KeyDown(KeyRef key) = 0;
  virtual void KeyUp(KeyRef key) = 0;
  // The key's action: the click of a tap, or one beat of a hold.
  virtual void KeyAct(KeyRef key, const std::wstring& shown) = 0;
  // A modifier held while another key went down, and its lift after that.
  virtual void ChordBegins(KeyRef modifier) {}
  virtual void ChordEnds(KeyRef modifier) {}
  // Where the mouse is while its left button is down, in client
  // coordinates; nothing once it is up. A mouse press asks before each
  // beat: the mouse messages of an X server can come late.
  virtual std::optional<Point> MouseNow() = 0;
};

class PressModel {
 public:
  explicit PressModel(PressSurface& surface) : surface_(surface) {}
  PressModel(const PressModel&) = delete;
  PressModel& operator=(const PressModel&) = delete;

  // True when the event is the model's: a down on a key or on a part that
  // takes no presses, and every later event of that pointer until its lift.
  // A down on the background is not (the shell hands it on, to drag).
  bool Handle(const PressEvent& e);
  // Acts for every held key whose beat is due at `now`.
  void Beat(std::uint32_t now);
  // Milliseconds until the next beat; nothing when no held key repeats.
  std::optional<std::uint32_t> NextBeat(std::uint32_t now) const;
  // Every press goes on to its lift, but acts no more (the application
  // typed into stops answering).
  void Spend();

  bool Holds(const Pointer& p) const { return Find(p) != nullptr; }
  // A mouse press whose capture went elsewhere: only its lift is awaited.
  bool AwaitsLift() const;
  std::vector<KeyRef> HeldKeys() const;

 private:
  struct Press {
    Pointer pointer;
    PressButton button = PressButton::kLeft;
    KeyRef key;
    std::wstring shown;
    KeyHold hold;
    bool chorded = false;  // a modifier that shaped another key: no click
    bool lost = false;     // the capture went elsewhere
  };
  bool Owns(const Pointer& p) const;
  void Own(const Pointer& p, bool own);
  Press* Find(const Pointer& p);
  const Press* Find(const Pointer& p) const;
  void Down(const PressEvent& e, Hit hit);
  // Takes the press out before its surface hears of it: what the surface
  // does may bring further events.
  void End(const Pointer& p, bool click, std::uint32_t time);
  bool Over(const Press& press, Point pt);

  PressSurface& surface_;
  std::vector<Press> presses_;  // in the order they came down
  std::vector<Pointer> owned_;  // pointers whose events are the model's
  BounceFilter bounce_;
};

// A mouse press made by the system from a finger or a pen carries this
// signature in its extra information.
inline constexpr std::uintptr_t kTouchSignatureMask = 0xFFFFFF00u;
inline constexpr std::uintptr_t kTouchSignature = 0xFF515700u;
inline bool MadeFromTouch(std::uintptr_t extra) {
  return (extra & kTouchSignatureMask) == kTouchSignature;
}
// Whether a button press anywhere on the screen is a touch that the
// capture of a field looks at: the left button, and a finger's
// press-and-hold, which the system turns into the right one.
inline bool TouchesAField(bool left, bool right, std::uintptr_t extra) {
  return left || (right && MadeFromTouch(extra));
}

}  // namespace orv
