// Word suggestions' cost. A key touch with suggestions on against the same
// touch with them off, the word strip's window included, with 100,000
// remembered texts learned, typing into a field of another process (this
// program started again with --target). And the private memory the two
// built-in lexicons take once unpacked, against none.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "app/frmKbd.h"
#include "keys/key_repeat.h"
#include "platform/win32/kbd_window.h"
#include "platform/win32/strip_window.h"
#include "platform/win32/system_ports.h"
#include "platform/win32/toolkit.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr wchar_t kTargetTitle[] = L"OrvKey suggest bench target";

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// Where the system reports no private memory (Wine), the working set
// stands in: what the lexicons' unpacking allocates is touched at once.
double PrivateMb() {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                       sizeof pmc);
  const SIZE_T bytes = pmc.PrivateUsage ? pmc.PrivateUsage : pmc.WorkingSetSize;
  return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

// The other process: one plain edit field and its message loop.
int RunTarget() {
  HWND edit = CreateWindowExW(0, L"EDIT", kTargetTitle, WS_OVERLAPPEDWINDOW | ES_AUTOHSCROLL, 0, 0,
                              400, 40, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

// Texts as a user sends them: a few words each, from syllables, so that
// the words learned run to tens of thousands.
std::vector<std::wstring> RememberedTexts(int count) {
  static const wchar_t* const kSyllables[] = {L"ма", L"ло", L"ку", L"ст",  L"ра",  L"не", L"ви",
                                              L"до", L"па", L"те", L"ско", L"ль",  L"ин", L"ов",
                                              L"ва", L"ри", L"ен", L"го",  L"сту", L"ни"};
  std::mt19937 random(25);
  std::vector<std::wstring> texts;
  texts.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    std::wstring text;
    const int words = 2 + static_cast<int>(random() % 4);
    for (int w = 0; w < words; ++w) {
      if (w) text += L' ';
      const int syllables = 1 + static_cast<int>(random() % 4);
      for (int s = 0; s < syllables; ++s) text += kSyllables[random() % std::size(kSyllables)];
    }
    texts.push_back(std::move(text));
  }
  return texts;
}

struct ProcessWindowSearch {
  DWORD pid;
  HWND found;
};

// A top-level window of the process being searched for. A named function:
// on i686 a lambda would not have the stdcall convention EnumWindows calls.
BOOL CALLBACK FindProcessWindow(HWND wnd, LPARAM lp) {
  auto* s = reinterpret_cast<ProcessWindowSearch*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  if (pid == s->pid) s->found = wnd;
  return s->found == nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  using namespace orv;
  using namespace orv::win32;
  if (argc > 1 && std::wstring(argv[1]) == L"--target") return RunTarget();
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&icc);

  SystemPorts sys(GetModuleHandleW(nullptr));
  Ports& ports = sys.ports;
  Win32Toolkit& toolkit = sys.toolkit;

  // ---- The lexicons' private memory, before anything else is made.
  {
    const auto ru = toolkit.ResourceData(L"LEXICON_RU"), en = toolkit.ResourceData(L"LEXICON_EN");
    // The packed data is the program file's, read through once beforehand:
    // only what the unpacking allocates is counted.
    volatile unsigned sum = 0;
    for (const auto packed : {ru, en})
      for (std::size_t i = 0; i < packed.size(); i += 512) sum = sum + packed[i];
    const double before = PrivateMb();
    auto lexicon_ru = UnpackLexicon(ru);
    auto lexicon_en = UnpackLexicon(en);
    const double after = PrivateMb();
    std::printf("lexicons: %zu + %zu bytes packed, %s; private memory %.2f MB -> %.2f MB\n",
                ru.size(), en.size(), lexicon_ru && lexicon_en ? "unpacked" : "NOT all unpacked",
                before, after);
    std::printf("SUGGEST_MEMORY_MB=%.2f\n", after - before);
  }

  // ---- The target in another process.
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring line = L"\"" + std::wstring(self) + L"\" --target";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(self, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    std::printf("cannot start the target process\n");
    return 1;
  }
  HWND target = nullptr;
  ProcessWindowSearch search{pi.dwProcessId, nullptr};
  for (int i = 0; i < 500 && !search.found; ++i, Sleep(20)) {
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&search));
  }
  target = search.found;
  if (!target) {
    std::printf("the target window did not come\n");
    TerminateProcess(pi.hProcess, 1);
    return 1;
  }

  KelpUltimate kelp(ports);
  FrmKbd kbd(ports, kelp);
  KbdWindow window(kbd, toolkit);
  StripWindow strip(kbd, toolkit);
  toolkit.sync = [&window, &strip] {
    window.Sync();
    strip.Sync();
  };
  window.on_placed = [&strip] { strip.Sync(); };
  if (!window.Create() || !strip.Create(window.hwnd())) return 1;
  kbd.Form_Load();
  window.Sync();
  strip.Sync();

  // 100,000 remembered texts, in the history and learned for the words.
  const std::vector<std::wstring> texts = RememberedTexts(100000);
  {
    std::vector<std::wstring> copy = texts;
    kbd.GetHistory().Clear();
    kbd.GetHistory().LoadLater([&copy] { return std::move(copy); });
    kbd.GetHistory().Items();
  }
  kbd.GetSuggestions().WaitLoaded();
  for (auto it = texts.rbegin(); it != texts.rend(); ++it) kbd.GetSuggestions().Learn(*it);

  auto capture = [&](const std::wstring& text) {
    SendMessageTimeoutW(target, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                        SMTO_ABORTIFHUNG, 1000, nullptr);
    kbd.BeginEvent();
    kbd.GetTarget().CaptureField(FromHwnd(target), kbd.hWnd());
    kbd.cmbText.SetText(text);
    kbd.cmbText_Click();  // the caret to the end, the words offered
    window.Sync();
    strip.Sync();
  };
  // A touch of a character key of the real window, timed as the finger
  // moved: the messages are posted so that they carry their time.
  auto deliver = [&](UINT msg, WPARAM wp, LPARAM at) {
    PostMessageW(window.hwnd(), msg, wp, at);
    MSG m;
    while (!PeekMessageW(&m, window.hwnd(), msg, msg, PM_REMOVE)) {
    }
    DispatchMessageW(&m);
  };
  auto touch = [&](int key) {
    const Rect r = kbd.lblX[static_cast<std::size_t>(key)].Bounds();
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    Sleep(2 * kBounceMs);
    const auto t0 = Clock::now();
    deliver(WM_LBUTTONDOWN, MK_LBUTTON, at);
    deliver(WM_LBUTTONUP, 0, at);
    return Ms(Clock::now() - t0);
  };
  // Two letters of a word, as the finger types them: "м", then "а".
  const std::wstring& layout = kbd.txtLang[0].Text();
  const int first = static_cast<int>(layout.find(L'м')),
            second = static_cast<int>(layout.find(L'а'));
  std::vector<double> on_ms, off_ms;
  std::size_t offered = 0;
  for (int r = 0; r < 15; ++r) {
    for (bool on : {true, false}) {
      kbd.chkFont[kChkSuggestions].SetValue(on ? CheckBox::kChecked : CheckBox::kUnchecked);
      capture(L"ну ");
      const double ms = touch(first) + touch(second);
      (on ? on_ms : off_ms).push_back(ms / 2);
      if (on) offered += kbd.frmWords.Words().size();
    }
  }
  // What of it is the predictor's own answer.
  std::vector<double> suggest_ms;
  for (int r = 0; r < 15; ++r) {
    const auto t0 = Clock::now();
    kbd.GetSuggestions().Suggest(L"ну ма", Language::Russian);
    suggest_ms.push_back(Ms(Clock::now() - t0));
  }
  std::printf("the predictor's answer alone: %.2f ms\n", Median(suggest_ms));
  const double on = Median(on_ms), off = Median(off_ms);
  std::printf(
      "key touch, 100000 texts learned: suggestions on %.2f ms, off %.2f ms (%.1f words "
      "offered a touch)\n",
      on, off, static_cast<double>(offered) / 30.0);
  std::printf("SUGGEST_TOUCH_VS_OFF=%.2f\n", on / off);
  // The option is kept in the registry: the benchmarks after this one find
  // it on, as a first run has it.
  kbd.chkFont[kChkSuggestions].SetValue(CheckBox::kChecked);

  TerminateProcess(pi.hProcess, 0);
  std::fflush(stdout);
  ExitProcess(0);
}
