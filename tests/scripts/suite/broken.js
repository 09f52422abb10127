// app: ../controls.xaml
// A syntax error: the run ends with exit 2.
var x = ;
