#include "WPFMenuHelper.h"

#include "../frame/HostServices.h"
#include "com/HostIdentifiers.h"

namespace {

const wchar_t* const kSeparatorClass = L"System.Windows.Controls.Separator";

// Set to false when the element has them, in this order, to close a menu.
const wchar_t* const kOpenStates[] = {L"IsMenuMode", L"IsOpen", L"IsSubmenuOpen"};

// How long an item that is not where it should be gets before the next look.
constexpr DWORD kSettleMs = 50;
constexpr int kOpenClicks = 3;

bool IsObject(const VARIANT& v) noexcept {
    return (v.vt == VT_DISPATCH && v.pdispVal) ||
           (v.vt == (VT_DISPATCH | VT_BYREF) && v.ppdispVal && *v.ppdispVal);
}

CovDispDriver DriverOf(const VARIANT& object) {
    CovDispDriver driver;
    driver.AttachVariant(object);
    return driver;
}

[[noreturn]] void Fail(const wchar_t* format, const ov::Bstr& caption) {
    throw CovInvokeException(ov::Format(format, caption.c_str()).c_str(), L"", CovInvokeException::Error);
}

} // namespace

// --- menu ----------------------------------------------------------------------------------------------

CovWPFHelperMenu::CovWPFHelperMenu(CovWPFCtrl* owner, IovCtrlBase* parent, std::wstring_view name,
                                   CovDispDriver element)
    : CovMenuHelper(owner, parent, name), owner_(owner), element_(std::move(element)) {}

void CovWPFHelperMenu::CloseMenu() {
    for (const wchar_t* state : kOpenStates) {
        DISPID id = DISPID_UNKNOWN;
        if (element_.HasMember(state, &id)) element_.SetPropertyBool(id, 0);
    }
}

ov::ComPtr<CovMenuItemHelper> CovWPFHelperMenu::MakeItem(LONG index) {
    CovDispDriver items = ov::GetObjectByName(element_, L"Items");
    ov::Variant item = ov::Call(items, L"get_Item", ov::Variant::Int(index));
    CovDispDriver generator = ov::GetObjectByName(element_, L"ItemContainerGenerator");
    ov::Variant container = ov::Call(generator, L"ContainerFromItem", item);
    const ov::Variant& shown = CovWPFCtrl::IsVariantEmpty(container) ? item : container;
    if (!IsObject(shown)) return nullptr;
    return ov::Create<CovWPFHelperMenuItem>(index, owner_, *this, DriverOf(shown));
}

ov::ComPtr<CovMenuHelper> CovWPFHelperMenu::ParentMenu() {
    DISPID id = DISPID_UNKNOWN;
    if (!element_.HasMember(L"get_LogicalParent", &id)) return nullptr;
    return ov::Create<CovWPFHelperMenu>(owner_, this, L"", element_.GetPropertyObject(id));
}

LONG CovWPFHelperMenu::ItemCount() {
    return ov::GetInt(ov::GetObjectByName(element_, L"Items"), L"Count");
}

// --- item ----------------------------------------------------------------------------------------------

CovWPFHelperMenuItem::CovWPFHelperMenuItem(LONG index, CovWPFCtrl* owner, CovWPFHelperMenu& menu,
                                           CovDispDriver item)
    : CovMenuItemHelper(index, owner, menu), owner_(owner), item_(std::move(item)) {}

CovWPFCtrl& CovWPFHelperMenuItem::RequireOwner() const {
    if (!owner_) ov::RaiseInvocationError();
    return *owner_;
}

HRESULT CovWPFHelperMenuItem::get_Separator(VARIANT_BOOL* value) {
    return Member([&] {
        ov::RequireOut(value);
        *value = VARIANT_FALSE;
        Menu().OnEnter();
        if (ov::GetClrFullClassName(item_).View() == kSeparatorClass) *value = VARIANT_TRUE;
    });
}

bool CovWPFHelperMenuItem::IsSameItem(CovMenuItemHelper& other) {
    auto* wpf = dynamic_cast<CovWPFHelperMenuItem*>(&other);
    if (!wpf) return false;
    return ov::IsTrue(ov::Call(item_, L"ReferenceEquals", ov::Variant::Dispatch(item_.Get()),
                               ov::Variant::Dispatch(wpf->item_.Get())));
}

ov::ComPtr<CovMenuHelper> CovWPFHelperMenuItem::SubMenu() {
    if (!ov::HasMember(item_, L"Items")) return nullptr;
    if (ov::GetInt(ov::GetObjectByName(item_, L"Items"), L"Count") <= 0) return nullptr;
    return ov::Create<CovWPFHelperMenu>(owner_, this, L"SubMenu", item_);
}

ov::ComPtr<IovHostObject> CovWPFHelperMenuItem::Reach() {
    CovWPFCtrl& owner = RequireOwner();
    ov::CallIfPresent(item_, L"BringIntoView");
    if (ov::ComPtr<IovHostObject> found = CovWPFCtrl::FindChildHostObject(owner.GetHostObject().Get(), item_))
        return found;
    return owner.FindInPopupRoots(item_);
}

bool CovWPFHelperMenuItem::ScreenRect(RECT& rect) {
    ov::ComPtr<IovHostObject> host = Reach();
    if (!host) return false;
    CovDispDriver screen;
    screen.AttachObject(host.Get());
    const LONG left = ov::GetInt(screen, L"ScreenLeft");
    const LONG top = ov::GetInt(screen, L"ScreenTop");
    rect = RECT{left, top, left + ov::GetInt(screen, L"Width"), top + ov::GetInt(screen, L"Height")};
    return true;
}

bool CovWPFHelperMenuItem::IsPointInWindow(POINT point) {
    ov::ComPtr<IovHostObject> host = Reach();
    ov::ComPtr<IovObjectService> service = ov::HostServices::ObjectService();
    if (!host || !service) return false;
    ov::ComPtr<IovHostObject> above = ov::HostParentOf(host.Get());
    ov::ComPtr<IovHostObject> window =
        above ? ov::NearestOfHostType(above.Get(), ov::HostIds::Window) : nullptr;
    ov::ComPtr<IovNativeWindow> native = window ? ov::QueryAs<IovNativeWindow>(window.Get()) : nullptr;
    HWND shown = nullptr;
    HWND atPoint = nullptr;
    if (!native || FAILED(native->GetWindowHandle(&shown))) return false;
    if (FAILED(service->GetWindowAtPoint(point.x, point.y, &atPoint))) return false;
    return atPoint && atPoint == shown;
}

ov::Bstr CovWPFHelperMenuItem::RawCaption() {
    DISPID id = DISPID_UNKNOWN;
    if (!item_.HasMember(L"Header", &id)) return ov::Bstr(L"");
    ov::Variant header = item_.GetProperty(id);
    std::wstring caption;
    ov::Variant text;
    if (SUCCEEDED(VariantChangeType(&text, &header, 0, VT_BSTR))) {
        caption.assign(text.bstrVal ? text.bstrVal : L"", text.bstrVal ? SysStringLen(text.bstrVal) : 0);
    } else if (IsObject(header)) {
        CovDispDriver element = DriverOf(header);
        if (ov::HasMember(element, L"OleValue")) caption.assign(ov::GetString(element, L"OleValue").View());
    }
    if (const size_t marker = caption.find(L'_'); marker != std::wstring::npos && marker + 1 < caption.size())
        caption.erase(marker, 1);
    return ov::Bstr(caption);
}

LONG CovWPFHelperMenuItem::Identifier() {
    return ov::GetInt(item_, L"PersistId");
}

bool CovWPFHelperMenuItem::IsEnabled() {
    return ov::GetBool(item_, L"IsEnabled");
}

bool CovWPFHelperMenuItem::IsChecked() {
    DISPID id = DISPID_UNKNOWN;
    return item_.HasMember(L"IsChecked", &id) && item_.GetPropertyBool(id);
}

bool CovWPFHelperMenuItem::CanBeChecked() {
    return ov::GetBool(item_, L"IsCheckable");
}

bool CovWPFHelperMenuItem::CanBeUnchecked() {
    return ov::GetBool(item_, L"IsCheckable");
}

void CovWPFHelperMenuItem::ClickItem() {
    CovWPFCtrl& owner = RequireOwner();
    ov::ComPtr<IovHostObject> host = Reach();
    if (!host) {
        // A popup may still be on its way to the screen.
        Sleep(kSettleMs);
        host = Reach();
    }
    if (!host) Fail(ov::texts::MenuItemNotOnScreen, Caption());
    owner.ClickAt(host.Get(), -1, -1, 0, 0, 0);
}

POINT CovWPFHelperMenuItem::ClickPoint() {
    for (int attempt = 0; attempt < 2; ++attempt) {
        RECT rect{};
        if (ScreenRect(rect)) {
            const POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
            if (IsPointInWindow(centre)) return centre;
        }
        Sleep(kSettleMs);
        if (attempt == 0)
            if (ov::ComPtr<IovHostObject> owner = RequireOwner().TryGetHostObject()) owner->RefreshChildren();
    }
    Fail(ov::texts::MenuPopupNotObtained, Caption());
}

void CovWPFHelperMenuItem::Hover() {
    const POINT point = ClickPoint();
    ov::ComPtr<IovObjectService> service = ov::HostServices::ObjectService();
    if (!service) ov::RaiseInvocationError();
    MSG move{};
    move.message = WM_MOUSEMOVE;
    move.pt = point;
    SetErrorInfo(0, nullptr);
    if (FAILED(service->PlayMouseMessage(&move))) ov::RaiseHostError();
}

void CovWPFHelperMenuItem::OpenSubMenu() {
    auto requireEnabled = [&] {
        if (!IsEnabled()) Fail(ov::texts::MenuItemDisabled, Caption());
    };
    requireEnabled();
    if (ov::GetBool(item_, L"IsSubmenuOpen")) return;
    for (int click = 0; click < kOpenClicks; ++click) {
        requireEnabled();
        ClickItem();
        if (ov::GetBool(item_, L"IsSubmenuOpen")) return;
    }
    Fail(ov::texts::MenuPopupNotObtained, Caption());
}
