// The kinds of text field the keyboard types into, by window class. A touch
// captures only these, and Tab walks only these: one table for both. Every
// kind answers the edit control's messages (text, password character), so
// all are read and written the same way.
#pragma once
#include <algorithm>
#include <array>
#include <string_view>

namespace orv {

struct FieldKind {
  enum class Match {
    kExact,    // the class as it stands
    kAnyCase,  // systems spell these their own way: Wine says "RichEdit50W", "RICHEDIT"
    kPrefix,   // a family of classes named after the application, any case
  };
  std::wstring_view class_name;
  Match match = Match::kExact;
  // A rich edit keeps formatting that a rewrite of its whole text would
  // lose, and counts a paragraph break as one position where its text reads
  // it as "\r\n".
  bool rich = false;
};

inline constexpr std::array kFieldKinds{
    // Plain edit controls and the text boxes of VB6 and of the VB runtimes before it.
    FieldKind{L"Edit"},
    FieldKind{L"ThunderRT6TextBox"},
    FieldKind{L"ThunderTextBox"},
    // Rich edits 2 and 3 (riched20), 4.1 (msftedit) and 1 (riched32). The
    // ANSI ones keep only what the system's code page has: that is the
    // window's own limit.
    FieldKind{L"RichEdit20A", FieldKind::Match::kAnyCase, true},
    FieldKind{L"RichEdit20W", FieldKind::Match::kAnyCase, true},
    FieldKind{L"RICHEDIT50W", FieldKind::Match::kAnyCase, true},
    FieldKind{L"RichEdit", FieldKind::Match::kAnyCase, true},
    // Windows Forms text boxes: WindowsForms10.EDIT.app.0.<suffix>.
    FieldKind{L"WindowsForms10.EDIT.", FieldKind::Match::kPrefix},
    FieldKind{L"WindowsForms10.RichEdit", FieldKind::Match::kPrefix, true},
    // Delphi's VCL.
    FieldKind{L"TEdit"},
    FieldKind{L"TMemo"},
    FieldKind{L"TMaskEdit"},
    FieldKind{L"TLabeledEdit"},
    FieldKind{L"TRichEdit", FieldKind::Match::kExact, true},
};

// Class names are ASCII: no locale decides their case.
inline bool SameClassName(std::wstring_view a, std::wstring_view b) {
  const auto fold = [](wchar_t c) { return c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c; };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [&](wchar_t x, wchar_t y) { return fold(x) == fold(y); });
}

inline bool Matches(const FieldKind& k, std::wstring_view class_name) {
  switch (k.match) {
    case FieldKind::Match::kExact: return class_name == k.class_name;
    case FieldKind::Match::kAnyCase: return SameClassName(class_name, k.class_name);
    case FieldKind::Match::kPrefix:
      return class_name.size() > k.class_name.size() &&
             SameClassName(class_name.substr(0, k.class_name.size()), k.class_name);
  }
  return false;
}

// The kind of field a window of this class is; none for any other class.
// `real_class` is what the system says the class was built on: a
// superclass of Edit under a name of its own is an Edit.
inline const FieldKind* FieldKindOf(std::wstring_view class_name,
                                    std::wstring_view real_class = {}) {
  const auto it = std::find_if(kFieldKinds.begin(), kFieldKinds.end(),
                               [&](const FieldKind& k) { return Matches(k, class_name); });
  if (it != kFieldKinds.end()) return &*it;
  return SameClassName(real_class, L"Edit") ? &kFieldKinds.front() : nullptr;
}

}  // namespace orv
