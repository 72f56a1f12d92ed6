// Failures the keyboard meets and goes past: each stops where it happened,
// is told where the user must know (a tip), and leaves a line in the log
// beside OrvKey.ini. The log's cap, registry writes that are refused, a
// history that cannot be read, what the system's conversions lose, and the
// history loader's thread beside the window's (run under ThreadSanitizer in
// the native-tsan build).
#include <new>
#include <stdexcept>
#include <thread>

#include "fakes/kbd_fixture.h"
#include "settings/registry.h"
#include "utility/failure_log.h"

#ifdef _WIN32
#include "win32/adapters.h"
#endif

namespace orv::fake {
namespace {

const std::wstring kFolder = L"C:\\Program Files\\OrvKey\\";
const std::wstring kIni = kFolder + L"OrvKey.ini";
const std::wstring kLog = kFolder + L"OrvKey.log";

class FailureTest : public TipKbdTest {
 protected:
  std::string& Log() { return desk.files[kLog]; }
  bool Logged(const std::string& utf8) { return Log().find(utf8) != std::string::npos; }
  // A first run's settings file, with these remembered texts.
  void SettingsWithHistory(const std::wstring& lines) {
    Load();
    kbd->SaveSettings();
    desk.files[kIni] += desk.ToAnsi(lines, nullptr);
  }
};

// Lines written before the log has its file, or on another thread, wait
// for it; a repeated line is counted, not written again; a failure thrown inside an event stops
// there and is named; a full log moves aside, so that the two never pass twice the cap.
TEST_F(FailureTest, LogKeepsEveryFailureOnceWithinItsCap) {
  LogFailure(L"before the data folder was known");
  Load();
  EXPECT_TRUE(Logged("2026-12-07 00:00:00  before the data folder was known\r\n")) << Log();

  EXPECT_TRUE(ContainFailure(L"A quiet event", [] {}));
  EXPECT_FALSE(ContainFailure(L"A key event", [] { throw std::out_of_range("index 47"); }));
  EXPECT_FALSE(ContainFailure(L"Another", [] { throw 5; }));
  EXPECT_TRUE(Logged("A key event failed: index 47\r\n"));
  EXPECT_TRUE(Logged("Another\r\n"));
  // Another thread's line waits for the window's thread to write it.
  std::thread([] { LogFailure(L"On the loader's thread"); }).join();
  EXPECT_FALSE(Logged("On the loader's thread"));
  LogFailure(L"On the window's thread");
  EXPECT_TRUE(Logged("On the loader's thread\r\n"));
  for (int i = 0; i < 5; ++i) LogFailure(L"Paint failed:\r\nerror 8");
  LogFailure(L"Something else");
  EXPECT_TRUE(Logged("Paint failed:  error 8\r\n"));
  EXPECT_TRUE(Logged("(the line above 4 times more) Something else\r\n"));

  Log() = std::string(kMaxLogBytes - 10, 'x');
  kbd.reset();  // the next run finds the file nearly full
  Load();
  LogFailure(L"The line that does not fit");
  EXPECT_EQ(desk.files[kLog + kOldLogSuffix].size(), kMaxLogBytes - 10);
  EXPECT_TRUE(Log().ends_with("The line that does not fit\r\n"));
  EXPECT_LT(Log().size(), 100u);
  // A failure that comes back on every tick stops being written.
  for (int i = 0; i < 1000; ++i) LogFailure(L"tick " + std::to_wstring(i));
  EXPECT_LT(Log().size(), 200u * 60u);
  EXPECT_TRUE(Logged("Further failures of this run are not logged"));
}

// A history that cannot be read keeps the texts the keyboard had, types on
// and says so in the log; a list index outside the list reads as no entry.
TEST_F(FailureTest, FailedHistoryLoadKeepsTheTextsAndTheKeyboardTyping) {
  SettingsWithHistory(L"Москва\r\nМинск\r\n");
  Load();
  kbd->GetHistory().LoadLater([]() -> std::vector<std::wstring> { throw std::bad_alloc(); });
  Type(L"мин");
  EXPECT_EQ(kbd->cmbText.Text(), L"мин");
  EXPECT_EQ(kbd->cmbText.Items(), std::vector<std::wstring>{L"Минск"});
  EXPECT_TRUE(Logged("Reading the remembered texts failed: std::bad_alloc"));
  EXPECT_EQ(kbd->cmbSize.List(-1), L"");
  EXPECT_EQ(kbd->cmbSize.List(kbd->cmbSize.ListCount()), L"");
}

// A value the registry refuses is no longer reported stored: autostart's tip
// says the choice was not changed and the log says why. (A missing Run key
// is told and logged end to end.)
TEST_F(FailureTest, RefusedRegistryWritesAreReportedAndAutostartTellsTheTruth) {
  Load();
  desk.registry[L"HKCU\\" + kRunKey];
  desk.set_value_error = 5;
  EXPECT_FALSE(WriteRegValue(desk, kHkeyCurrentUser, kRunKey, L"OrvKey", std::wstring()));
  EXPECT_TRUE(Logged("RegSetValueExW " + ToUtf8(kRunKey) + " OrvKey failed: error 5"));
  kbd->cmdHistory_Click(1);
  EXPECT_EQ(TipText(), L"Автозагрузка не изменена");
  Unload();
  EXPECT_TRUE(Logged("The window placement could not be saved in the registry"));
  EXPECT_EQ(desk.open_keys, 0);
}

#ifdef _WIN32
// Whether the system's conversions lost anything, under each code page the
// keyboard must work under (what they convert to is read and written back
// end to end): in UTF-8 only a broken surrogate pair is lossy.
TEST(SystemCodePages, ConversionsTellWhatTheyLose) {
  win32::SystemKernel32 utf8(65001), cyrillic(1251);
  bool lossless = false;
  EXPECT_EQ(utf8.ToAnsi(L"Жё № 日本", &lossless), ToUtf8(L"Жё № 日本"));
  EXPECT_TRUE(lossless);
  utf8.ToAnsi(std::wstring(1, wchar_t(0xD800)) + L"x", &lossless);
  EXPECT_FALSE(lossless);
  EXPECT_EQ(cyrillic.ToAnsi(L"Жё№", &lossless), "\xC6\xB8\xB9");
  EXPECT_TRUE(lossless);
  cyrillic.ToAnsi(L"Жё 日本", &lossless);
  EXPECT_FALSE(lossless);
}
#endif

// The loader's thread makes the entries while the window's thread types
// and lists through the same ports: only the methods that say they are
// callable from any thread are shared, and nothing races.
TEST_F(FailureTest, HistoryLoaderSharesOnlyWhatAnyThreadMayCall) {
  std::wstring lines;
  for (int i = 0; i < 20000; ++i) lines += L"запись " + std::to_wstring(i) + L"\r\n";
  SettingsWithHistory(lines);
  Load();
  for (int i = 0; i < 20; ++i) {
    desk.CharUpperW(L"строка");
    desk.FromAnsi("\xE0\xE1");
  }
  Type(L"1999");
  const auto& list = kbd->cmbText.Items();
  ASSERT_EQ(list.size(), 12u);  // 1999, 11999 and 19990 to 19999
  EXPECT_EQ(list.front(), L"запись 1999");
  EXPECT_EQ(list.back(), L"запись 19999");
  EXPECT_EQ(History().size(), 20000u);
}

}  // namespace
}  // namespace orv::fake
