// The options strip: style boxes, colour dialogs and the general options, and
// how each spreads the template key's look.
#include "fakes/kbd_fixture.h"
#include "tip/frmTip.h"

namespace orv::fake {
namespace {

class OptionsTest : public KbdTest {
 protected:
  FrmTip tip{ports, kelp};
  void SetUp() override {
    tip.AttachWindow(desk.AddWindow(L"OrvTip", kTipTitle, 0, Rect{0, 0, 584, 185}));
    desk.on_do_events = [this] { desk.now += 10; };  // slides take time
    tip_window = &tip;
    Load();
  }
  const std::wstring& TipText() { return tip.lblInfo[0].Caption(); }
};

TEST_F(OptionsTest, StyleBoxesAndListsSpreadTheTemplateLook) {
  kbd->lblControl[kKeyTab].SetForeColor(0x123456);
  kbd->cmbText.SetForeColor(0x654321);

  // A list pick reaches the character keys only.
  kbd->cmbFont.SetListIndex(0);  // Arial
  kbd->cmbSize.SetListIndex(kbd->cmbSize.ListCount() - 1);
  EXPECT_EQ(kbd->lblX[46].Font().name, L"Arial");
  EXPECT_EQ(kbd->lblX[46].Font().size, 48);
  EXPECT_EQ(kbd->lblControl[kKeyTab].Font().name, L"Tahoma");
  EXPECT_EQ(kbd->lblControl[kKeyTab].ForeColor(), 0x123456u);
  EXPECT_EQ(kbd->cmbText.ForeColor(), 0x654321u);

  // A box, even one that changes no look, spreads the colour further.
  kbd->chkFont[kChkTips].SetValue(0);
  EXPECT_EQ(kbd->lblControl[kKeyTab].ForeColor(), 255u);
  EXPECT_EQ(kbd->cmbText.ForeColor(), 255u);

  kbd->chkFont[kChkItalic].SetValue(1);
  EXPECT_TRUE(kbd->lblX[46].Font().italic);
  kbd->chkFont[kChkItalic].SetValue(2);  // greyed is not italic
  EXPECT_FALSE(kbd->lblX[46].Font().italic);
  kbd->chkFont[kChkHideToTray].SetValue(1);
  EXPECT_EQ(kbd->HideToTray(), 0);  // tray mode waits for the next start
}

TEST_F(OptionsTest, ColourDialogsStartFreshAndCancelChangesNothing) {
  std::wstring tip_when_asked;
  desk.on_choose_color = [&](ChooseColorRecord& record) {
    tip_when_asked = TipText();
    record.custom_colors.fill(0x00ABCDEF);  // the user defines custom colours
  };
  desk.color_answers = {0x00FF8000, std::nullopt, 0x00112233};

  kbd->chkFont[kChkColor1].SetValue(1);
  ASSERT_EQ(desk.color_dialogs.size(), 1u);
  EXPECT_EQ(desk.color_dialogs[0].result, 255u);
  EXPECT_EQ(kbd->lblX[46].ForeColor(), 0x00FF8000u);
  EXPECT_EQ(kbd->chkFont[kChkColor1].BackColor(), 255u);  // the swatch waits for a restart

  kbd->chkFont[kChkColor1].SetValue(0);  // cancelled
  EXPECT_EQ(desk.color_dialogs[1].custom_colors, (std::array<Color, 16>{}));
  EXPECT_EQ(kbd->lblX[0].ForeColor(), 0x00FF8000u);

  // The press colour is named first, even with tips turned off.
  kbd->chkFont[kChkTips].SetValue(0);
  kbd->chkFont[kChkColor2].SetValue(1);
  EXPECT_EQ(tip_when_asked, L"Укажите цвет клавиш при нажатии");
  EXPECT_EQ(desk.color_dialogs[2].result, 65280u);
  EXPECT_EQ(kbd->DownColor(), 0x00112233u);
  EXPECT_EQ(kbd->lblX[0].ForeColor(), 0x00FF8000u);
}

}  // namespace
}  // namespace orv::fake
