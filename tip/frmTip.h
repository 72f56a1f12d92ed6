// frmTip: the skinned balloon that reports events at the bottom-right corner.
#pragma once
#include <string>

#include "app/controls.h"

namespace orv {

class FrmTip : public Form {
 public:
  // The keyboard's start-up names the headline font.
  void SetHeadlineFont(const std::wstring& name) { headline_font_ = name; }
  const std::wstring& HeadlineFont() const { return headline_font_; }

 private:
  std::wstring headline_font_ = L"MicroTech";
};

}  // namespace orv
