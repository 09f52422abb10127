'! app: controls.xaml
'! args: --colour
'! exit: 64
'! expect-err: OVHookX64 run: unknown option '--colour'.
'! expect-err: Usage: OVHookX64 run [--log FILE] [--junit FILE] [--timeout SECONDS] [--verbose] [--dump FILE] [--picture FILE.svg] APP.xaml SCRIPT
' A wrong command line ends with 64, the usage convention, before anything is loaded.
Log.Message "never runs"
