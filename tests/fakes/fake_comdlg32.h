// Fake comdlg32: the user cancels every colour dialog.
#pragma once
#include "platform/comdlg32.h"

namespace orv::fake {

class FakeComdlg32 : public Comdlg32 {
 public:
  int ChooseColorW(ChooseColorRecord&) override { return 0; }
};

}  // namespace orv::fake
