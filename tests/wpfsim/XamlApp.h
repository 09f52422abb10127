// Applications read from WPF XAML, and the late-bound walks the simulation's tests make over them: every
// check goes through IDispatch by member name, as the module sees the application.
#pragma once

#include "SimCall.h"

#include "host/app/Xaml.h"
#include "wpfsim/ClrObject.h"

#include <memory>
#include <string>
#include <vector>

namespace simtest {

// A Window of the presentation namespace around `body`, with the x: and sys: namespaces declared.
inline std::string WindowXaml(const std::string& body, const std::string& windowAttributes = "") {
    return "<Window xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\"\n"
           "        xmlns:x=\"http://schemas.microsoft.com/winfx/2006/xaml\"\n"
           "        xmlns:sys=\"clr-namespace:System;assembly=mscorlib\"\n"
           "        x:Name=\"mainWindow\" Title=\"Test\" " +
           windowAttributes + ">\n" + body + "\n</Window>\n";
}

inline ov::ComPtr<IDispatch> AsObject(const VARIANT& v) {
    return ov::ComPtr<IDispatch>(v.vt == VT_DISPATCH ? v.pdispVal : nullptr);
}

inline ov::ComPtr<IDispatch> GetObject(IDispatch* d, const wchar_t* member) {
    return AsObject(Get(d, member).value);
}

inline bool GetBool(IDispatch* d, const wchar_t* member) {
    Result r = Get(d, member);
    EXPECT_EQ(r.value.vt, VT_BOOL) << "member " << testing::PrintToString(std::wstring(member));
    return r.value.vt == VT_BOOL && r.value.boolVal != VARIANT_FALSE;
}

// A number of any numeric type, as a double (NaN when the member gave none).
inline double GetNumber(IDispatch* d, const wchar_t* member) {
    Result r = Get(d, member);
    ov::Variant number;
    if (FAILED(VariantChangeType(&number, &r.value, 0, VT_R8))) return std::nan("");
    return number.dblVal;
}

inline std::wstring GetText(IDispatch* d, const wchar_t* member) {
    return Text(Get(d, member).value);
}

inline std::wstring ClassOf(IDispatch* d) {
    return d ? GetText(d, L"ClrFullClassName") : L"<null>";
}

inline std::wstring NameOf(IDispatch* d) {
    return d ? GetText(d, L"Name") : L"<null>";
}

// Whether two values are the same .NET object ("ReferenceEquals": null and null are).
inline bool Same(IDispatch* a, IDispatch* b, IDispatch* any) {
    Result r = Call(any, L"ReferenceEquals", {ov::Variant::Dispatch(a), ov::Variant::Dispatch(b)});
    return r.value.vt == VT_BOOL && r.value.boolVal != VARIANT_FALSE;
}

// The container of an items control's item at `index`, through its generator (null when there is none).
inline ov::ComPtr<IDispatch> ContainerAt(IDispatch* control, int index) {
    auto generator = GetObject(control, L"ItemContainerGenerator");
    return AsObject(Call(generator.Get(), L"ContainerFromIndex", {ov::Variant::Int(index)}).value);
}

inline std::vector<ov::ComPtr<IDispatch>> VisualChildren(IDispatch* d) {
    std::vector<ov::ComPtr<IDispatch>> children;
    const double count = GetNumber(d, L"get_VisualChildrenCount");
    for (int i = 0; i < count; ++i)
        children.push_back(AsObject(Call(d, L"GetVisualChild", {ov::Variant::Int(i)}).value));
    return children;
}

// The first element of that name below `d` in the visual tree, depth first (null when none).
inline ov::ComPtr<IDispatch> FindPart(IDispatch* d, const std::wstring& name) {
    for (auto& child : VisualChildren(d)) {
        if (!child) continue;
        if (NameOf(child.Get()) == name) return child;
        if (auto found = FindPart(child.Get(), name)) return found;
    }
    return nullptr;
}

// The first element of that class below `d` in the visual tree, depth first (null when none).
inline ov::ComPtr<IDispatch> FindOfClass(IDispatch* d, const std::wstring& className) {
    for (auto& child : VisualChildren(d)) {
        if (!child) continue;
        if (ClassOf(child.Get()) == className) return child;
        if (auto found = FindOfClass(child.Get(), className)) return found;
    }
    return nullptr;
}

// An application read from XAML; the live counts of the simulation go back to their start at the end.
class XamlTest : public testing::Test {
protected:
    void Load(const std::string& body, const std::string& windowAttributes = "") {
        try {
            app = ovhost::ParseXaml(WindowXaml(body, windowAttributes));
        } catch (const ovhost::XamlError& e) {
            FAIL() << "XAML refused: " << testing::PrintToString(e.ToString());
        }
        app->UpdateLayout();
    }
    void TearDown() override {
        app.reset();
        EXPECT_EQ(wpfsim::LiveObjects(), liveAtStart) << "simulated objects outlived their application";
    }

    wpfsim::Element& E(const wchar_t* name) {
        wpfsim::Element* e = app->Find(name);
        if (!e) throw std::runtime_error("no element " + testing::PrintToString(std::wstring(name)));
        return *e;
    }
    ov::ComPtr<IDispatch> D(const wchar_t* name) { return E(name).NewDispatch(); }
    // Screen points of an element's rectangle: its centre, or an offset from its top-left corner.
    POINT Centre(wpfsim::Element& e) {
        app->UpdateLayout();
        const RECT& r = e.Bounds();
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    POINT Centre(const wchar_t* name) { return Centre(E(name)); }
    POINT CentreOf(IDispatch* d) {
        auto* e = dynamic_cast<wpfsim::Element*>(wpfsim::ObjectOf(d).Get());
        if (!e) throw std::runtime_error("not an element");
        return Centre(*e);
    }
    wpfsim::Element* Click(POINT p, wpfsim::MouseButton button = wpfsim::MouseButton::Left) {
        return app->Click(p, {button});
    }

    long liveAtStart = wpfsim::LiveObjects();
    std::unique_ptr<wpfsim::Application> app;
};

} // namespace simtest
