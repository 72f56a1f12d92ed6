// The candidate strip: which words it shows and where each stands.
#include "keys/word_strip.h"

#include <algorithm>
#include <utility>

#include "platform/toolkit.h"

namespace orv {

namespace {
// Between two words and round the edge, and beside a caption, at 96 DPI.
constexpr int kGap96 = 3;
constexpr int kCaptionPad96 = 12;
}  // namespace

std::vector<Rect> LayOutWords(const std::vector<std::int32_t>& caption_widths,
                              std::int32_t strip_width, int dpi) {
  const std::int32_t gap = ScaleFrom96(kGap96, dpi), pad = ScaleFrom96(kCaptionPad96, dpi);
  const std::int32_t height = TwipsToPixels(kStripHeightTwips, dpi);
  // Each word brings its gap on the right; a short word takes a quarter of
  // the strip, so that the words stand where they stood as they change.
  const std::int32_t room = strip_width - gap;
  const std::int32_t least =
      std::max(TwipsToPixels(kStripMinWordTwips, dpi), room / kStripWords - gap);
  std::vector<Rect> cells;
  std::int32_t left = gap;
  for (const std::int32_t caption : caption_widths) {
    std::int32_t w = std::max(least, caption + 2 * pad);
    if (left + w + gap > strip_width) {
      if (!cells.empty()) break;
      w = std::max<std::int32_t>(room - gap, 0);
    }
    cells.push_back(Rect{left, gap, left + w, height - gap});
    left += w + gap;
  }
  return cells;
}

Rect StripPlace(const Rect& keyboard, const Rect& work_area, int dpi) {
  const std::int32_t h = TwipsToPixels(kStripHeightTwips, dpi);
  if (keyboard.top - h >= work_area.top) {
    return Rect{keyboard.left, keyboard.top - h, keyboard.right, keyboard.top};
  }
  return Rect{keyboard.left, keyboard.bottom, keyboard.right, keyboard.bottom + h};
}

WordStrip::WordStrip() {
  SetCaption(L"OrvKey Words");
  for (int i = 0; i < kStripWords; ++i) {
    auto& word = lblWord[static_cast<std::size_t>(i)];
    word.SetIndex(i);
    word.SetVisible(false);
  }
}

void WordStrip::Offer(const std::vector<std::wstring>& words) {
  const std::size_t n = std::min<std::size_t>(words.size(), kStripWords);
  std::vector<std::wstring> shown(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(n));
  find_ = nullptr;
  if (shown == words_) return;
  words_ = std::move(shown);
  settled_ = false;
}

void WordStrip::OfferLater(std::function<std::vector<std::wstring>()> find) {
  find_ = std::move(find);
}

void WordStrip::Settle() {
  if (find_) Offer(std::exchange(find_, nullptr)());
  if (!settled_) LayOut();
}

std::vector<std::wstring> WordStrip::Words() {
  Settle();
  std::vector<std::wstring> out;
  for (const auto& word : lblWord) {
    if (word.Visible()) out.push_back(word.Caption());
  }
  return out;
}

void WordStrip::Dock(const Rect& keyboard, const Rect& work_area, int dpi, bool shown) {
  const Rect place = StripPlace(keyboard, work_area, dpi);
  // A new key font (the options panel) changes what each word needs too.
  const bool relay =
      dpi != dpi_ || place.width() != Width() || !(lblWord[0].Font() == widths_font_);
  dpi_ = dpi;
  if (place.left != Left() || place.top != Top() || place.width() != Width() ||
      place.height() != Height()) {
    Move(place.left, place.top, place.width(), place.height());
  }
  if (relay) LayOut();
  if (shown != Visible()) SetVisible(shown);
}

// The captions are measured afresh: the font follows the screen's density.
// A label without a word has no caption either, so that what reads the
// strip's windows finds only the words on show.
void WordStrip::LayOut() {
  settled_ = true;
  if (!(widths_font_ == lblWord[0].Font()) || widths_dpi_ != dpi_ || widths_.size() > 512) {
    widths_.clear();
    widths_font_ = lblWord[0].Font();
    widths_dpi_ = dpi_;
  }
  std::vector<std::int32_t> widths;
  for (const auto& w : words_) {
    auto it = widths_.find(w);
    if (it == widths_.end()) it = widths_.emplace(w, width_of ? width_of(w) : 0).first;
    widths.push_back(it->second);
  }
  const std::vector<Rect> cells = LayOutWords(widths, Width(), dpi_);
  for (std::size_t i = 0; i < lblWord.size(); ++i) {
    auto& label = lblWord[i];
    if (i < cells.size()) {
      label.SetCaption(words_[i]);
      const Rect& r = cells[i];
      label.Move(r.left, r.top, r.width(), r.height());
      label.SetVisible(true);
    } else {
      label.SetVisible(false);
      label.SetCaption(L"");
    }
  }
}

}  // namespace orv
