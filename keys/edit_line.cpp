// Editing the keyboard's own line at its insertion point.
#include "keys/edit_line.h"

#include <algorithm>

namespace orv {

void EditLine::Insert(const std::wstring& ch) {
  const std::wstring& t = line_.Text();
  const std::size_t at = caret_ < 0 ? 0 : static_cast<std::size_t>(caret_);
  std::wstring line;
  line.reserve(t.size() + ch.size());
  if (at >= t.size()) {
    line.append(t).append(ch);
  } else {
    line.append(t, 0, at).append(ch).append(t, at, std::wstring::npos);
  }
  line_.SetText(line);
  list_follows_();
  caret_ += static_cast<std::int32_t>(ch.size());
  line_.SetSelStart(caret_);
}

void EditLine::Splice(std::size_t start, std::size_t end, const std::wstring& text,
                      std::int32_t caret) {
  const std::wstring& t = line_.Text();
  start = std::min(start, t.size());
  end = std::clamp(end, start, t.size());
  std::wstring line = t.substr(0, start);
  line.append(text).append(t, end, std::wstring::npos);
  line_.SetText(line);
  list_follows_();
  caret_ = caret;
  line_.SetSelStart(caret_);
}

void EditLine::Backspace() {
  const std::wstring& t = line_.Text();
  if (caret_ <= 0 || t.empty()) return;
  const std::size_t at = std::min<std::size_t>(static_cast<std::size_t>(caret_), t.size());
  std::wstring line = t.substr(0, at - 1);
  if (static_cast<std::size_t>(caret_) < t.size()) line.append(t, at, std::wstring::npos);
  line_.SetText(line);
  list_follows_();
  --caret_;
  line_.SetSelStart(caret_);
}

void EditLine::Clear() {
  line_.SetText(L"");
  caret_ = 0;
  list_follows_();
}

void EditLine::Replace(const std::wstring& text) {
  line_.SetText(text);
  caret_ = static_cast<std::int32_t>(line_.Text().size());
}

void EditLine::PutCaret(std::int32_t pos) {
  line_.SetSelStart(pos);
  caret_ = line_.SelStart();
}

void EditLine::CaretToEnd() {
  line_.SetSelStart(static_cast<std::int32_t>(line_.Text().size()));
  caret_ = line_.SelStart();
}

}  // namespace orv
