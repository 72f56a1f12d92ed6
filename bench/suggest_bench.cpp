// Word suggestions' cost. A key touch with suggestions on against the same
// touch with them off, the word strip's window shown, with 100,000
// remembered texts learned, typing into a field of another process (this
// program started again with --target): the touch until its key is written,
// and that with what it leaves the window's thread to do after it (the
// strip's new words, the paints). And the private memory the two built-in
// lexicons take once unpacked, against none.
#include <windows.h>

#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "app/frmKbd.h"
#include "bench/bench_process.h"
#include "keys/key_repeat.h"
#include "win32/kbd_window.h"
#include "win32/strip_window.h"
#include "win32/system_ports.h"
#include "win32/toolkit.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr wchar_t kTargetTitle[] = L"OrvKey suggest bench target";

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

// The process's private memory. Wine leaves the private bytes at nothing
// and counts the process's anonymous pages (its RssAnon, and what of it is
// swapped out) as the commit charge, which on Windows is the private bytes
// again.
const char* g_memory_source = "private bytes";
double PrivateMb() {
  PROCESS_MEMORY_COUNTERS_EX pmc{};
  pmc.cb = sizeof pmc;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc),
                       sizeof pmc);
  if (pmc.PrivateUsage == 0) g_memory_source = "commit charge, Wine: anonymous pages";
  return static_cast<double>(pmc.PrivateUsage ? pmc.PrivateUsage : pmc.PagefileUsage) /
         (1024.0 * 1024.0);
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
  bench::StartLikeTheProgram();

  SystemPorts sys(GetModuleHandleW(nullptr));
  Ports& ports = sys.ports;
  Win32Toolkit& toolkit = sys.toolkit;

  // ---- The lexicons' private memory, before anything else is made.
  {
    const double before = PrivateMb();
    const auto ru = toolkit.ResourceData(L"LEXICON_RU"), en = toolkit.ResourceData(L"LEXICON_EN");
    auto lexicon_ru = UnpackLexicon(ru);
    auto lexicon_en = UnpackLexicon(en);
    const double after = PrivateMb();
    std::printf("lexicons: %zu + %zu bytes packed, %s; private memory (%s) %.2f MB -> %.2f MB\n",
                ru.size(), en.size(), lexicon_ru && lexicon_en ? "unpacked" : "NOT all unpacked",
                g_memory_source, before, after);
    std::printf("SUGGEST_MEMORY_MB=%.2f\n", after - before);
  }

  // ---- The target in another process.
  PROCESS_INFORMATION pi{};
  if (!bench::StartTargetProcess(pi)) {
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
  // moved: the messages are posted so that they carry their time. The key
  // is written into the field when the lift's message returns.
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
    const auto t0 = Clock::now();
    deliver(WM_LBUTTONDOWN, MK_LBUTTON, at);
    deliver(WM_LBUTTONUP, 0, at);
    return Ms(Clock::now() - t0);
  };
  // What the touch left the window's thread: every message of the next
  // while (longer than a bounce, so that the next touch counts), timed as
  // each is handled; the waits between them are not counted.
  auto after = [&] {
    double busy = 0;
    const auto until = Clock::now() + std::chrono::milliseconds(2 * kBounceMs + 20);
    MSG m;
    while (Clock::now() < until) {
      if (!PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
        continue;
      }
      const auto t0 = Clock::now();
      DispatchMessageW(&m);
      busy += Ms(Clock::now() - t0);
    }
    return busy;
  };
  // The words the strip's windows show, left to right, as a screen reader
  // reads them.
  auto shown_words = [&] {
    std::vector<std::pair<LONG, std::wstring>> at;
    for (HWND w = FindWindowExW(strip.hwnd(), nullptr, nullptr, nullptr); w;
         w = FindWindowExW(strip.hwnd(), w, nullptr, nullptr)) {
      wchar_t text[64] = L"";
      RECT r;
      if (IsWindowVisible(w) && GetWindowTextW(w, text, 64) > 0 && GetWindowRect(w, &r))
        at.emplace_back(r.left, text);
    }
    std::sort(at.begin(), at.end());
    std::vector<std::wstring> words;
    for (auto& [left, word] : at) words.push_back(std::move(word));
    return words;
  };
  // Two letters of a word, as the finger types them: "м", then "а".
  const std::wstring& layout = kbd.txtLang[0].Text();
  const int first = static_cast<int>(layout.find(L'м')),
            second = static_cast<int>(layout.find(L'а'));
  std::vector<double> on_ms, off_ms, on_all_ms, off_all_ms;
  std::size_t offered = 0, strip_shown = 0, strip_right = 0;
  // Many words: the machine may be busy with other work meanwhile.
  constexpr int kWords = 40;
  for (int r = 0; r < kWords; ++r) {
    // After a word of its own each time: words offered and passed over for
    // the same word being typed are not offered again.
    const std::wstring& text = texts[static_cast<std::size_t>(r)];
    const std::wstring before = text.substr(0, text.find(L' ') + 1);
    // On and off side by side, each first in turn: the machine's other
    // work comes and goes, and each pair's ratio is taken.
    for (bool on : {r % 2 == 0, r % 2 != 0}) {
      kbd.chkFont[kChkSuggestions].SetValue(on ? CheckBox::kChecked : CheckBox::kUnchecked);
      capture(before);
      after();
      const double one = touch(first), one_after = after();
      const double two = touch(second), two_after = after();
      (on ? on_ms : off_ms).push_back((one + two) / 2);
      (on ? on_all_ms : off_all_ms).push_back((one + one_after + two + two_after) / 2);
      if (!on) continue;
      strip_shown += IsWindowVisible(strip.hwnd()) != 0;
      const auto words = shown_words();
      offered += words.size();
      strip_right += words == kbd.frmWords.Words() &&
                     std::all_of(words.begin(), words.end(),
                                 [](const std::wstring& w) { return w.starts_with(L"ма"); });
    }
  }
  // What the predictor's own answer costs, for the same two letters after
  // words it has not answered for yet (the strip asks it after the key).
  std::vector<double> suggest_ms;
  for (int r = kWords; r < 2 * kWords; ++r) {
    const std::wstring& text = texts[static_cast<std::size_t>(r)];
    const std::wstring before = text.substr(0, text.find(L' ') + 1);
    for (const wchar_t* typed : {L"м", L"ма"}) {
      const auto t0 = Clock::now();
      kbd.GetSuggestions().Suggest(before + typed, Language::Russian);
      suggest_ms.push_back(Ms(Clock::now() - t0));
    }
  }
  std::printf("the predictor's answer alone: %.2f ms\n", Median(suggest_ms));
  const double on = Median(on_ms), off = Median(off_ms);
  const double on_all = Median(on_all_ms), off_all = Median(off_all_ms);
  std::vector<double> ratio, ratio_all;
  for (std::size_t i = 0; i < on_ms.size(); ++i) {
    ratio.push_back(on_ms[i] / off_ms[i]);
    ratio_all.push_back(on_all_ms[i] / off_all_ms[i]);
  }
  std::printf(
      "key touch until its key is in the field, 100000 texts learned (medians; the figures are "
      "the medians of each word's on against off): suggestions on %.2f ms, off %.2f ms\n",
      on, off);
  std::printf("the same with what it leaves the window's thread after: on %.2f ms, off %.2f ms\n",
              on_all, off_all);
  std::printf(
      "the strip shown after %zu of %d words typed with it on, its windows showing the words "
      "offered after %zu (%.1f words a time)\n",
      strip_shown, kWords, strip_right, static_cast<double>(offered) / kWords);
  std::printf("SUGGEST_TOUCH_VS_OFF=%.2f\n", Median(ratio));
  std::printf("SUGGEST_TOUCH_AND_AFTER_VS_OFF=%.2f\n", Median(ratio_all));
  // The option is kept in the registry: the benchmarks after this one find
  // it on, as a first run has it.
  kbd.chkFont[kChkSuggestions].SetValue(CheckBox::kChecked);

  TerminateProcess(pi.hProcess, 0);
  std::fflush(stdout);
  ExitProcess(0);
}
