// The script whose end check-picture.sh draws: the theme's drop-down stays open.
App.Find("theme").DropDown();
