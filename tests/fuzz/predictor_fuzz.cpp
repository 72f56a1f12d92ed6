// Any bytes as a run of the predictor's calls over the real lexicons: texts
// learned (what was sent, and a remembered history that a power cut may have
// torn), suggestions for any text before the insertion point (the edit line
// holds whatever the target's field held), and Clr History. No call may
// crash, hang or offer more words than asked for, or an empty one.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "predict/predictor.h"

namespace {

std::vector<std::uint8_t> ReadAll(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

orv::Predictor& Shared() {
  static orv::Predictor* predictor = [] {
    auto* p = new orv::Predictor;
    const std::string dir = ORV_LEXICON_DIR;
    const auto ru = ReadAll(dir + "/lexicon_ru.bin"), en = ReadAll(dir + "/lexicon_en.bin");
    if (ru.empty() || en.empty()) std::abort();
    p->SetLexicon(orv::Language::Russian, orv::UnpackLexicon(ru));
    p->SetLexicon(orv::Language::English, orv::UnpackLexicon(en));
    return p;
  }();
  return *predictor;
}

// Mostly what the keys type, so the fuzzer reaches deep into words; a byte
// from 240 up starts any UTF-16 unit, surrogate halves included.
wchar_t Unit(const std::uint8_t* data, std::size_t& i, std::size_t size) {
  static constexpr wchar_t kKeys[] =
      L"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
      L"абвгдежзийклмнопрстуфхцчшщъыьэюяёАБВГДЕЁЖЗЯ '-.,!?\"()\t\r\n0123456789";
  const std::uint8_t b = data[i++];
  if (b < 240 || i + 1 >= size) return kKeys[b % (std::size(kKeys) - 1)];
  const wchar_t unit = static_cast<wchar_t>((data[i] << 8) | data[i + 1]);
  i += 2;
  return unit;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  orv::Predictor& predictor = Shared();
  predictor.Forget();
  for (std::size_t i = 0; i < size;) {
    const std::uint8_t op = data[i++];
    std::size_t length = i < size ? data[i++] % 80 : 0;
    std::wstring text;
    while (length-- > 0 && i < size) text += Unit(data, i, size);
    if (op % 8 < 2) {
      predictor.Learn(text);
    } else if (op == 7) {
      predictor.Forget();
    } else {
      const std::size_t count = op % 9;
      const auto lang = op & 8 ? orv::Language::Russian : orv::Language::English;
      for (const std::wstring& word : predictor.Suggest(text, lang, count)) {
        if (word.empty()) std::abort();
      }
      if (predictor.Suggest(text, lang, count).size() > count) std::abort();
    }
  }
  return 0;
}
