// The script's object model seen from C++: what the host hands out, and the end of a run, where the model
// answers no more and the host notices what someone else still references.
#include "HostFixture.h"

#include "host/ScriptModel.h"
#include "host/Xaml.h"

namespace {

const char* const kApp = R"(<Window xmlns="http://schemas.microsoft.com/winfx/2006/xaml/presentation"
        xmlns:x="http://schemas.microsoft.com/winfx/2006/xaml" Title="Model">
  <StackPanel>
    <Button x:Name="ok" Content="OK"/>
    <CheckBox x:Name="check" Content="Check"/>
  </StackPanel>
</Window>
)";

class ScriptModelTest : public hosttest::HostTest {
protected:
    ScriptModelTest() { attach = false; }
};

TEST_F(ScriptModelTest, EndCountsTheHandedOutObjectsThatAreStillReferenced) {
    auto app = ovhost::ParseXaml(kApp);
    ovhost::Host host(ovtest::BinFolder());
    host.LoadModule();
    host.Attach(*app);
    ov::ComPtr<IDispatch> kept;
    ov::ComPtr<IDispatch> appObject;
    {
        ovhost::ScriptModel model(host, *app);
        for (const auto& item : model.Items())
            if (item.name == L"App") appObject = item.object;
        ASSERT_TRUE(appObject);
        LPOLESTR name[] = {const_cast<LPOLESTR>(L"FIND")};
        DISPID find = DISPID_UNKNOWN;
        ASSERT_EQ(appObject->GetIDsOfNames(IID_NULL, name, 1, 0, &find), S_OK);
        for (const wchar_t* element : {L"ok", L"check"}) {
            ov::Variant arg = ov::Variant::String(element), result;
            DISPPARAMS params{&arg, nullptr, 1, 0};
            ASSERT_EQ(
                appObject->Invoke(find, IID_NULL, 0, DISPATCH_METHOD, &params, &result, nullptr, nullptr),
                S_OK);
            ASSERT_EQ(result.vt, VT_DISPATCH);
            ASSERT_TRUE(result.pdispVal);
            if (!kept) kept = result.pdispVal;
        }
        EXPECT_EQ(model.End(), 1u);

        // After the end the model answers with an error the script can read.
        ov::Variant arg = ov::Variant::String(L"ok"), result;
        DISPPARAMS params{&arg, nullptr, 1, 0};
        EXCEPINFO excep{};
        EXPECT_EQ(appObject->Invoke(find, IID_NULL, 0, DISPATCH_METHOD, &params, &result, &excep, nullptr),
                  DISP_E_EXCEPTION);
        EXPECT_EQ(ov::Bstr::Adopt(excep.bstrDescription).View(),
                  L"The run is over: the host's objects no longer answer.");
        SysFreeString(excep.bstrSource);
    }
    appObject.Reset();
    kept.Reset();
    host.Detach();
    host.UnloadModule();
}

} // namespace
