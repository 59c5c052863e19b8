#include "app/saver_app.h"

#include <cstdlib>
#include <ctime>

#include "app/mode.h"
#include "app/saver_window.h"
#include "render/saver_view.h"
#include "settings/setting_levels.h"
#include "sim/random.h"

namespace {

int RuntimeRand() { return std::rand(); }

}  // namespace

SaverApp::SaverApp() : seed_(static_cast<uint32_t>(std::time(nullptr)))
{
    // The one random sequence of the whole program, seeded once. Boards on
    // other monitors draw from sequences of their own, seeded from it.
    std::srand(seed_);
    BindRandom(RuntimeRand);
}

bool SaverApp::Start()
{
    SetRegistryKey(kRegistryRoot);
    switch (SelectMode(ArgCount(), Args())) {
    case SaverMode::Configure:
        Configure(reinterpret_cast<HWND>(static_cast<INT_PTR>(ConfigureOwnerHandle(ArgCount() > 1 ? Args()[1] : nullptr))));
        return false;
    case SaverMode::Preview:
        return RunPreview(ArgCount() > 2 ? Args()[2] : nullptr);
    case SaverMode::FullScreen:
        return RunFullScreen();
    case SaverMode::Uninstall:
        RunUninstall();
        return false;
    case SaverMode::None:
        break;
    }
    return false;
}

bool SaverApp::RunPreview(const char* handleArgument)
{
    // Without a host window there is nothing to draw into: end at once.
    HWND parent = reinterpret_cast<HWND>(static_cast<INT_PTR>(ParseWindowHandle(handleArgument)));
    if (!parent || !IsWindow(parent)) return false;

    RECT board;
    GetClientRect(parent, &board);
    // A view whose window came and went deletes itself; one that never got a
    // window is left to the end of the process rather than risk a double delete.
    auto* view = new SaverView(true, *this);
    if (!view->Create(0, WS_CHILD | WS_VISIBLE, board, parent)) return false;
    Window::SetMain(view);
    view->SetUpScene(1);
    return true;
}

bool SaverApp::RunFullScreen()
{
    auto* saver = new SaverWindow(*this);
    if (!saver->CreateFullScreen(seed_)) return false;
    Window::SetMain(saver);
    saver->SetUpScenes();
    return true;
}

uint32_t SaverApp::ReadSetting(SettingId which)
{
    return ClampStoredSetting(which, ReadResolvedSetting(kRegistryRoot, AppName(), which).value);
}
