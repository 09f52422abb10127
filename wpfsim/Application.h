// The simulated application under test: it owns its elements and the tree they form, the settings its
// objects share (how strings are handed out, whether objects answer the member-lookup interface) and
// the application-wide faults and call counters.
//
//   wpfsim::Application app;
//   auto& window = app.Add(nullptr, L"System.Windows.Window", L"mainWindow");
//   auto& ok = app.Add<wpfsim::Element>(&window, L"System.Windows.Controls.Button", L"okButton");
//   ov::ComPtr<IDispatch> native = ok.NewDispatch();
//
// Destroying the application ends it: objects that callers still hold fail every call with ExitedResult.
#pragma once

#include "Element.h"

#include <type_traits>

namespace wpfsim {

class Application {
public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Creates an element of kind T under parent (null: a top-level window) as its last child.
    // Throws std::invalid_argument when the parent belongs to another application.
    template <class T = Element, class... A>
    T& Add(Element* parent, std::wstring className, std::wstring name, A&&... extra) {
        static_assert(std::is_base_of_v<Element, T>);
        ov::ComPtr<T> element =
            ov::Create<T>(*this, std::move(className), std::move(name), std::forward<A>(extra)...);
        T& result = *element;
        Adopt(parent, ov::ComPtr<Element>(element));
        return result;
    }
    // Takes the element and its subtree out of the tree; they live on as objects (parentless).
    void Remove(Element& element);

    const std::vector<Element*>& Roots() const noexcept { return roots_; }
    // The first element of that name in tree order (depth first), or null.
    Element* Find(std::wstring_view name) const;
    Element* FindById(const GUID& id) const;
    // The innermost visible element whose bounds hold the screen point; later siblings and later
    // windows lie on top. Null when none does.
    Element* ElementAt(POINT screen) const;
    Element* FocusedElement() const noexcept { return focused_; }

    // Strings as objects with "OleValue" (the default) or as plain BSTRs.
    void SetStringsAsObjects(bool asObjects) noexcept { runtime_->stringsAsObjects = asObjects; }
    bool StringsAsObjects() const noexcept { return runtime_->stringsAsObjects; }
    // Whether objects created from now on answer the member-lookup interface (default true);
    // ClrObject::SetAnswersMemberLookup changes one object.
    void SetMemberLookupDefault(bool answers) noexcept { runtime_->memberLookupDefault = answers; }

    // Fault: every lookup and Invoke of every object fails with hr until Resume.
    void StopResponding(HRESULT hr = NotRespondingResult) noexcept { runtime_->SetFailure(hr); }
    void Resume() noexcept { runtime_->SetFailure(S_OK); }
    bool IsResponding() const noexcept { return SUCCEEDED(runtime_->CallResult()); }

    // Calls on all objects of the application, in total or for one member name.
    CallCount Calls() const noexcept { return runtime_->calls.Total(); }
    CallCount Calls(std::wstring_view member) const { return runtime_->calls.Of(member); }
    // Resets the application's counters and those of its elements.
    void ResetCalls() noexcept;

    const std::shared_ptr<Runtime>& SharedRuntime() const noexcept { return runtime_; }

private:
    friend class Element;
    void Adopt(Element* parent, ov::ComPtr<Element> element);

    std::shared_ptr<Runtime> runtime_;
    std::vector<ov::ComPtr<Element>> owned_; // every element ever added, also those removed since
    std::vector<Element*> roots_;
    Element* focused_ = nullptr;
};

} // namespace wpfsim
