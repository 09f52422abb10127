// What only a native test sees of the edit wrappers: the calls of a text set that is cut, the password
// character from the low 16 bits, and what a disabled element still takes (log lines: tests/scripts).
#include "ControlFixture.h"

#include "controls/Edits.h"
#include "wpfsim/TextBox.h"

#include <map>

namespace {

using namespace ovtest;

class EditsTest : public ControlFixture {
protected:
    void SetUp() override {
        ControlFixture::SetUp();
        edit_ = &App().Add<wpfsim::TextBox>(&MainWindow(), L"System.Windows.Controls.TextBox", L"edit");
        edit_->SetBounds({10, 10, 130, 32});
        edit_->SetMaxLength(5);
        password_ = &App().Add<wpfsim::PasswordBox>(&MainWindow(), L"System.Windows.Controls.PasswordBox",
                                                    L"password");
        password_->SetBounds({10, 40, 130, 62});
        Attach();
    }

    wpfsim::TextBox* edit_ = nullptr;
    wpfsim::PasswordBox* password_ = nullptr;
};

TEST_F(EditsTest, CutTextIsSetOnceAfterOneLimitReadWithoutAnyEnabledCheck) {
    auto wrapper = WrapElement<CovWPFCtrlEdit>(*edit_).As<IDispatch>();
    edit_->SetEnabled(false);
    Host().Calls().Reset();
    App().ResetCalls();
    EXPECT_EQ(Put(wrapper.Get(), L"wText", ov::Variant::String(L"abcdefgh")).hr, S_OK);
    EXPECT_EQ(edit_->Text(), L"abcde");
    EXPECT_EQ(TakeLog(),
              (std::vector<ovhost::LogEntry>{
                  {ovhost::LogError, L"Failed to set the text 'abcdefgh'. 'abcde' was set instead of it.",
                   L"Limit: 5."}}));
    const std::map<std::string, long, std::less<>> expected = {
        {"IovObjectService::FindHostObject", 1},
        {"IovHostObject::GetExtender", 1},
        {"IovObject::GetNativeObject", 1},
        {"IovHostLog::AddEntry", 1},
    };
    EXPECT_EQ(Host().Calls().Snapshot(), expected);
    EXPECT_EQ(App().Calls(L"MaxLength"), (wpfsim::CallCount{1, 1, 1}));
    EXPECT_EQ(App().Calls(L"Text"), (wpfsim::CallCount{1, 1, 1}));
    EXPECT_EQ(App().Calls(), (wpfsim::CallCount{2, 2, 2}));
}

TEST_F(EditsTest, LimitCutsOnlyLongerTextsAndNullIsTheEmptyText) {
    auto wrapper = WrapObject<CovWPFCtrlEdit>(*edit_).As<IDispatch>();
    // The limit counts code units, as WPF does (the other limits: tests/scripts/edits.*).
    edit_->SetMaxLength(1);
    EXPECT_EQ(Put(wrapper.Get(), L"wText", ov::Variant::String(L"\xD83D\xDE00")).hr, S_OK);
    EXPECT_EQ(edit_->Text(), L"\xD83D");
    EXPECT_EQ(TakeLog().size(), 1u);
    ov::Variant null;
    null.vt = VT_BSTR;
    null.bstrVal = nullptr;
    EXPECT_EQ(Put(wrapper.Get(), L"wText", null).hr, S_OK);
    EXPECT_EQ(edit_->Text(), L"");
}

TEST_F(EditsTest, PasswordCharIsTheLowSixteenBitsAndThePasswordIsTakenWhole) {
    auto wrapper = WrapObject<CovWPFCtrlPasswordEdit>(*password_).As<IDispatch>();
    Result got = Get(wrapper.Get(), L"wPasswordChar");
    EXPECT_EQ(simtest::Text(got.value), L"\x25CF");
    // A host that hands the char over as a wider integer.
    password_->AddProperty(L"PasswordChar", [] { return ov::Variant::Int(0x7002A); });
    EXPECT_EQ(simtest::Text(Get(wrapper.Get(), L"wPasswordChar").value), L"*");
    password_->SetMaxLength(5);
    EXPECT_EQ(Put(wrapper.Get(), L"wText", ov::Variant::String(L"12345678")).hr, S_OK);
    EXPECT_EQ(password_->Password(), L"12345678");
    EXPECT_TRUE(TakeLog().empty());
}

} // namespace
