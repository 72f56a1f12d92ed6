// The candidate strip above the keys: up to four words that finish the word
// being typed, best first from the left, each a finger's target. It is a
// window of its own that never takes the focus, docked to the keyboard's top
// edge and as wide as the keyboard, so that the keyboard keeps its size and
// every key its place.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "controls/controls.h"
#include "platform/types.h"

namespace orv {

inline constexpr int kStripWords = 4;
// The strip's height and a word's least width, in twips: a word stands
// taller than a key, and a short word is still two keys wide.
inline constexpr int kStripHeightTwips = 630;
inline constexpr int kStripMinWordTwips = 1200;

// Where each word stands in a strip `strip_width` pixels wide, from the
// widths its captions need: left to right in the order given, each as wide
// as its caption needs and never narrower than a quarter of the strip. A
// word that no longer fits is left out with every word after it; the first
// always stands, cut to the strip.
std::vector<Rect> LayOutWords(const std::vector<std::int32_t>& caption_widths,
                              std::int32_t strip_width, int dpi);

// The strip's place for a keyboard at `keyboard`: on its top edge, or on
// its bottom edge where the work area leaves no room above.
Rect StripPlace(const Rect& keyboard, const Rect& work_area, int dpi);

class WordStrip : public Form {
 public:
  WordStrip();

  // The words, one a label, whose caption is the word; a label without a
  // word is hidden.
  std::array<Label, kStripWords> lblWord;

  // How wide a caption is in the words' font at the screen's density.
  std::function<std::int32_t(const std::wstring&)> width_of;
  // Shows `words`, best first. They are laid out when next looked at:
  // measuring captions is work a key's touch need not wait for.
  void Offer(const std::vector<std::wstring>& words);
  // Shows the words `find` gives, asked for only when next looked at: keys
  // touched before that ask once, for the words after the last of them.
  void OfferLater(std::function<std::vector<std::wstring>()> find);
  // Finds and lays out the words last offered, if that is still to do.
  void Settle();
  bool Settled() const { return settled_ && !find_; }
  // The words on show, left to right.
  std::vector<std::wstring> Words();
  // Follows the keyboard: its place, and whether the strip is wanted at all.
  // The words are laid out again for a new width, density or font.
  void Dock(const Rect& keyboard, const Rect& work_area, int dpi, bool shown);

 private:
  void LayOut();
  std::vector<std::wstring> words_;
  int dpi_ = 96;
  bool settled_ = true;
  std::function<std::vector<std::wstring>()> find_;
  // Widths already measured, in the font and at the density they were
  // measured in: the same words come back letter after letter.
  std::map<std::wstring, std::int32_t> widths_;
  Font widths_font_;
  int widths_dpi_ = 0;
};

}  // namespace orv
