// Keeps one wine process alive for a whole test run, so that wine's helper processes stay up and
// every test program starts in a fraction of a second. Touches the ready file given as argument.
#include <windows.h>

int wmain(int argc, wchar_t** argv) {
    if (argc > 1) {
        HANDLE f =
            CreateFileW(argv[1], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
    }
    Sleep(INFINITE);
    return 0;
}
