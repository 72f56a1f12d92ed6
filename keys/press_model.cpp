// The rules of a press. Whatever the surface does when it hears of a press
// may let pending events run (a tip slides in), so each step looks its
// press up again rather than holding on to it.
#include "keys/press_model.h"

#include <algorithm>

namespace orv {

PressModel::Press* PressModel::Find(const Pointer& p) {
  for (auto& press : presses_)
    if (press.pointer == p) return &press;
  return nullptr;
}

const PressModel::Press* PressModel::Find(const Pointer& p) const {
  for (const auto& press : presses_)
    if (press.pointer == p) return &press;
  return nullptr;
}

bool PressModel::Over(const Press& press, Point pt) {
  const Hit hit = surface_.HitTest(pt);
  return hit.what == Hit::What::kKey && hit.key == press.key;
}

bool PressModel::Owns(const Pointer& p) const {
  return std::find(owned_.begin(), owned_.end(), p) != owned_.end();
}

void PressModel::Own(const Pointer& p, bool own) {
  const auto it = std::find(owned_.begin(), owned_.end(), p);
  if (own && it == owned_.end()) owned_.push_back(p);
  if (!own && it != owned_.end()) owned_.erase(it);
}

// What the surface does may run further events, nested, before it returns:
// nothing found before a call to it is trusted after.
bool PressModel::Handle(const PressEvent& e) {
  const bool was_owned = Owns(e.pointer);
  using K = PressEvent::Kind;
  switch (e.kind) {
    case K::kDown: {
      // A lift that never reached us, noticed only now: the press ends as
      // its lift would have, over its key or not.
      if (const Press* before = Find(e.pointer)) End(e.pointer, Over(*before, e.pt), e.time);
      const Hit hit = surface_.HitTest(e.pt);
      Own(e.pointer, hit.what != Hit::What::kBackground);
      if (hit.what == Hit::What::kBackground) return false;
      // Only the left button works the keys.
      if (hit.what == Hit::What::kKey && e.button == PressButton::kLeft) Down(e, hit);
      return true;
    }
    case K::kMove:
      // A finger that slides off its key ends its press there.
      if (const Press* press = Find(e.pointer); press && !Over(*press, e.pt))
        End(e.pointer, false, e.time);
      return was_owned;
    case K::kUp:
      Own(e.pointer, false);
      if (const Press* press = Find(e.pointer); press && press->button == e.button)
        End(e.pointer, Over(*press, e.pt), e.time);
      return was_owned;
    case K::kCancel:
      Own(e.pointer, false);
      End(e.pointer, false, e.time);
      return was_owned;
    case K::kLost:
      // The mouse's lift may now go elsewhere: it is watched for, and the
      // press goes on to it. A finger's or a pen's lost capture ends it.
      if (e.pointer.kind == Pointer::Kind::kMouse) {
        if (Press* press = Find(e.pointer)) press->lost = true;
        return was_owned;
      }
      Own(e.pointer, false);
      End(e.pointer, false, e.time);
      return was_owned;
  }
  return false;
}

void PressModel::Down(const PressEvent& e, Hit hit) {
  // A modifier already held by another finger shapes this key: the
  // surface hears of it before the key shows what it types.
  if (!surface_.IsModifier(hit.key)) {
    for (auto& held : presses_) {
      if (held.chorded || !surface_.IsModifier(held.key)) continue;
      held.chorded = true;
      const KeyRef modifier = held.key;
      surface_.ChordBegins(modifier);
      break;
    }
  }
  Press press;
  press.pointer = e.pointer;
  press.button = e.button;
  press.key = hit.key;
  press.shown = surface_.Shows(hit.key);
  press.hold = KeyHold(surface_.Repeats(hit.key), e.time);
  // A bounce of the finger is the touch it bounced from: no second click.
  if (bounce_.IsBounce(hit.key, e.time)) press.hold.NoClick();
  presses_.push_back(std::move(press));
  surface_.KeyDown(hit.key);
}

void PressModel::End(const Pointer& p, bool click, std::uint32_t time) {
  const auto it = std::find_if(presses_.begin(), presses_.end(),
                               [&](const Press& press) { return press.pointer == p; });
  if (it == presses_.end()) return;
  const Press press = std::move(*it);
  presses_.erase(it);
  bounce_.Released(press.key, time);
  surface_.KeyUp(press.key);
  if (press.chorded) {
    surface_.ChordEnds(press.key);
    return;
  }
  if (click && !press.hold.Acted()) surface_.KeyAct(press.key, press.shown);
}

void PressModel::Beat(std::uint32_t now) {
  std::vector<Pointer> order;
  for (const auto& press : presses_) order.push_back(press.pointer);
  for (const Pointer& p : order) {
    Press* press = Find(p);
    if (!press || !press->hold.WaitFrom(now)) continue;
    // A mouse already lifted, or slid off, acts no more: its release may
    // still wait in the queue behind this beat, and nothing may reach the
    // target after it. The release itself still clicks a key that never
    // acted.
    if (p.kind == Pointer::Kind::kMouse) {
      const auto at = surface_.MouseNow();
      if (!at || !Over(*press, *at)) {
        if ((press = Find(p))) press->hold.Stall();
        continue;
      }
      if (!(press = Find(p))) continue;
    }
    if (!press->hold.Due(now)) continue;
    const KeyRef key = press->key;
    const std::wstring shown = press->shown;
    surface_.KeyAct(key, shown);
  }
}

std::optional<std::uint32_t> PressModel::NextBeat(std::uint32_t now) const {
  std::optional<std::uint32_t> next;
  for (const auto& press : presses_) {
    const auto wait = press.hold.WaitFrom(now);
    if (wait && (!next || *wait < *next)) next = wait;
  }
  return next;
}

void PressModel::Spend() {
  for (auto& press : presses_) press.hold.Spend();
}

bool PressModel::AwaitsLift() const {
  const Press* mouse = Find(kMousePointer);
  return mouse && mouse->lost;
}

std::vector<KeyRef> PressModel::HeldKeys() const {
  std::vector<KeyRef> keys;
  for (const auto& press : presses_) keys.push_back(press.key);
  return keys;
}

}  // namespace orv
