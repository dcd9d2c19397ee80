// The target of the resume benchmark: a window-subsystem program that ends at once,
// so a resume pass measures the starting of programs and not what they do.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return 0; }
