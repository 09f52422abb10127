// Threads: the host may use hook objects, and through them the extender, from any thread. Eight threads
// (four in the multi-threaded apartment, four in apartments of their own) run a fixed number of rounds at
// once; each round takes hook objects from the global interface table (the free-threaded marshaler hands
// them over as they are), calls them through IDispatch and their host interfaces, asks the type library
// cache and the menu objects' dispatch over the host's library (which one thread drops now and then),
// registers new hook objects with shared and own stub managers and drops them again, while one thread also
// removes owners, disposes the extender and changes a class-name option. No call may fail, none may hang, and
// at the end no registration and no object of the module may be left.
#include "host/services/Host.h"
#include "dispatch/HostDispatch.h"
#include "dispatch/TypeLibCache.h"
#include "host/cli/CommandLine.h"
#include "menus/WPFMenuHelper.h"
#include "recognition/HookExtender.h"
#include "recognition/HookObject.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>

namespace {

constexpr int kThreads = 8;
constexpr int kRounds = 150;
constexpr int kOwners = 4;

// An owner as the host has them: a module object with a key.
class Owner : public IovModule {
public:
    using Interfaces = ov::Interfaces<IovModule>;
    explicit Owner(const GUID& key) : key_(key) {}
    HRESULT STDMETHODCALLTYPE GetModuleKey(GUID* key) override {
        if (!key) return E_POINTER;
        *key = key_;
        return S_OK;
    }

private:
    GUID key_;
};

struct Shared {
    ov::ComPtr<CWPFControlRecognizerHookExtender> extender;
    std::vector<ov::ComPtr<IovObject>> hostObjects;
    std::vector<DWORD> cookies; // hook objects in the global interface table
    std::vector<GUID> ownerKeys;
    std::vector<ov::ComPtr<IUnknown>> owners;
    std::vector<ov::ComPtr<IDispatch>> menus; // a menu object and one of its items, over no element
    std::atomic<long> failures{0}, steps{0};
    std::atomic<bool> stop{false};
};

void Expect(Shared& shared, HRESULT hr) {
    shared.steps.fetch_add(1);
    if (FAILED(hr)) shared.failures.fetch_add(1);
}

HRESULT HookRound(Shared& shared, IGlobalInterfaceTable* git, int thread, int round) {
    ov::ComPtr<IDispatch> hook;
    HRESULT hr = git->GetInterfaceFromGlobal(shared.cookies[(thread + round) % shared.cookies.size()],
                                             IID_IDispatch, reinterpret_cast<void**>(hook.Put()));
    if (FAILED(hr)) return hr;
    ov::ComPtr<IovObject> object = hook.As<IovObject>();
    VARIANT_BOOL valid = VARIANT_FALSE;
    ov::Bstr fullName;
    LONG serial = 0;
    if (!object || FAILED(hr = object->IsValid(&valid)) || FAILED(hr = object->GetFullName(fullName.Put())) ||
        FAILED(hr = object->GetSerialNumber(&serial)))
        return object ? hr : E_NOINTERFACE;
    // Late-bound, as a script would: the names come from the cached type information.
    LPOLESTR name = const_cast<LPOLESTR>(L"WPFControlType");
    ov::ComPtr<IDispatch> control;
    if (FAILED(hr = hook->QueryInterface(__uuidof(IovWPFControlRecognizerExtender),
                                         reinterpret_cast<void**>(control.Put()))))
        return hr;
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(hr = control->GetIDsOfNames(IID_NULL, &name, 1, 0, &id))) return hr;
    DISPPARAMS none{};
    ov::Variant kind;
    return control->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &kind, nullptr, nullptr);
}

HRESULT CacheRound(int round) {
    static const GUID kIids[] = {
        __uuidof(IovWPFControl),  __uuidof(IovWPFButton), __uuidof(IovWPFComboBox),  __uuidof(IovWPFListBox),
        __uuidof(IovWPFTreeView), __uuidof(IovObject),    __uuidof(IovWPFScrollBar), __uuidof(IovWPFEdit)};
    ov::ComPtr<ITypeInfo> info;
    HRESULT hr = ov::TypeLibCache::GetTypeInfoOfGuid(kIids[round % std::size(kIids)], info.Put());
    if (FAILED(hr)) return hr;
    // An interface no library knows: a miss walks the libraries under the lock every time.
    const GUID unknown = {0x1234u + static_cast<unsigned>(round), 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    ov::ComPtr<ITypeInfo> none;
    return ov::TypeLibCache::GetTypeInfoOfGuid(unknown, none.Put()) == TYPE_E_ELEMENTNOTFOUND ? S_OK : E_FAIL;
}

HRESULT StubRound(Shared& shared, int thread, int round) {
    // Shared owners and one of the thread's own, new every round.
    GUID own{static_cast<unsigned long>(thread), static_cast<unsigned short>(round), 7, {}};
    std::vector<ov::ComPtr<IDispatch>> made;
    for (const GUID& key : {shared.ownerKeys[(thread + round) % kOwners], own}) {
        ov::ComPtr<ov::CStubManager> manager = shared.extender->StubManagerOf(key);
        auto hook = ov::Create<CWPFControlRecognizerHookObject>(
            manager, ov::ComPtr<CThirdPartyControlsHookExtender>(shared.extender.Get()),
            shared.hostObjects[round % shared.hostObjects.size()], GUID{}, 0, ov::Bstr(L"System.Object"));
        made.push_back(hook.As<IDispatch>());
    }
    return S_OK;
}

// The menu objects' dispatch over the host's registered library, which one thread now and then lets go
// of: the others load it again under the lock.
HRESULT MenuRound(Shared& shared, int thread, int round) {
    if (thread == 0 && round % 20 == 10) ov::HostTypeLib::Clear();
    const size_t which = static_cast<size_t>(thread + round) % shared.menus.size();
    IDispatch* object = shared.menus[which].Get();
    LPOLESTR names[] = {const_cast<LPOLESTR>(which == 0 ? L"Count" : L"Caption")};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, 0, &id);
    if (FAILED(hr)) return hr;
    ov::ComPtr<ITypeInfo> info;
    return object->GetTypeInfo(0, 0, info.Put());
}

// Only one thread changes owners, options and the extender's life, as the host serialises those.
HRESULT HostRound(Shared& shared, int round) {
    HRESULT hr = S_OK;
    if (round % 3 == 0) hr = shared.extender->OnModuleRemoved(shared.owners[round % kOwners].Get());
    if (SUCCEEDED(hr) && round % 25 == 24) hr = shared.extender->Dispose();
    if (SUCCEEDED(hr) && round % 10 == 0) {
        static const GUID kButton = __uuidof(IovWPFButton);
        ov::Variant names = ov::Variant::String(round % 20 ? L"System.Windows.Controls.Button|MyApp.*Button"
                                                           : L"System.Windows.Controls.Button");
        VARIANT_BOOL changed = VARIANT_FALSE;
        hr = shared.extender->OnOptionChanged(&kButton, &names, &changed);
    }
    return hr;
}

struct Worker {
    Shared* shared;
    int thread;
};

DWORD WINAPI RunWorker(void* parameter) {
    auto& [shared, thread] = *static_cast<Worker*>(parameter);
    CoInitializeEx(nullptr, thread < kThreads / 2 ? COINIT_MULTITHREADED : COINIT_APARTMENTTHREADED);
    {
        ov::ComPtr<IGlobalInterfaceTable> git;
        Expect(*shared, CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IGlobalInterfaceTable, reinterpret_cast<void**>(git.Put())));
        // What one round does.
        const std::vector<std::function<HRESULT(int)>> steps = {
            [&](int round) { return git ? HookRound(*shared, git.Get(), thread, round) : E_NOINTERFACE; },
            [&](int round) { return CacheRound(round + thread); },
            [&](int round) { return StubRound(*shared, thread, round); },
            [&](int round) { return thread == 0 ? HostRound(*shared, round) : S_OK; },
            [&](int round) { return MenuRound(*shared, thread, round); },
        };
        for (int round = 0; round < kRounds && !shared->stop; ++round)
            for (const auto& step : steps)
                Expect(*shared, step(round));
    }
    CoUninitialize();
    return 0;
}

TEST(ThreadsTest, EightThreadsShareHookObjectsCacheAndStubManagersWithoutFailureOrDeadlock) {
    ovtest::LoadTypeLibraries();
    const long hostBaseline = ovhost::LiveObjects();
    Shared shared;
    size_t leftRegistered = 0, leftManagers = 0;
    {
        ovhost::Host host(ovtest::BinFolder());
        wpfsim::Application app;
        wpfsim::Element& window = app.Add(nullptr, L"System.Windows.Window", L"window");
        std::vector<wpfsim::Element*> elements;
        for (int i = 0; i < 4; ++i)
            elements.push_back(
                &app.Add(&window, L"System.Windows.Controls.Button", L"b" + std::to_wstring(i)));
        host.Attach(app);
        ASSERT_EQ(ovhost::RegisterHostTypeLibrary(ovtest::BinFolder() + L"\\OVHookX64.exe"), S_OK);
        auto menu = ov::Create<CovWPFHelperMenu>(nullptr, nullptr, L"", CovDispDriver());
        shared.menus = {menu.As<IDispatch>(),
                        ov::Create<CovWPFHelperMenuItem>(0, nullptr, *menu, CovDispDriver()).As<IDispatch>()};
        shared.extender = ov::Create<CWPFControlRecognizerHookExtender>();
        for (int i = 0; i < kOwners; ++i) {
            GUID key{};
            CoCreateGuid(&key);
            shared.ownerKeys.push_back(key);
            shared.owners.push_back(ov::Create<Owner>(key).As<IUnknown>());
        }
        ov::ComPtr<IGlobalInterfaceTable> git;
        ASSERT_EQ(CoCreateInstance(CLSID_StdGlobalInterfaceTable, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IGlobalInterfaceTable, reinterpret_cast<void**>(git.Put())),
                  S_OK);
        for (wpfsim::Element* element : elements) {
            ov::ComPtr<IDispatch> hook;
            VARIANT_BOOL handled = VARIANT_FALSE;
            ASSERT_EQ(
                shared.extender->GetExtendedObject(host.HostObjectOf(*element).Get(), hook.Put(), &handled),
                S_OK);
            DWORD cookie = 0;
            ASSERT_EQ(git->RegisterInterfaceInGlobal(hook.Get(), IID_IDispatch, &cookie), S_OK);
            shared.cookies.push_back(cookie);
            shared.hostObjects.push_back(host.HostObjectOf(*element).As<IovObject>());
        }

        std::vector<Worker> workers;
        for (int t = 0; t < kThreads; ++t)
            workers.push_back({&shared, t});
        std::vector<HANDLE> threads;
        for (Worker& worker : workers)
            threads.push_back(CreateThread(nullptr, 0, RunWorker, &worker, 0, nullptr));
        const DWORD waited = WaitForMultipleObjects(kThreads, threads.data(), TRUE, 60000);
        if (waited == WAIT_TIMEOUT) {
            shared.stop = true;
            ADD_FAILURE() << "deadlock: the threads did not finish within 60 s";
            WaitForMultipleObjects(kThreads, threads.data(), TRUE, 10000);
        }
        for (HANDLE thread : threads)
            CloseHandle(thread);

        for (DWORD cookie : shared.cookies)
            git->RevokeInterfaceFromGlobal(cookie);
        for (const GUID& key : shared.ownerKeys)
            leftRegistered += shared.extender->StubManagerOf(key)->Count();
        EXPECT_EQ(shared.extender->Dispose(), S_OK);
        leftManagers = shared.extender->StubManagerCount();
        shared.hostObjects.clear();
        shared.owners.clear();
        shared.menus.clear();
        shared.extender = nullptr;
        host.Detach();
    }
    std::printf("[ threads ] %d threads x %d rounds: %ld steps, %ld failed; %zu objects left registered, %zu "
                "stub managers left\n",
                kThreads, kRounds, shared.steps.load(), shared.failures.load(), leftRegistered, leftManagers);
    EXPECT_EQ(shared.steps.load(), kThreads * (1 + kRounds * 5L));
    EXPECT_EQ(shared.failures.load(), 0);
    EXPECT_EQ(leftRegistered, 0u);
    EXPECT_EQ(leftManagers, 0u);
    EXPECT_EQ(ovhost::LiveObjects(), hostBaseline);
}

} // namespace
