// Placeholder drawing view until the real one lands: a black window.
#pragma once
#include "framework/window.h"

class SaverView : public Window {
public:
    explicit SaverView(bool autoDelete) : autoDelete_(autoDelete) {}
    virtual bool Create(DWORD exStyle, DWORD style, const RECT& rect, HWND parent, UINT id, void* context);

protected:
    void OnFinalMessage() override
    {
        if (autoDelete_) delete this;
    }

private:
    bool autoDelete_;
};
