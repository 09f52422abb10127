//! app: surrogates.xaml
//! expect: [script] smile: 😀, 2 units: d83d de00
//! expect: [script] decimal: 😀é, 3 units: d83d de00 e9
//! expect: [script] raw: 😀 ok, 5 units: d83d de00 20 6f 6b
//! expect: -- the script ran to its end: 3 log entries, no error logged
// A character beyond U+FFFF, from a reference or written as it is, reaches the script as one surrogate pair.
function Units(text) {
    var units = [];
    for (var i = 0; i < text.length; i++) units.push(text.charCodeAt(i).toString(16));
    return text.length + " units: " + units.join(" ");
}
var smile = String(App.Element("smile").Content);
Log.Message("smile: " + smile + ", " + Units(smile));
var decimal = String(App.Element("decimal").Content);
Log.Message("decimal: " + decimal + ", " + Units(decimal));
var raw = String(App.Element("raw").Text);
Log.Message("raw: " + raw + ", " + Units(raw));
