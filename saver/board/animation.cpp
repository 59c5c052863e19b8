#include "board/animation.h"

#include "board/pixel_scale.h"
#include "sim/random.h"
#include "sim/scene.h"

Animation::Animation(SettingsReader& settings, CompositionRules rules)
    : settings_(settings), period_(settings.ReadSetting(kRefreshRate) + 1), composition_(rules)
{
}

void Animation::UseOwnSequence(uint32_t seed)
{
    ownSequence_ = true;
    sequence_ = seed;
}

void Animation::SetUp(int32_t width, int32_t height, double scale, int previewRequest)
{
    width_ = width, height_ = height, scale_ = scale;
    board_ = Rect{0, 0, LogicalPixels(width, scale), LogicalPixels(height, scale)};
    NewScene(previewRequest);
}

bool Animation::Follow(int32_t width, int32_t height, double scale)
{
    if (width == width_ && height == height_ && scale == scale_) return false;
    // Pins laid out for the old board would leave part of the new one empty
    // or lie beyond it.
    composition_.Forget();
    SetUp(width, height, scale);
    return true;
}

void Animation::NewScene(int previewRequest)
{
    RandomScope sequence(ownSequence_ ? &sequence_ : nullptr);
    SetUpScene(world_, board_, previewRequest, settings_);
}

uint32_t Animation::Tick(FramePen& pen, bool whole)
{
    {
        RandomScope sequence(ownSequence_ ? &sequence_ : nullptr);
        StepWorld(world_, board_);
    }
    composition_.Compose(world_, pen, board_, whole);
    // The last frame of a scene is shown in full before the board is cleared.
    // Set-up starts the count again, and a frame that finds the count at 0
    // repaints everything, as the cleared target needs.
    if (++world_.frameCounter >= world_.scene.sceneFrames) {
        // Every pixel of the target, beyond the board's last whole logical
        // pixel too: the pen keeps what it fills within the target.
        if (pen.Begin()) {
            pen.Fill(FramePen::Surface::kTarget, Rect{0, 0, board_.right + 1, board_.bottom + 1});
            pen.End();
        }
        NewScene(0);
    }
    return period_;
}
