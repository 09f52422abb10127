#!/usr/bin/env python3
"""Writes wpfsim/WpfSurface.inc: the public surface of WPF that a window's XAML meets, read from WPF's
reference sources (the ref/*.cs files of PresentationCore, PresentationFramework and WindowsBase).

    tools/wpf-surface.py REF_DIR [OUTPUT]

REF_DIR holds PresentationCore.cs, PresentationFramework.cs and WindowsBase.cs (absent files are skipped);
OUTPUT defaults to wpfsim/WpfSurface.inc beside this script. Run by hand; the output is checked in.
"""
import os
import re
import sys

NAMESPACES = {
    "System.Windows", "System.Windows.Controls", "System.Windows.Controls.Primitives",
    "System.Windows.Documents", "System.Windows.Shapes", "System.Windows.Media",
    "System.Windows.Media.Effects", "System.Windows.Media.Imaging", "System.Windows.Media.Animation",
    "System.Windows.Input", "System.Windows.Navigation", "System.Windows.Data", "System.Windows.Automation",
    "System.Windows.Shell",
}

# The converter that reads an attribute's text into a value of the CLR type (WpfSurface.h's Converter).
TYPES = {
    "string": "Text", "object": "Text", "System.Uri": "Text", "System.Windows.Media.ImageSource": "Text",
    "System.Windows.Input.InputScope": "Text", "System.Windows.Markup.XmlLanguage": "Text",
    "System.Globalization.CultureInfo": "Text", "System.Windows.PropertyPath": "Text",
    "System.Windows.DependencyProperty": "Text", "System.Type": "Text", "System.DateTime": "Text", "System.DateTime?": "Text",
    "char": "Char",
    "bool": "Bool", "bool?": "NullableBool",
    "int": "Int32", "int?": "Int32",
    "short": "Integer", "long": "Integer", "byte": "Integer", "sbyte": "Integer", "ushort": "Integer",
    "uint": "Integer", "ulong": "Integer", "short?": "Integer", "long?": "Integer", "byte?": "Integer",
    "double": "Number", "float": "Number", "decimal": "Number", "double?": "Number", "float?": "Number",
    "decimal?": "Number",
    "System.Windows.Thickness": "Thickness", "System.Windows.CornerRadius": "CornerRadius",
    "System.Windows.Media.Brush": "Brush", "System.Windows.Media.Color": "Color",
    "System.Windows.Media.FontFamily": "FontFamily", "System.Windows.FontWeight": "FontWeight",
    "System.Windows.FontStyle": "FontStyle", "System.Windows.FontStretch": "FontStretch",
    "System.Windows.Duration": "Duration", "System.TimeSpan": "TimeSpan", "System.TimeSpan?": "TimeSpan",
    "System.Windows.Point": "Point", "System.Windows.Vector": "Point", "System.Windows.Size": "Size",
    "System.Windows.Rect": "Rect", "System.Windows.Input.Cursor": "Cursor",
    "System.Windows.GridLength": "GridLength", "System.Windows.Media.DoubleCollection": "DoubleCollection",
    "System.Windows.Media.PointCollection": "PointCollection", "System.Windows.Media.Geometry": "Geometry",
    "System.Windows.Media.Transform": "Transform", "System.Windows.Media.Matrix": "Matrix",
    "System.Windows.Input.ICommand": "Command", "System.Windows.RoutedEvent": "RoutedEvent",
    "System.Windows.Input.KeyGesture": "KeyGesture", "System.Windows.Input.MouseGesture": "MouseGesture",
    "System.Windows.TextDecorationCollection": "TextDecorations",
    "System.Windows.Media.Animation.KeyTime": "KeyTime",
    "System.Windows.Media.Animation.RepeatBehavior": "RepeatBehavior",
}
# A converter that a property names for itself overrides its type's.
CONVERTERS = {
    "LengthConverter": "Length", "FontSizeConverter": "FontSize", "KeyGestureConverter": "KeyGesture",
    "MouseGestureConverter": "MouseGesture", "CommandConverter": "Command", "DurationConverter": "Duration",
    "NullableBoolConverter": "NullableBool", "ThicknessConverter": "Thickness", "PointConverter": "Point",
    "SizeConverter": "Size", "RectConverter": "Rect", "GeometryConverter": "Geometry",
    "TransformConverter": "Transform", "TextDecorationCollectionConverter": "TextDecorations",
    "PointCollectionConverter": "PointCollection", "PropertyPathConverter": "Text",
    "CultureInfoIetfLanguageTagConverter": "Text",
}
COMMAND_CLASSES = ["ApplicationCommands", "ComponentCommands", "NavigationCommands", "MediaCommands",
                   "EditingCommands"]

TYPE_RE = re.compile(r"^    (?:\[.*\] )?public ((?:\w+ )*)(class|struct|enum|interface|delegate) (\w+)([^{]*)$")
PROPERTY_RE = re.compile(r"^        public (?:(?:virtual|override|new|abstract|sealed) )*([\w.<>\[\], ?]+?) (\w+) "
                         r"\{ get \{ throw null; \} (set \{ \} )?\}")
SETTER_RE = re.compile(r"^        public static void Set(\w+)\([\w.]+ \w+, ([\w.<>\[\]?]+) \w+\) \{ \}")
GETTER_RE = re.compile(r"^        public static ([\w.<>\[\]?]+) Get(\w+)\(([\w.]+) \w+\) \{")
EVENT_RE = re.compile(r"^        public (?:(?:virtual|override|new|abstract|static) )*event [\w.<>]+ (\w+) ")
ROUTED_RE = re.compile(r"^        public static readonly System\.Windows\.RoutedEvent (\w+)Event;")
HANDLER_RE = re.compile(r"^        public static void Add(\w+)Handler\(System\.Windows\.\w+ \w+, ")
ENUM_MEMBER_RE = re.compile(r"^        (\w+)(?: = (?:\(\w+\))?(-?\d+))?,?\s*$")
CONTENT_RE = re.compile(r'ContentPropertyAttribute\("(\w+)"\)')
CONVERTER_RE = re.compile(r"TypeConverterAttribute\((?:typeof\()?\"?([\w.]+?)(?:,|\)|\")")


def parse(paths):
    classes, enums, commands = {}, {}, []
    for path in paths:
        namespace, current, attributes, member_attributes, skip_nested = None, None, [], [], False
        for line in open(path, encoding="utf-8"):
            line = line.rstrip("\n")
            if line.startswith("namespace "):
                namespace, current = line.split()[1], None
                continue
            if namespace not in NAMESPACES:
                continue
            if line.startswith("    [") and not line.startswith("     "):
                attributes.append(line)
                continue
            match = TYPE_RE.match(line)
            if match:
                modifiers, kind, name, rest = match.groups()
                current = None
                if "<" not in rest and "public" in line:
                    if kind == "class":
                        bases = [b.strip() for b in rest.strip().lstrip(":").split(",") if b.strip()]
                        current = classes[name] = {
                            "name": name, "ns": namespace, "bases": bases, "abstract": "abstract" in modifiers,
                            "static": "static" in modifiers, "content": None, "members": {}, "events": {},
                        }
                        for a in attributes:
                            content = CONTENT_RE.search(a)
                            if content:
                                current["content"] = content.group(1)
                    elif kind == "enum":
                        current = enums[name] = {"name": name, "flags": any("FlagsAttribute" in a for a in attributes),
                                                 "members": [], "enum": True}
                attributes = []
                continue
            if line.startswith("    ") and not line.startswith("     "):
                attributes = []
                continue
            if current is None or line.startswith("         "):
                continue
            stripped = line.strip()
            if stripped.startswith("["):
                member_attributes.append(stripped)
                continue
            pending, member_attributes = member_attributes, []
            if current.get("enum"):
                match = ENUM_MEMBER_RE.match(line)
                if match:
                    # A member without a value is the one before it plus one.
                    value = int(match.group(2)) if match.group(2) else len(current["members"])
                    if value != len(current["members"]):
                        current["unordered"] = True
                    current["members"].append(match.group(1))
                elif re.match(r"^        \w+ = ", line):
                    current["unordered"] = True
                    current["members"].append(line.split()[0])
                continue
            converter = None
            for a in pending:
                m = CONVERTER_RE.search(a)
                if m and m.group(1).split(".")[-1] in CONVERTERS:
                    converter = CONVERTERS[m.group(1).split(".")[-1]]
            if re.match(r"^        public (?:(?:virtual|override|new|abstract) )*[\w.<>, ?]+ \w+ \{ get", line):
                match = PROPERTY_RE.match(line)
                if match and " static " not in line:
                    clr, name, settable = match.groups()
                    collection = clr.endswith("Collection") or clr.startswith("System.Collections")
                    if settable or collection:
                        current["members"][name] = {"type": clr, "converter": converter, "settable": bool(settable),
                                                    "attached": False}
                elif match and current["name"] in COMMAND_CLASSES and "RoutedUICommand" in line:
                    commands.append(current["name"] + "." + match.group(2))
                continue
            match = GETTER_RE.match(line)
            if match:
                current.setdefault("getters", {})[match.group(2)] = converter
                if match.group(3) not in ("string", "System.Uri"):
                    current.setdefault("getter_types", {})[match.group(2)] = match.group(1)
                continue
            match = SETTER_RE.match(line)
            if match:
                name, clr = match.group(1), match.group(2)
                current["members"].setdefault(
                    "." + name, {"type": clr, "converter": None, "settable": True, "attached": True})
                continue
            for regex, kind in ((EVENT_RE, 1), (ROUTED_RE, 2), (HANDLER_RE, 2)):
                match = regex.match(line)
                if match:
                    current["events"][match.group(1)] = current["events"].get(match.group(1), 0) | kind
    for c in classes.values():
        # An attached collection has a getter only (SpellCheck.CustomDictionaries): XAML adds to it.
        for name, clr in c.get("getter_types", {}).items():
            if "." + name not in c["members"] and (clr.endswith("Collection") or clr.startswith("System.Collections")):
                c["members"]["." + name] = {"type": clr, "converter": None, "settable": False, "attached": True}
        for key, member in c["members"].items():
            if member["attached"] and c.get("getters", {}).get(key[1:]):
                member["converter"] = c["getters"][key[1:]]
        c["base"] = next((b.split(".")[-1] for b in c["bases"] if b.split(".")[-1] in classes), None)
    return classes, enums, sorted(commands)


def converter_of(member, enums):
    if member["converter"]:
        return member["converter"], 0
    clr = member["type"]
    if clr in TYPES:
        return TYPES[clr], 0
    short = clr.rstrip("?").split(".")[-1]
    if clr.rstrip("?").rsplit(".", 1)[0] in NAMESPACES and short in enums:
        return "Enum", sorted(enums).index(short)
    return "None", 0


def cstr(text):
    return 'L"' + text + '"' if text is not None else "nullptr"


def write(classes, enums, commands, output):
    enum_names = sorted(enums)
    out = [
        "// Generated by tools/wpf-surface.py from WPF's reference sources (the public surface of",
        "// PresentationCore, PresentationFramework and WindowsBase, of the namespaces a window's XAML meets).",
        "// The sources are today's: members added after .NET Framework 4.0 may be in it. Do not edit; run the",
        "// generator again.",
        "",
        "// clang-format off",
        "const wchar_t* const kEnumNames[] = {",
    ]
    enum_rows, first = [], 0
    for name in enum_names:
        members = enums[name]["members"]
        out.append("    " + ", ".join(cstr(m) for m in members) + ("," if members else ""))
        numbered = not enums[name]["flags"] and not enums[name].get("unordered")
        enum_rows.append(f'    {{{cstr(name)}, {"true" if enums[name]["flags"] else "false"}, '
                         f'{"true" if numbered else "false"}, {first}, {len(members)}}},')
        first += len(members)
    out += ["};", "", "const Enumeration kEnums[] = {"] + enum_rows + ["};", "", "const Member kMembers[] = {"]
    class_rows, first = [], 0
    names = sorted(classes)
    for name in names:
        c = classes[name]
        rows = []
        for key in sorted(c["members"]):
            m = c["members"][key]
            converter, index = converter_of(m, enums)
            flags = ("Attached" if m["attached"] else "Property") + ("" if m["settable"] else " | ReadOnly")
            rows.append(f'    {{{cstr(key.lstrip("."))}, {cstr(m["type"].rstrip("?").split("<")[0].split(".")[-1])}, '
                        f'Converter::{converter}, {index}, {flags}}},')
        for event in sorted(c["events"]):
            kinds = c["events"][event]
            flags = " | ".join(k for bit, k in ((1, "Event"), (2, "RoutedEvent")) if kinds & bit)
            rows.append(f"    {{{cstr(event)}, nullptr, Converter::None, 0, {flags}}},")
        out += rows
        base = names.index(c["base"]) if c["base"] else -1
        flags = " | ".join([f for f, on in (("Abstract", c["abstract"]), ("Static", c["static"])) if on]) or "0"
        class_rows.append(f'    {{{cstr(name)}, {cstr(c["ns"])}, {base}, {flags}, {cstr(c["content"])}, '
                          f"{first}, {len(rows)}}},")
        first += len(rows)
    out += ["};", "", "const Class kClasses[] = {"] + class_rows + ["};", "", "const wchar_t* const kCommands[] = {"]
    out += [f"    {cstr(c)}," for c in commands]
    out += ["};", "// clang-format on", ""]
    with open(output, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(out))


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    here = os.path.dirname(os.path.abspath(__file__))
    output = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "wpfsim", "WpfSurface.inc")
    paths = [os.path.join(sys.argv[1], f) for f in ("PresentationCore.cs", "PresentationFramework.cs", "WindowsBase.cs")]
    classes, enums, commands = parse([p for p in paths if os.path.exists(p)])
    write(classes, enums, commands, output)
    print(f"{len(classes)} classes, {len(enums)} enumerations, {len(commands)} commands")


if __name__ == "__main__":
    main()
