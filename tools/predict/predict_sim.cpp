// The simulator of scripts/predict.sh: types texts through the keyboard's
// predictor, from the base lexicons and an empty history, and prints what
// the suggestions saved.
//
//   predict_sim --lexicons DIR [--candidates N] [--slip P --seed S]
//               [--lines all|odd|even] [--weights s,t,p,l,x] FILE...
//   predict_sim --lexicons DIR --cost [--history N] FILE...
//       the lexicons' unpacking time and memory (held after, and at the peak
//       while unpacking: a heap may keep what was freed), and the processor time of
//       learning N texts (100,000 unless told: the FILEs' lines, each with a
//       word of its own), of the first call after, and of a call with and
//       without that history. The program builds for Windows as well, where
//       wide characters take half the room.
#include <malloc.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <new>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "predict/predictor.h"
#include "predict/typing_simulator.h"

// Every allocation is counted, so the lexicons' memory is measured the same
// way on every system (wide characters take 2 bytes on Windows, 4 here).
std::atomic<std::size_t> g_heap{0}, g_peak{0};

std::size_t BlockSize(void* p) {
#ifdef _WIN32
  return _msize(p);
#else
  return malloc_usable_size(p);
#endif
}

void* operator new(std::size_t size) {
  void* p = std::malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  g_heap += BlockSize(p);
  for (std::size_t now = g_heap, peak = g_peak;
       now > peak && !g_peak.compare_exchange_weak(peak, now);) {
  }
  return p;
}
void operator delete(void* p) noexcept {
  if (!p) return;
  g_heap -= BlockSize(p);
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

std::size_t HeapInUse() { return g_heap; }

std::wstring FromUtf8(const std::string& s) {
  std::wstring out;
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char b = s[i];
    int more = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : 3;
    std::uint32_t c = more == 0 ? b : more == 1 ? (b & 0x1F) : more == 2 ? (b & 0x0F) : (b & 0x07);
    ++i;
    for (; more > 0 && i < s.size(); --more, ++i)
      c = (c << 6) | (static_cast<unsigned char>(s[i]) & 0x3F);
    out.push_back(static_cast<wchar_t>(c));
  }
  return out;
}

std::vector<std::uint8_t> ReadBytes(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}

std::vector<std::wstring> ReadLines(const std::string& path, const std::string& which) {
  std::ifstream f(path);
  if (!f) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    std::exit(2);
  }
  std::vector<std::wstring> lines;
  std::string line;
  for (std::size_t n = 1; std::getline(f, line); ++n) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    // A file saved by Notepad may open with a byte-order mark: not a character of the text.
    if (n == 1 && line.starts_with("\xEF\xBB\xBF")) line.erase(0, 3);
    if ((which == "odd" && n % 2 == 0) || (which == "even" && n % 2 == 1)) continue;
    lines.push_back(FromUtf8(line));
  }
  return lines;
}

// Processor time of this process, in milliseconds: the machine may be busy
// with other work, which the wall clock would count too.
double CpuMs() {
#ifdef _WIN32
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  return ((static_cast<unsigned long long>(user.dwHighDateTime) << 32) | user.dwLowDateTime) /
         10000.0;
#else
  return 1000.0 * std::clock() / CLOCKS_PER_SEC;
#endif
}

}  // namespace

int main(int argc, char** argv) {
  std::string lexicons = "resources", which = "all";
  orv::SimulationOptions options;
  orv::PredictorWeights weights;
  bool cost = false;
  int history = 100000;
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto next = [&]() -> std::string {
      if (i + 1 >= argc) {
        std::fprintf(stderr, "%s needs a value\n", a.c_str());
        std::exit(2);
      }
      return argv[++i];
    };
    // A number from lo to hi, whole if asked, or a one-line complaint.
    auto number = [&](double lo, double hi, bool whole) {
      const std::string text = next();
      char* end = nullptr;
      const double v = std::strtod(text.c_str(), &end);
      if (text.empty() || *end != '\0' || !(v >= lo && v <= hi) || (whole && v != std::floor(v))) {
        std::fprintf(stderr, "%s wants %s from %.10g to %.10g, not \"%s\"\n", a.c_str(),
                     whole ? "a whole number" : "a number", lo, hi, text.c_str());
        std::exit(2);
      }
      return v;
    };
    if (a == "--lexicons") {
      lexicons = next();
    } else if (a == "--candidates") {
      options.candidates = static_cast<std::size_t>(number(0, 1000000, true));
    } else if (a == "--slip") {
      options.slip = number(0, 1, false);
    } else if (a == "--seed") {
      options.seed = static_cast<std::uint32_t>(number(0, 4294967295.0, true));
    } else if (a == "--lines") {
      which = next();
      if (which != "odd" && which != "even" && which != "all") {
        std::fprintf(stderr, "--lines wants odd, even or all, not \"%s\"\n", which.c_str());
        return 2;
      }
    } else if (a == "--weights") {
      std::istringstream in(next());
      char comma;
      in >> weights.subtitles >> comma >> weights.triple >> comma >> weights.pair >> comma >>
          weights.learned >> comma >> weights.slip;
    } else if (a == "--history") {
      history = static_cast<int>(number(0, 10000000, true));
    } else if (a == "--cost") {
      cost = true;
    } else {
      files.push_back(a);
    }
  }

  const std::size_t heap_before = HeapInUse();
  const double t0 = CpuMs();
  auto ru = orv::UnpackLexicon(ReadBytes(lexicons + "/lexicon_ru.bin"));
  auto en = orv::UnpackLexicon(ReadBytes(lexicons + "/lexicon_en.bin"));
  const double t1 = CpuMs();
  const std::size_t heap_after = HeapInUse();
  if (!ru || !en) {
    std::fprintf(stderr, "the lexicons in %s are not packed lexicons\n", lexicons.c_str());
    return 2;
  }

  if (cost) {
    std::printf("UNPACK_MS=%.1f\nLEXICON_MEMORY_MB=%.2f\nLEXICON_PEAK_MB=%.2f\n", t1 - t0,
                (heap_after - heap_before) / 1048576.0, (g_peak - heap_before) / 1048576.0);
    // 100,000 remembered texts: the given texts over and over, each with a
    // word of its own (a street, a name) so that the learned words grow too.
    std::vector<std::wstring> texts;
    for (const auto& f : files)
      for (auto& l : ReadLines(f, "all")) texts.push_back(std::move(l));
    std::mt19937 rng(7);
    orv::Predictor p;
    p.SetLexicon(orv::Language::Russian, ru);
    p.SetLexicon(orv::Language::English, en);
    const double l0 = CpuMs();
    for (int n = 0; n < history; ++n) {
      std::wstring own;
      const bool latin = rng() % 2;
      for (int k = 0, len = 5 + rng() % 5; k < len; ++k)
        own += static_cast<wchar_t>(latin ? L'a' + rng() % 26 : 0x430 + rng() % 32);
      p.Learn(texts[rng() % texts.size()] + L" " + own);
    }
    const double l1 = CpuMs();
    p.Suggest(L"", orv::Language::English, 4);  // the first touch sorts what is left
    const double l2 = CpuMs();
    // The same touches with no history, as the baseline.
    orv::Predictor bare;
    bare.SetLexicon(orv::Language::Russian, ru);
    bare.SetLexicon(orv::Language::English, en);
    auto per_call = [&](orv::Predictor& predictor) {
      std::size_t calls = 0;
      const double s0 = CpuMs();
      for (const auto& text : texts) {
        std::wstring typed;
        for (wchar_t ch : text) {
          typed += ch;
          predictor.Suggest(typed, orv::Language::English, 4);
          ++calls;
        }
      }
      return 1000.0 * (CpuMs() - s0) / calls;
    };
    const double with_history = per_call(p), without = per_call(bare);
    std::printf(
        "LEARN_MS=%.0f\nFIRST_SUGGEST_MS=%.1f\nSUGGEST_US=%.1f\nSUGGEST_NO_HISTORY_US=%.1f\n",
        l1 - l0, l2 - l1, with_history, without);
    return 0;
  }

  for (const auto& f : files) {
    orv::Predictor p;
    p.SetWeights(weights);
    p.SetLexicon(orv::Language::Russian, ru);
    p.SetLexicon(orv::Language::English, en);
    const auto r = orv::SimulateTyping(p, ReadLines(f, which), options);
    if (files.size() > 1) std::printf("== %s\n", f.c_str());
    std::printf("KSR=%.1f\nKI=%llu\nKS=%llu\nKN=%llu\n", r.Ksr(),
                static_cast<unsigned long long>(r.ki), static_cast<unsigned long long>(r.ks),
                static_cast<unsigned long long>(r.kn));
    if (options.slip > 0) std::printf("WORDS_RIGHT=%.1f\n", r.WordsRight());
  }
  return 0;
}
