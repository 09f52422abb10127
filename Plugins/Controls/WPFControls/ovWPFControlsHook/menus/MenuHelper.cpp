#include "MenuHelper.h"

#include "../recognition/KindInfo.h"

#include <cwchar>

namespace {

const wchar_t* const kSelected = L"The menu item '%s' was selected.";
const wchar_t* const kCheckedAs = L"The menu item '%s' was %s.";
const wchar_t* const kClicked = L"The menu item '%s' was clicked.";
const wchar_t* const kClosed = L"The menu was closed.";
const wchar_t* const kNotFound = L"Cannot find the menu item '%s'.";
const wchar_t* const kNoSubmenu = L"Cannot find the submenu for the '%s' menu item.";
const wchar_t* const kNotCheckable = L"The menu item '%s' cannot be checked or unchecked.";
const wchar_t* const kAlready = L"The menu item '%s' is already %s.";
const wchar_t* const kIndexName = L"[%d]";

constexpr DWORD kPauseMs = 20;

[[noreturn]] void Fail(const std::wstring& message, LONG kind = CovInvokeException::Error) {
    throw CovInvokeException(message.c_str(), L"", kind);
}

const wchar_t* StateWord(bool checked) noexcept {
    return checked ? L"checked" : L"unchecked";
}

// A head "[n]": bracketed, with a digit right after the "[".
bool IsIndexHead(std::wstring_view head) noexcept {
    return head.size() >= 2 && head.front() == L'[' && head.back() == L']' && head[1] >= L'0' &&
           head[1] <= L'9';
}

// What a head is compared with: the caption as a path writes it (a leading "[" doubled; a "|" single,
// as the path's "||" arrives in its head).
std::wstring MatchForm(std::wstring_view raw) {
    std::wstring form(raw);
    if (!form.empty() && form.front() == L'[') form.insert(form.begin(), L'[');
    return form;
}

HRESULT PutFlag(VARIANT_BOOL* value, bool flag) {
    if (!value) return E_POINTER;
    *value = flag ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

} // namespace

namespace ov {

MenuPathStep SplitMenuPath(std::wstring_view path) {
    std::wstring text(path);
    size_t at = text.find(L'|');
    while (at != std::wstring::npos && at + 1 < text.size() && text[at + 1] == L'|') {
        text.erase(at, 1);
        at = text.find(L'|', at + 1);
    }
    if (at == std::wstring::npos) return {std::move(text), std::nullopt};
    MenuPathStep step{text.substr(0, at), text.substr(at + 1)};
    const std::wstring& head = step.head;
    if (!head.empty() && head.front() == L'[' && head.back() != L']' && text.back() == L']') {
        step.head += L']';
        step.rest->insert(step.rest->begin(), L'[');
    }
    return step;
}

std::wstring EscapeMenuCaption(std::wstring_view raw) {
    std::wstring escaped;
    escaped.reserve(raw.size() + 1);
    if (!raw.empty() && raw.front() == L'[') escaped += L'[';
    for (wchar_t c : raw) {
        escaped += c;
        if (c == L'|') escaped += L'|';
    }
    return escaped;
}

} // namespace ov

// --- menu ----------------------------------------------------------------------------------------------

CovMenuHelper::CovMenuHelper(IovCtrlBase* owner, IovCtrlBase* parent, std::wstring_view name)
    : owner_(owner), parent_(parent), name_(name) {}

void CovMenuHelper::Pause() {
    const DWORD until = GetTickCount() + 1;
    if (GetTickCount() < until) Sleep(kPauseMs);
}

LONG CovMenuHelper::FindItemIndex(std::wstring_view head) {
    const LONG count = ItemCount();
    if (IsIndexHead(head)) {
        const std::wstring digits(head.substr(1));
        const long index = std::wcstol(digits.c_str(), nullptr, 10);
        if (index >= 0 && index < count) return static_cast<LONG>(index);
        Fail(ov::Format(kNotFound, std::wstring(head).c_str()));
    }
    const std::wstring pattern(head);
    for (LONG i = 0; i < count; ++i) {
        ov::ComPtr<CovMenuItemHelper> item = MakeItem(i);
        const std::wstring caption = item ? MatchForm(item->RawCaption().View()) : std::wstring();
        if (ov::MatchMask(pattern.c_str(), caption.c_str())) return i;
    }
    Fail(ov::Format(kNotFound, pattern.c_str()));
}

ov::Bstr CovMenuHelper::ItemName(CovMenuItemHelper& item) {
    const ov::Bstr raw = item.RawCaption();
    const std::wstring escaped = ov::EscapeMenuCaption(raw.View());
    bool byIndex = raw.Empty() || raw.View().find(L'|') != std::wstring_view::npos;
    for (LONG i = 0, count = ItemCount(); !byIndex && i < count; ++i) {
        if (i == item.Index()) continue;
        ov::ComPtr<CovMenuItemHelper> other = MakeItem(i);
        if (!other) continue;
        const std::wstring pattern = ov::EscapeMenuCaption(other->RawCaption().View());
        byIndex = ov::MatchMask(pattern.c_str(), escaped.c_str());
    }
    return ov::Bstr(byIndex ? ov::Format(kIndexName, static_cast<int>(item.Index())) : escaped);
}

void CovMenuHelper::Walk(std::wstring_view path, Action action, bool state) {
    ov::MenuPathStep step = ov::SplitMenuPath(path);
    ov::ComPtr<CovMenuItemHelper> item = MakeItem(FindItemIndex(step.head));
    if (!item) ov::RaiseInvocationError();
    if (step.rest) {
        ov::ComPtr<CovMenuHelper> submenu = item->SubMenu();
        if (!submenu) Fail(ov::Format(kNoSubmenu, item->Caption().c_str()));
        item->OpenSubMenu();
        submenu->Walk(*step.rest, action, state);
        return;
    }
    switch (action) {
    case Action::Hover:
        item->Hover();
        return;
    case Action::Click:
        if (!item->IsEnabled()) Fail(ov::Format(ov::texts::MenuItemDisabled, item->Caption().c_str()));
        item->ClickItem();
        return;
    case Action::Check:
        if (!item->IsEnabled()) Fail(ov::Format(ov::texts::MenuItemDisabled, item->Caption().c_str()));
        if (!(state ? item->CanBeChecked() : item->CanBeUnchecked()))
            Fail(ov::Format(kNotCheckable, item->Caption().c_str()));
        if (item->IsChecked() == state)
            Fail(ov::Format(kAlready, item->Caption().c_str(), StateWord(state)),
                 CovInvokeException::MenuNotice);
        item->ClickItem();
        return;
    }
}

HRESULT CovMenuHelper::Select(BSTR item) {
    return WalkMember(item, Action::Hover, false);
}

HRESULT CovMenuHelper::Check(BSTR item, VARIANT_BOOL checked) {
    return WalkMember(item, Action::Check, checked != VARIANT_FALSE);
}

HRESULT CovMenuHelper::Click(BSTR item) {
    return WalkMember(item, Action::Click, false);
}

HRESULT CovMenuHelper::WalkMember(BSTR item, Action action, bool state) {
    return Member([&] {
        OnEnter();
        Pause();
        const ov::Bstr path = ov::Bstr::CopyOf(item);
        Walk(path.View(), action, state);
        const std::wstring message =
            action == Action::Check
                ? ov::Format(kCheckedAs, path.c_str(), StateWord(state))
                : ov::Format(action == Action::Hover ? kSelected : kClicked, path.c_str());
        ov::ReportMessage(*this, message.c_str());
    });
}

HRESULT CovMenuHelper::Close() {
    return Member([&] {
        OnEnter();
        Pause();
        CloseMenu();
        ov::ReportMessage(*this, kClosed);
    });
}

HRESULT CovMenuHelper::get_Count(LONG* count) {
    return Member([&] {
        ov::RequireOut(count);
        *count = 0;
        OnEnter();
        *count = ItemCount();
    });
}

HRESULT CovMenuHelper::get_Items(LONG index, IDispatch** item) {
    return Member([&] {
        ov::RequireOut(item);
        *item = nullptr;
        OnEnter();
        if (index < 0 || index >= ItemCount()) Fail(ov::Format(kNotFound, std::to_wstring(index).c_str()));
        if (ov::ComPtr<CovMenuItemHelper> made = MakeItem(index)) *item = made.As<IDispatch>().Detach();
    });
}

HRESULT CovMenuHelper::GetSyntax(IovSyntaxItem** syntax, LONG flag) {
    if (!syntax) return E_POINTER;
    *syntax = nullptr;
    return ov::Guard([&] {
        if (!name_.Empty()) {
            std::vector<ov::Variant> noArguments;
            IovCtrlBase* holder = parent_ ? parent_.Get() : owner_.Get();
            *syntax = ov::CreateMemberSyntax(holder, flag, name_.c_str(), 0, noArguments).Detach();
        } else if (IovCtrlBase* holder = owner_ ? owner_.Get() : parent_.Get()) {
            ov::ThrowIfFailed(holder->GetSyntax(syntax, flag));
        }
    });
}

// --- item ----------------------------------------------------------------------------------------------

CovMenuItemHelper::CovMenuItemHelper(LONG index, IovCtrlBase* owner, CovMenuHelper& menu)
    : index_(index), owner_(owner), menu_(&menu) {}

ov::Bstr CovMenuItemHelper::Caption() {
    return ov::Bstr(ov::EscapeMenuCaption(RawCaption().View()));
}

ov::Bstr CovMenuItemHelper::PathText() {
    ov::ComPtr<CovMenuHelper> parentMenu = menu_->ParentMenu();
    if (!parentMenu) return menu_->ItemName(*this);
    for (LONG i = 0, count = parentMenu->ItemCount(); i < count; ++i) {
        ov::ComPtr<CovMenuItemHelper> parentItem = parentMenu->MakeItem(i);
        ov::ComPtr<CovMenuHelper> submenu = parentItem ? parentItem->SubMenu() : nullptr;
        if (!submenu || submenu->ItemCount() <= index_) continue;
        ov::ComPtr<CovMenuItemHelper> candidate = submenu->MakeItem(index_);
        if (!candidate || !candidate->IsSameItem(*this)) continue;
        std::wstring path(parentItem->PathText().View());
        path += L'|';
        path += menu_->ItemName(*this).View();
        return ov::Bstr(path);
    }
    ov::RaiseInvocationError();
}

HRESULT CovMenuItemHelper::get_Caption(BSTR* caption) {
    return Member([&] {
        ov::RequireOut(caption);
        *caption = nullptr;
        menu_->OnEnter();
        *caption = Caption().Detach();
    });
}

HRESULT CovMenuItemHelper::get_Id(LONG* id) {
    return Member([&] {
        ov::RequireOut(id);
        *id = 0;
        menu_->OnEnter();
        *id = Identifier();
    });
}

HRESULT CovMenuItemHelper::get_Index(LONG* index) {
    if (!index) return E_POINTER;
    *index = index_;
    return S_OK;
}

HRESULT CovMenuItemHelper::Flag(VARIANT_BOOL* value, bool (CovMenuItemHelper::*read)()) {
    return Member([&] {
        ov::RequireOut(value);
        *value = VARIANT_FALSE;
        menu_->OnEnter();
        *value = (this->*read)() ? VARIANT_TRUE : VARIANT_FALSE;
    });
}

HRESULT CovMenuItemHelper::get_Enabled(VARIANT_BOOL* enabled) {
    return Flag(enabled, &CovMenuItemHelper::IsEnabled);
}

HRESULT CovMenuItemHelper::get_Checked(VARIANT_BOOL* checked) {
    return Flag(checked, &CovMenuItemHelper::IsChecked);
}

HRESULT CovMenuItemHelper::get_SubMenu(IDispatch** subMenu) {
    return Member([&] {
        ov::RequireOut(subMenu);
        *subMenu = nullptr;
        menu_->OnEnter();
        if (ov::ComPtr<CovMenuHelper> menu = SubMenu()) *subMenu = menu.As<IovWin32Menu>().Detach();
    });
}

HRESULT CovMenuItemHelper::get_Default(VARIANT_BOOL* value) {
    return PutFlag(value, false);
}

HRESULT CovMenuItemHelper::get_Separator(VARIANT_BOOL* value) {
    return PutFlag(value, false);
}

HRESULT CovMenuItemHelper::get_RadioCheck(VARIANT_BOOL* value) {
    return PutFlag(value, false);
}

HRESULT CovMenuItemHelper::get_OwnerDraw(VARIANT_BOOL* value) {
    return PutFlag(value, false);
}

HRESULT CovMenuItemHelper::GetSyntax(IovSyntaxItem** syntax, LONG flag) {
    if (!syntax) return E_POINTER;
    *syntax = nullptr;
    return ov::Guard([&] {
        std::vector<ov::Variant> arguments;
        arguments.push_back(ov::Variant::String(menu_->ItemName(*this).View()));
        *syntax = ov::CreateMemberSyntax(menu_.Get(), flag, L"Items", 0, arguments).Detach();
    });
}
