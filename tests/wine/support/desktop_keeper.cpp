// Keeps the Wine session's desktop in use from its start to its end. Wine closes a desktop a
// second after its last user has gone; under emulated 32-bit Wine its desktop process takes so
// long to end that the next test's program attaches to the closing desktop and dies on its
// vanished window. A hidden window here keeps one user there all along.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
    return 0;
}
