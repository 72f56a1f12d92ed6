// The fake desktop: one in-memory fake per port, sharing one clock, handed
// to the core as its Ports. Tests reach every fake's state through it. The
// notification area and the colour dialog are only answered here (icon
// calls succeed while there is a notification area, every dialog is
// cancelled); the icon is checked end to end. The toolkit has the program's
// identity, pictures that decode from JPEG files or come built in, DoEvents
// as a hook, and text ten pixels a character.
#pragma once
#include <functional>
#include <map>

#include "fakes/fake_advapi32.h"
#include "fakes/fake_gdi32.h"
#include "fakes/fake_kernel32.h"
#include "fakes/fake_user32.h"
#include "platform/comdlg32.h"
#include "platform/ports.h"
#include "platform/shell32.h"
#include "platform/toolkit.h"

namespace orv::fake {

class FakeShell32 : public Shell32 {
 public:
  bool notification_area = true;  // a front-end that is the shell has none
  int icons = 0;                  // in the notification area now
  bool Shell_NotifyIconW(std::uint32_t message, const NotifyIconData&) override {
    if (!notification_area) return false;
    icons = message == kNimAdd ? icons + 1 : message == kNimDelete && icons ? icons - 1 : icons;
    return true;
  }
  std::wstring app_data = L"C:\\Users\\Driver\\AppData\\Roaming";
  std::wstring AppDataFolder() override { return app_data; }
};

class FakeComdlg32 : public Comdlg32 {
 public:
  int ChooseColorW(ChooseColorRecord&) override { return 0; }
};

class FakeToolkit : public Toolkit {
 public:
  FakeToolkit(FakeKernel32& kernel, FakeGdi32& gdi) : kernel_(kernel), gdi_(gdi) {}

  std::function<void()> on_do_events;

  bool PrevInstance() override { return false; }
  std::wstring AppPath() override { return L"C:\\Program Files\\OrvKey"; }
  std::wstring AppExeName() override { return L"orvkey"; }
  std::wstring AppTitle() override { return L"OrvKey"; }
  int Dpi() override { return 96; }  // other densities are tested end to end
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
  // Nothing arrives on its own on the fake desktop: the whole wait passes.
  void WaitForEvents(std::uint32_t ms) override {
    kernel_.now += ms;
    DoEvents();
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

class Desktop : public FakeKernel32,
                public FakeUser32,
                public FakeGdi32,
                public FakeAdvapi32,
                public FakeShell32,
                public FakeComdlg32,
                public FakeToolkit {
 public:
  Desktop() : FakeUser32(static_cast<FakeClock&>(*this)), FakeToolkit(*this, *this) {}
  Desktop(const Desktop&) = delete;
  Desktop& operator=(const Desktop&) = delete;

  Ports ports() { return Ports{*this, *this, *this, *this, *this, *this, *this}; }
};

}  // namespace orv::fake
