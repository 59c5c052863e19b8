// Entry point of the screensaver. The application object is static, so it
// exists (and has seeded the random sequence) before WinMain runs.
#include <windows.h>

#include "app/saver_app.h"

static SaverApp theApp;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    return theApp.Run();
}
