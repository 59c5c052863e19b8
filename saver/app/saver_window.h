// Placeholder full-screen window until the real one lands.
#pragma once
#include "render/saver_view.h"

class SaverWindow : public SaverView {
public:
    SaverWindow() : SaverView(true) {}
    bool CreateFullScreen();

protected:
    bool HandleMessage(Message& m) override;
};
