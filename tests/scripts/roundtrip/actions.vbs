' A user's session on the demo application, recorded by check-roundtrip.sh and replayed on a fresh one.
User.Click "okButton"
User.Click "remember"
User.Click "updates"
User.Click "darkMode"
User.Click "startLast"
User.Click "zoomIn"
User.Click "zoomReset"
User.Click "heading"
User.ClickItem "moreTabs", 0
User.Type "userName", "alexander"
User.Type "password", "secret"
User.Click "fontSize", 150, 5
User.Click "theme"
User.ClickItem "theme", 2
User.ClickItem "recentFiles", 1
User.ClickItem "recentFiles", 3, skwCtrl
User.ClickItem "recentFiles", 4, skwCtrl
User.RightClickItem "recentFiles", 2
User.ClickItem "recentMenu", 3
User.Click "editBar", 167, 11  ' the overflow button
User.ClickItem "editBar", 3
User.ClickItem "editBar", 1
User.ClickItem "mainMenu", 2
User.Click "viewWordWrap"
User.ClickItem "mainMenu", 0
User.ClickItem "mainMenu", 0
User.ClickItem "moreTabs", 2
User.DoubleClickItem "folders", 1
User.ClickItem "folders", 2
User.ClickItem "moreTabs", 1
User.Click "licence", 10, 8
User.ClickItem "moreTabs", 0
User.DoubleClickItem "recentFiles", 0
Log.Message Recorder.Count & " actions recorded"
