// What the reach tests and their target application agree on.
#pragma once

namespace orv::e2e {

inline constexpr const wchar_t* kReachTitle = L"OrvKey Reach Target";
inline constexpr const wchar_t* kWinFormsEditClass = L"WindowsForms10.EDIT.app.0.141b42a_r9_ad1";
enum ReachControl : int { kRich20 = 201, kRich50, kWinForms, kCharField };

}  // namespace orv::e2e
