// The application is beside.xaml, found by the script's name.
App.Find("alone").ClickButton();
