# Every program of the build runs under wine, in a prefix of the build tree's own.
set(OV_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
set(CMAKE_CROSSCOMPILING_EMULATOR
    /usr/bin/env;WINEPREFIX=${OV_WINEPREFIX};WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=;/usr/bin/wine)
