// The application's own data: an object of a class of the application (an order, a customer) whose public
// properties hold values, as a window's XAML describes it (<local:Order Id="7" Customer="Ann"/>). Bindings
// and a DataGrid's columns read it by property path; scripts read its properties by name like any .NET
// object.
#pragma once

#include "ClrObject.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace wpfsim {

class DataObject : public ClrObject {
public:
    DataObject(std::shared_ptr<Runtime> runtime, std::wstring className);

    // Adds the property (get and set), or replaces its value; names keep the order of their first setting.
    void SetValue(const std::wstring& name, ov::Variant value);
    // Null when the object has no such property.
    const ov::Variant* Value(std::wstring_view name) const;
    const std::vector<std::wstring>& PropertyNames() const noexcept { return names_; }

private:
    struct Entry {
        std::wstring name;
        ov::Variant value;
    };
    std::vector<Entry> values_;
    std::vector<std::wstring> names_;
};

// What a binding's path reaches from a source value: "" and "." are the source itself, "A.B" reads A of the
// source and then B of that. Nothing when a step is missing or the value on the way is no DataObject: WPF
// then leaves the bound property at its default.
std::optional<ov::Variant> ReadPath(const ov::Variant& source, std::wstring_view path);

// The text WPF shows for a value without a template (Object.ToString): a string as it is, a primitive as
// .NET writes it, a data object as its class's full name.
std::wstring DisplayText(const VARIANT& value);

} // namespace wpfsim
