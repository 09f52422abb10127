// The text boxes of the simulated application (TextBox, PasswordBox), as WPF builds them.
#pragma once

#include "ScrollViewer.h"
#include "TextBlock.h"

namespace wpfsim {

// "Text" set from code is taken whole; "MaxLength" (0: no limit) only cuts what a user types, as in WPF.
// Setting "Text" puts the caret at the start. "SelectionStart" and "SelectionLength" are kept inside the
// text; "Select"(start, length) clamps the same way and throws ArgumentOutOfRangeException for a negative
// argument; "SelectedText" (get, put: replaces the selection); the internal "ScrollViewer" is the
// template's "PART_ContentHost".
class TextBox : public Control {
public:
    TextBox(Application& app, std::wstring className, std::wstring name);
    const std::wstring& Text() const noexcept { return text_; }
    void SetText(std::wstring text);
    LONG MaxLength() const noexcept { return maxLength_; }
    void SetMaxLength(LONG maxLength);
    LONG SelectionStart() const noexcept { return selectionStart_; }
    LONG SelectionLength() const noexcept { return selectionLength_; }
    void Select(LONG start, LONG length);
    std::wstring SelectedText() const { return text_.substr(selectionStart_, selectionLength_); }
    void SetSelectedText(const std::wstring& text);
    std::wstring DisplayText() const override { return text_; }

protected:
    void OnApplyTemplate() override;
    Size MeasureOverride(Size available) override;

private:
    std::wstring text_;
    LONG maxLength_ = 0;
    LONG selectionStart_ = 0, selectionLength_ = 0;
    ScrollViewer* viewer_ = nullptr;
    TextBlock* view_ = nullptr;
};

// "Password" (get, put: taken whole, as in WPF a password set from code is), "PasswordChar" (a char,
// U+25CF by default), "MaxLength", the internal "ScrollViewer" ("PART_ContentHost").
class PasswordBox : public Control {
public:
    PasswordBox(Application& app, std::wstring className, std::wstring name);
    const std::wstring& Password() const noexcept { return password_; }
    void SetPassword(std::wstring password) { password_ = std::move(password); }
    wchar_t PasswordChar() const noexcept { return passwordChar_; }
    void SetPasswordChar(wchar_t c) noexcept { passwordChar_ = c; }
    LONG MaxLength() const noexcept { return maxLength_; }
    void SetMaxLength(LONG maxLength);

protected:
    void OnApplyTemplate() override;
    Size MeasureOverride(Size available) override;

private:
    std::wstring password_;
    wchar_t passwordChar_ = L'\x25CF';
    LONG maxLength_ = 0;
    ScrollViewer* viewer_ = nullptr;
};

} // namespace wpfsim
