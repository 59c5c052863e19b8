// One output's board: a fullscreen surface on that output, its animation
// (board/animation.h), and its frames drawn by the memory pen into
// shared-memory buffers.
//
// The pen's target is the buffer about to be committed. Before a frame draws
// into it, the buffer is brought up to what the surface shows by copying in,
// from the buffer committed last, the rectangles committed since it was last
// drawn; so a frame draws only what the composition finds changed, and tells
// the compositor exactly that (damage_buffer). Frames follow the chosen
// period on the monotonic clock, but one is drawn only after the compositor's
// frame callback for the one before: while it says nothing is seen, nothing
// is stepped or drawn. When the output refreshes more slowly than the
// period, one commit carries every step that came due (up to a quarter of a
// second of them), so the world keeps its pace.
#pragma once
#include <wayland-client.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "board/animation.h"
#include "board/first_pointer.h"
#include "board/memory_pen.h"
#include "sim/settings_reader.h"

struct xdg_wm_base;
struct xdg_surface;
struct xdg_toplevel;
struct wp_viewporter;
struct wp_viewport;
struct wp_fractional_scale_manager_v1;
struct wp_fractional_scale_v1;

// What every board needs of the compositor.
struct Compositor {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    xdg_wm_base* wmBase = nullptr;
    wp_viewporter* viewporter = nullptr;                         // optional, with:
    wp_fractional_scale_manager_v1* fractionalScale = nullptr;  // optional
};

class OutputBoard {
public:
    // output: bound by the caller, owned from now on; registryId: its name in the registry.
    OutputBoard(const Compositor& compositor, wl_output* output, uint32_t registryId, SettingsReader& settings);
    ~OutputBoard();
    OutputBoard(const OutputBoard&) = delete;
    OutputBoard& operator=(const OutputBoard&) = delete;

    // When the next frame is due on the monotonic clock, in nanoseconds; -1
    // while none can be drawn (not configured yet, the compositor not ready
    // for one, no buffer free).
    int64_t Due() const;
    // The frames due by now, in one commit.
    void Frame(int64_t now);

    const uint32_t registryId;  // the output's name in the registry: how its removal is told
    wl_surface* const surface;
    bool closed = false;  // the compositor asked it to close
    int failed = 0;        // why no buffer can be had: it can show nothing
    FirstPointer pointer;  // in the compositor's fixed-point pixels of the surface

private:
    struct Buffer;
    friend struct OutputBoardEvents;

    // The surface's logical size and its scale, in 120ths.
    struct BoardShape {
        int32_t width = 0, height = 0, scale120 = 0;
        bool operator!=(const BoardShape& o) const { return width != o.width || height != o.height || scale120 != o.scale120; }
    };
    BoardShape Shape() const;  // what the compositor's last word asks for
    // A new size or scale: new buffers and a new scene.
    void Reshape();
    Buffer* FreeBuffer();

    const Compositor& compositor_;
    wl_output* output_;
    xdg_surface* xdgSurface_;
    xdg_toplevel* toplevel_;
    wp_viewport* viewport_ = nullptr;
    wp_fractional_scale_v1* fractional_ = nullptr;

    int32_t outputScale_ = 1, pendingOutputScale_ = 1;
    int32_t modeWidth_ = 0, modeHeight_ = 0;  // the output's, in its pixels
    uint32_t scale120_ = 0;                   // a fractional scale, in 120ths; 0: none offered
    int32_t configuredWidth_ = 0, configuredHeight_ = 0, pendingWidth_ = 0, pendingHeight_ = 0;
    bool configured_ = false;

    BoardShape shape_;                // shown
    int32_t width_ = 0, height_ = 0;  // the buffers', in pixels
    double scale_ = 1.0;
    std::vector<std::unique_ptr<Buffer>> buffers_;
    Buffer* shown_ = nullptr;  // committed last
    std::vector<uint32_t> back_;
    std::unique_ptr<MemoryPen> pen_;
    // A whole frame copies every pixel: a new buffer shows nothing of the board yet.
    Animation animation_;

    wl_callback* frameCallback_ = nullptr;
    bool waitingForBuffer_ = false;
    int64_t period_, deadline_ = 0;  // nanoseconds
};
