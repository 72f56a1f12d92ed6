// Fake toolkit: the program's identity, pictures that decode from JPEG
// files or come built in, DoEvents as a hook, and text ten pixels a
// character.
#pragma once
#include <functional>
#include <map>

#include "fakes/fake_gdi32.h"
#include "fakes/fake_kernel32.h"
#include "platform/toolkit.h"

namespace orv::fake {

class FakeToolkit : public Toolkit {
 public:
  FakeToolkit(FakeKernel32& kernel, FakeGdi32& gdi) : kernel_(kernel), gdi_(gdi) {}

  std::wstring app_path = L"C:\\Program Files\\OrvKey";
  std::function<void()> on_do_events;

  bool PrevInstance() override { return false; }
  std::wstring AppPath() override { return app_path; }
  std::wstring AppExeName() override { return L"orvkey"; }
  std::wstring AppTitle() override { return L"OrvKey"; }
  int Dpi() override { return dpi; }
  int dpi = 96;
  Picture LoadPicture(const std::wstring& path) override {
    const auto it = kernel_.files.find(path);
    return it != kernel_.files.end() && it->second.starts_with("\xFF\xD8\xFF") ? next_picture_++
                                                                               : 0;
  }
  Picture ResourcePicture(const std::wstring& name) override {
    auto& p = resource_pictures_[name];
    return p ? p : p = next_picture_++;
  }
  // A test gives a picture pixels by putting a bitmap of the same number.
  Hbitmap PictureBitmap(Picture picture) override {
    return gdi_.bitmaps.count(picture.value()) ? picture.value() : 0;
  }
  void DoEvents() override {
    if (on_do_events) on_do_events();
  }
  Point MeasureText(const Font&, const std::wstring& text) override {
    return {10 * static_cast<std::int32_t>(text.size()), 20};
  }
  void End() override {}

 private:
  FakeKernel32& kernel_;
  FakeGdi32& gdi_;
  std::intptr_t next_picture_ = 0x40000000;  // apart from the bitmaps GDI makes
  std::map<std::wstring, Picture> resource_pictures_;
};

}  // namespace orv::fake
