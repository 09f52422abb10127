//! app: ranges.xaml
//! exit: 1
//! expect: [script] name: 'abc', limit 5
//! expect: [script] name after 5 characters: 'abcde'
//! expect: [error] Failed to set the text 'abcdefgh'. 'abcde' was set instead of it.
//! expect:     Limit: 5.
//! expect: [script] name after 8 characters: 'abcde' (abcde)
//! expect: [script] notes: limit 0, 'a text longer than any limit, since there is none'
//! expect: [script] notes, nothing selected: 0..0 ''
//! expect: [script] notes, selected: 2..6 'text'
//! expect: [script] lockedEdit: 'changed'
//! expect: [script] secret: char '*', limit 5, ''
//! expect: [script] secret after 8 characters: '12345678'
//! expect: [script] notes VScroll: 0..0 at 0
//! expect: [error] Failed to set the scroll position to 3.000000. 0.000000 was set instead of it.
//! expect:     Minimum: 0.000000 maximum: 0.000000.
//! expect: -- the script ran to its end: 12 log entries, 2 errors logged
// The edit and the password edit, errors reported to the log (mode 1).
var name = App.Find("name");
Log.Message("name: '" + name.wText + "', limit " + name.wLimit);
name.wText = "abcde";
Log.Message("name after 5 characters: '" + name.wText + "'");
name.wText = "abcdefgh";
Log.Message("name after 8 characters: '" + name.wText + "' (" + App.Element("name").Text + ")");

var notes = App.Find("notes");
notes.wText = "a text longer than any limit, since there is none";
Log.Message("notes: limit " + notes.wLimit + ", '" + notes.wText + "'");
Log.Message("notes, nothing selected: " + notes.wSelectionStart + ".." + notes.wSelectionEnd + " '" +
            notes.wSelection + "'");
App.Element("notes").Select(2, 4);
Log.Message("notes, selected: " + notes.wSelectionStart + ".." + notes.wSelectionEnd + " '" +
            notes.wSelection + "'");

var locked = App.Find("lockedEdit");
locked.wText = "changed";
Log.Message("lockedEdit: '" + locked.wText + "'");

var secret = App.Find("secret");
Log.Message("secret: char '" + secret.wPasswordChar + "', limit " + secret.wLimit + ", '" + secret.wText + "'");
secret.wText = "12345678";
Log.Message("secret after 8 characters: '" + secret.wText + "'");

var scroll = notes.VScroll;
Log.Message("notes VScroll: " + scroll.Min + ".." + scroll.Max + " at " + scroll.Pos);
secret.HScroll.Pos = 3;
