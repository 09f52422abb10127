// What no script can hand the edits: a null BSTR (a script's empty text arrives as an empty one), and a
// password character wider than 16 bits (the rows: tests/members/edits.table).
#include "ControlFixture.h"

#include "controls/Edits.h"
#include "wpfsim/TextBox.h"

namespace {

using namespace ovtest;

class EditsTest : public ControlFixture {};

TEST_F(EditsTest, NullIsTheEmptyTextAndThePasswordCharIsTheLowSixteenBits) {
    auto& edit = App().Add<wpfsim::TextBox>(&MainWindow(), L"System.Windows.Controls.TextBox", L"edit");
    edit.SetMaxLength(5);
    edit.SetText(L"abc");
    auto& password =
        App().Add<wpfsim::PasswordBox>(&MainWindow(), L"System.Windows.Controls.PasswordBox", L"password");
    password.AddProperty(L"PasswordChar", [] { return ov::Variant::Int(0x7002A); });
    Attach();
    ov::Variant null;
    null.vt = VT_BSTR;
    null.bstrVal = nullptr;
    EXPECT_EQ(Put(WrapObject<CovWPFCtrlEdit>(edit).As<IDispatch>().Get(), L"wText", null).hr, S_OK);
    EXPECT_EQ(edit.Text(), L"");
    EXPECT_TRUE(TakeLog().empty());
    EXPECT_EQ(
        simtest::Text(
            Get(WrapObject<CovWPFCtrlPasswordEdit>(password).As<IDispatch>().Get(), L"wPasswordChar").value),
        L"*");
}

} // namespace
