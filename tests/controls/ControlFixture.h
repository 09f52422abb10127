// What the wrapper tests share: a simulated application with a main window, the host stand-in serving as
// the module's object service and log, and wrappers bound the two ways kind infos bind them.
#pragma once

#include "controls/ControlBase.h"
#include "dispatch/InvokeException.h"
#include "frame/HostServices.h"

#include "host/services/Host.h"
#include "host/app/Xaml.h"
#include "wpfsim/Application.h"

#include "TestSupport.h"
#include "../wpfsim/SimCall.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>

namespace ovtest {

inline void ExpectError(const std::optional<CovInvokeException>& e, std::wstring_view message,
                        std::wstring_view details, LONG kind = 3) {
    ASSERT_TRUE(e) << "nothing raised";
    EXPECT_EQ(e->Message().View(), message);
    EXPECT_EQ(e->Details().View(), details);
    EXPECT_EQ(e->Kind(), kind);
}

// The report modes (error, message) of an automation object; (-1, -1) for an object without them.
inline std::pair<LONG, LONG> ReportModes(IUnknown* object) {
    LONG error = -1, message = -1;
    if (auto base = ov::QueryAs<IovCtrlBase>(object)) {
        base->get_ErrorReportMode(&error);
        base->get_MessageReportMode(&message);
    }
    return {error, message};
}
// What every automation object starts with, also one that another object hands out: the host sets its own.
inline constexpr std::pair<LONG, LONG> kModesAtCreation{1, 1};

inline void ExpectGenericError(const std::optional<CovInvokeException>& e) {
    ExpectError(e, L"An error occurred.", ov::texts::Reasons);
}

using simtest::Call;
using simtest::Get;
using simtest::Put;
using simtest::Result;

inline ov::Variant Str(const wchar_t* s) {
    return ov::Variant::String(s);
}

// A one-dimensional array of VARIANT, as a VBScript Array(...) literal.
inline ov::Variant ArrayOf(const std::vector<ov::Variant>& elements, LONG lower = 0) {
    SAFEARRAYBOUND bound{static_cast<ULONG>(elements.size()), lower};
    ov::Variant v;
    v.parray = SafeArrayCreate(VT_VARIANT, 1, &bound);
    v.vt = VT_ARRAY | VT_VARIANT;
    for (LONG i = 0; i < static_cast<LONG>(elements.size()); ++i) {
        LONG at = lower + i;
        SafeArrayPutElement(v.parray, &at, const_cast<ov::Variant*>(&elements[static_cast<size_t>(i)]));
    }
    return v;
}

class ControlFixture : public testing::Test {
protected:
    void SetUp() override {
        LoadTypeLibraries();
        host_ = std::make_unique<ovhost::Host>(BinFolder());
        app_ = std::make_unique<wpfsim::Application>();
        window_ = &app_->Add(nullptr, L"System.Windows.Window", L"mainWindow");
        window_->SetBounds({0, 0, 400, 300});
        ov::HostServices::Set(host_->ObjectService().Get(), host_->LogService().Get());
    }
    void TearDown() override {
        ov::HostServices::Clear();
        host_.reset();
        app_.reset();
    }

    // Replaces the application with one read from XAML, its first root the main window; laid out and
    // attached.
    void LoadXaml(const std::string& xaml) {
        app_ = ovhost::ParseXaml(xaml);
        window_ = app_->Roots().front();
        app_->UpdateLayout();
        Attach();
    }
    // Builds the host's objects for the application as it stands.
    void Attach() { host_->Attach(*app_); }
    // A wrapper for the host's identifier of the element (what the host gets).
    template <class W = CovWPFCtrl> ov::ComPtr<W> WrapElement(const wpfsim::Element& element) {
        ov::ComPtr<W> wrapper = ov::Create<W>();
        wrapper->BindToNode(element.Id());
        return wrapper;
    }
    // A wrapper for the element's .NET object (what the module makes for itself).
    template <class W = CovWPFCtrl> ov::ComPtr<W> WrapObject(wpfsim::Element& element) {
        ov::ComPtr<W> wrapper = ov::Create<W>();
        wrapper->BindToObject(CovDispDriver(element.NewDispatch().Get()));
        return wrapper;
    }
    // Forgets the host's and the application's call counts, the host's actions and the log.
    void Reset() {
        host_->Calls().Reset();
        host_->ClearActions();
        app_->ResetCalls();
        host_->ClearLog();
    }
    // The host's clicks (window activations and mouse moves left out), and the names of their targets.
    std::vector<ovhost::ActionRecord> Clicks() {
        std::vector<ovhost::ActionRecord> clicks;
        for (const ovhost::ActionRecord& action : host_->Actions())
            if (action.kind == ovhost::ActionKind::Click) clicks.push_back(action);
        return clicks;
    }
    std::vector<ovhost::LogEntry> TakeLog() {
        std::vector<ovhost::LogEntry> log = host_->Log();
        host_->ClearLog();
        return log;
    }

    ovhost::Host& Host() { return *host_; }
    wpfsim::Application& App() { return *app_; }
    wpfsim::Element& MainWindow() { return *window_; }

private:
    std::unique_ptr<ovhost::Host> host_;
    std::unique_ptr<wpfsim::Application> app_;
    wpfsim::Element* window_ = nullptr;
};

} // namespace ovtest
