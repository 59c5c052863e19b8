// Takes the README's pictures as a user would see the programs: the installer
// over its backdrop, the options dialog, the About box and the running saver.
// Writes BMP files into the folder given as the first argument; the calling
// script turns them into PNG and GIF. Given a name too, it takes only the
// running saver, across every monitor, into that name's BMP: the script sets
// the display's scale and monitors around it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "winhelp.h"

namespace {

const DWORD kWaitMs = 30000;

bool Fail(const char* what)
{
    std::fprintf(stderr, "docshots: %s\n", what);
    return false;
}

// A 32-bit top-down BMP file, which holds its pixels as the capture does (0x00RRGGBB), with the top byte, which
// a viewer may take for transparency, cleared.
bool SaveBmp(const wt::Screen& shot, const std::string& path)
{
    const BITMAPINFOHEADER ih = {sizeof ih, shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof ih;
    const BITMAPFILEHEADER fh = {0x4D42, DWORD(offset + shot.pixels.size() * 4), 0, 0, offset};
    std::string bytes(reinterpret_cast<const char*>(&fh), sizeof fh);
    bytes.append(reinterpret_cast<const char*>(&ih), sizeof ih);
    for (uint32_t p : shot.pixels) {
        const uint32_t rgb = p & 0xFFFFFF;
        bytes.append(reinterpret_cast<const char*>(&rgb), 4);
    }
    return wt::WriteFileBytes(path, bytes);
}

// The screen area of a window, cut from a capture of the whole screen.
wt::Screen Cut(const wt::Screen& screen, HWND window)
{
    RECT r;
    GetWindowRect(window, &r);
    wt::Screen part;
    part.width = r.right - r.left;
    part.height = r.bottom - r.top;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            part.pixels.push_back((x >= 0 && y >= 0 && x < screen.width && y < screen.height) ? screen.At(x, y) : 0);
    return part;
}

bool Installer(const std::string& out)
{
    wt::Process installer;
    if (!installer.Start(wt::Quote(wt::Artefact("VelloranSaverSetup.exe")))) return Fail("installer did not start");
    if (!wt::WaitForWindow("Velloran Saver Installer", kWaitMs, installer.Id())) return Fail("no welcome dialog");
    Sleep(1500);  // let the backdrop and the dialog finish painting
    return SaveBmp(wt::CaptureScreen(), out + "\\installer.bmp");
}

bool OptionsAndAbout(const std::string& out)
{
    wt::Process options;
    if (!options.Start(wt::Quote(wt::Artefact("VelloranSaver.scr")) + " /c")) return Fail("saver did not start");
    HWND dialog = wt::WaitForWindow("VelloranSaver Options", kWaitMs, options.Id());
    if (!dialog) return Fail("no options dialog");
    Sleep(1000);
    if (!SaveBmp(Cut(wt::CaptureScreen(), dialog), out + "\\options.bmp")) return false;

    PostMessageA(dialog, WM_SYSCOMMAND, 16, 0);  // the system menu's About item
    HWND about = wt::WaitForWindow("About VelloranSaver", kWaitMs, options.Id());
    if (!about) return Fail("no About box");
    Sleep(1000);
    return SaveBmp(Cut(wt::CaptureScreen(), about), out + "\\about.bmp");
}

// The saver after its balls have dropped in, with `frames` frames of it before.
bool RunningSaver(const std::string& out, int frames, const std::string& picture = "saver")
{
    wt::Process saver;
    if (!saver.Start(wt::Quote(wt::Artefact("VelloranSaver.scr")) + " /s")) return Fail("saver did not start");
    Sleep(4000);  // the balls drop in one by one
    for (int i = 0; i < frames; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "\\frame%03d.bmp", i);
        if (!SaveBmp(wt::CaptureScreen(), out + name)) return false;
        Sleep(60);
    }
    return SaveBmp(wt::CaptureScreen(), out + "\\" + picture + ".bmp");
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: docshots OUTPUT_FOLDER [SAVER_PICTURE_NAME]\n");
        return 2;
    }
    const std::string out = argv[1];
    const bool ok = argc == 3 ? RunningSaver(out, 0, argv[2])
                              : Installer(out) && OptionsAndAbout(out) && RunningSaver(out, 40);
    return ok ? 0 : 1;
}
