// How the simulated application scales with the items of a list: a generated XAML file with N data items
// in a ListBox of Height 100 is read, then asked for "Items" "Count" and "get_Item"(N-1) and scrolled to the
// end through the items panel's "BringIndexIntoView". Reports, from one run, the containers made per item
// (virtualization keeps it near 0) and the time of each step per item, so that runs on noisy machines still
// compare. --quick runs a small N for CI (it checks that the benchmark works, not its figures).
#include "host/app/Xaml.h"

#include "com/OleTypes.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

ov::Variant Invoke(IDispatch* object, const wchar_t* name, WORD flags, std::vector<ov::Variant> args = {}) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    ov::ThrowIfFailed(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    ov::Variant result;
    ov::ThrowIfFailed(
        object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, nullptr, nullptr));
    return result;
}

ov::Variant Get(IDispatch* object, const wchar_t* name) {
    return Invoke(object, name, DISPATCH_PROPERTYGET);
}

ov::Variant Call(IDispatch* object, const wchar_t* name, LONG argument) {
    return Invoke(object, name, DISPATCH_METHOD, {ov::Variant::Int(argument)});
}

int Run(long count) {
    std::string xaml =
        "<Window xmlns=\"http://schemas.microsoft.com/winfx/2006/xaml/presentation\" "
        "xmlns:sys=\"clr-namespace:System;assembly=mscorlib\"><ListBox Name=\"list\" Height=\"100\">";
    for (long i = 0; i < count; ++i)
        xaml += "<sys:String>Item " + std::to_string(i) + "</sys:String>";
    xaml += "</ListBox></Window>";

    auto start = Clock::now();
    auto app = ovhost::ParseXaml(xaml);
    const double read = Seconds(start);
    // The application shows its window before anyone calls it (what it defers is done).
    app->DoEvents();
    const size_t elementsRead = app->ElementsMade();

    ov::ComPtr<IDispatch> list = app->Find(L"list")->NewDispatch();
    start = Clock::now();
    ov::Variant items = Get(list.Get(), L"Items");
    const LONG itemCount = Get(items.pdispVal, L"Count").lVal;
    ov::Variant last = Call(items.pdispVal, L"get_Item", count - 1);
    const double query = Seconds(start);
    const size_t elementsAfterQuery = app->ElementsMade();

    start = Clock::now();
    ov::Variant host = Get(list.Get(), L"get_ItemsHost");
    Call(host.pdispVal, L"BringIndexIntoView", count - 1);
    ov::Variant container =
        Call(Get(list.Get(), L"ItemContainerGenerator").pdispVal, L"ContainerFromIndex", count - 1);
    const double scroll = Seconds(start);
    const LONG realized = Get(Get(host.pdispVal, L"get_InternalChildren").pdispVal, L"Count").lVal;

    std::printf(
        "items %ld: read %.3f s (%.2f us/item), Count and get_Item(last) %.6f s, scroll to last %.6f s\n",
        count, read, 1e6 * read / static_cast<double>(count), query, scroll);
    std::printf(
        "  elements made: %zu on reading, %zu after the queries (%.5f per item); containers in the panel "
        "after scrolling: %ld; Count %ld; last item generated: %s\n",
        elementsRead, elementsAfterQuery,
        static_cast<double>(elementsAfterQuery) / static_cast<double>(count), static_cast<long>(realized),
        static_cast<long>(itemCount), container.vt == VT_DISPATCH && container.pdispVal ? "yes" : "no");
    const bool ok = itemCount == count && container.vt == VT_DISPATCH && container.pdispVal &&
                    elementsAfterQuery < 200 && realized < 20;
    if (!ok) std::printf("FAILED: the list generated more than its view or lost items\n");
    return ok ? 0 : 1;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const bool quick = argc > 1 && std::wstring(argv[1]) == L"--quick";
    OleInitialize(nullptr);
    int result = 1;
    try {
        result = Run(quick ? 1000 : 100000);
    } catch (const ov::ComError& e) {
        std::printf("FAILED: 0x%08lX\n", static_cast<unsigned long>(e.hr));
    } catch (const ovhost::XamlError& e) {
        std::printf("FAILED: %ls\n", e.ToString().c_str());
    }
    OleUninitialize();
    return result;
}
