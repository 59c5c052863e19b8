#include "wayland/output_board.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "board/pixel_scale.h"
#include "fractional-scale-v1.h"
#include "linux/clock.h"
#include "viewporter.h"
#include "xdg-shell.h"

// A wl_shm buffer of XRGB8888 pixels, mapped for the life of the buffer.
struct OutputBoard::Buffer {
    Buffer(wl_shm* shm, int32_t width, int32_t height) : width(width), height(height)
    {
        const size_t bytes = size_t(width) * size_t(height) * 4;
        const int fd = memfd_create("velloransaver-wayland", MFD_CLOEXEC);
        if (fd < 0) {
            error = errno;
            return;
        }
        if (ftruncate(fd, off_t(bytes)) == 0) {
            // A fresh mapping is zeros: black.
            void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            if (memory != MAP_FAILED) {
                pixels = static_cast<uint32_t*>(memory), size = bytes;
                wl_shm_pool* pool = wl_shm_create_pool(shm, fd, int32_t(bytes));
                buffer = wl_shm_pool_create_buffer(pool, 0, width, height, width * 4, WL_SHM_FORMAT_XRGB8888);
                wl_shm_pool_destroy(pool);
            }
        }
        if (!buffer) error = errno;
        close(fd);
    }
    ~Buffer()
    {
        if (buffer) wl_buffer_destroy(buffer);
        if (pixels) munmap(pixels, size);
    }
    PixelImage Image() { return PixelImage{pixels, width, height, width}; }

    const int32_t width, height;
    wl_buffer* buffer = nullptr;
    uint32_t* pixels = nullptr;
    size_t size = 0;
    int error = 0;              // why it could not be made
    bool busy = false;          // the compositor holds it
    std::vector<Rect> stale;   // committed since it was drawn: to be copied in from the buffer shown
};

namespace {

// More rectangles than this go as the one box around them.
constexpr size_t kMostRectangles = 32;

void AddDamage(std::vector<Rect>& to, const std::vector<Rect>& rects)
{
    to.insert(to.end(), rects.begin(), rects.end());
    if (to.size() <= kMostRectangles) return;
    Rect box;
    for (const Rect& r : to) box = Union(box, r);
    to.assign(1, box);
}

}  // namespace

// The compositor's events for one board.
struct OutputBoardEvents {
    static OutputBoard& Of(void* data) { return *static_cast<OutputBoard*>(data); }

    static void Geometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*, const char*, int32_t) {}
    static void Mode(void* data, wl_output*, uint32_t flags, int32_t width, int32_t height, int32_t)
    {
        if (flags & WL_OUTPUT_MODE_CURRENT) Of(data).modeWidth_ = width, Of(data).modeHeight_ = height;
    }
    static void Scale(void* data, wl_output*, int32_t factor) { Of(data).pendingOutputScale_ = factor; }
    // A new scene only for a new shape: the compositor may configure a size
    // of its choosing (0 by 0) and then the output's, or say a scale again,
    // and a scene started for a shape that is never shown is thrown away.
    static void Reshape(OutputBoard& b)
    {
        if (b.configured_ && (b.shape_.scale120 == 0 || b.Shape() != b.shape_)) b.Reshape();
    }
    static void Done(void* data, wl_output*)
    {
        OutputBoard& b = Of(data);
        b.outputScale_ = b.pendingOutputScale_;
        Reshape(b);
    }

    static void Configure(void* data, xdg_surface* surface, uint32_t serial)
    {
        OutputBoard& b = Of(data);
        xdg_surface_ack_configure(surface, serial);
        b.configuredWidth_ = b.pendingWidth_, b.configuredHeight_ = b.pendingHeight_;
        b.configured_ = true;
        Reshape(b);
    }
    static void ToplevelConfigure(void* data, xdg_toplevel*, int32_t width, int32_t height, wl_array*)
    {
        Of(data).pendingWidth_ = width, Of(data).pendingHeight_ = height;
    }
    static void Close(void* data, xdg_toplevel*) { Of(data).closed = true; }

    static void FrameDone(void* data, wl_callback* callback, uint32_t)
    {
        wl_callback_destroy(callback);
        Of(data).frameCallback_ = nullptr;
    }
    static void Release(void* data, wl_buffer* buffer)
    {
        OutputBoard& b = Of(data);
        for (auto& mine : b.buffers_)
            if (mine->buffer == buffer) mine->busy = false;
        b.waitingForBuffer_ = false;
    }
    static void PreferredScale(void* data, wp_fractional_scale_v1*, uint32_t scale120)
    {
        OutputBoard& b = Of(data);
        b.scale120_ = scale120;
        Reshape(b);
    }

    // Events of later versions than those bound never come.
    static inline const wl_output_listener kOutput = [] {
        wl_output_listener l{};
        l.geometry = Geometry, l.mode = Mode, l.done = Done, l.scale = Scale;
        return l;
    }();
    static inline const xdg_toplevel_listener kToplevel = [] {
        xdg_toplevel_listener l{};
        l.configure = ToplevelConfigure, l.close = Close;
        return l;
    }();
    static constexpr xdg_surface_listener kSurface{Configure};
    static constexpr wl_callback_listener kFrame{FrameDone};
    static constexpr wl_buffer_listener kBuffer{Release};
    static constexpr wp_fractional_scale_v1_listener kFractional{PreferredScale};
};

OutputBoard::OutputBoard(const Compositor& compositor, wl_output* output, uint32_t registryId, SettingsReader& settings)
    : registryId(registryId),
      surface(wl_compositor_create_surface(compositor.compositor)),
      compositor_(compositor),
      output_(output),
      xdgSurface_(xdg_wm_base_get_xdg_surface(compositor.wmBase, surface)),
      toplevel_(xdg_surface_get_toplevel(xdgSurface_)),
      animation_(settings, CompositionRules{true, false}),
      period_(int64_t(animation_.Period()) * 1000000)
{
    wl_output_add_listener(output_, &OutputBoardEvents::kOutput, this);
    xdg_surface_add_listener(xdgSurface_, &OutputBoardEvents::kSurface, this);
    xdg_toplevel_add_listener(toplevel_, &OutputBoardEvents::kToplevel, this);
    if (compositor.viewporter && compositor.fractionalScale) {
        viewport_ = wp_viewporter_get_viewport(compositor.viewporter, surface);
        fractional_ = wp_fractional_scale_manager_v1_get_fractional_scale(compositor.fractionalScale, surface);
        wp_fractional_scale_v1_add_listener(fractional_, &OutputBoardEvents::kFractional, this);
    }
    xdg_toplevel_set_title(toplevel_, "Velloran Saver");
    xdg_toplevel_set_app_id(toplevel_, "velloransaver-wayland");
    xdg_toplevel_set_fullscreen(toplevel_, output_);
    wl_surface_commit(surface);  // no buffer yet: the compositor answers with the size
}

OutputBoard::~OutputBoard()
{
    if (frameCallback_) wl_callback_destroy(frameCallback_);
    buffers_.clear();
    if (fractional_) wp_fractional_scale_v1_destroy(fractional_);
    if (viewport_) wp_viewport_destroy(viewport_);
    xdg_toplevel_destroy(toplevel_);
    xdg_surface_destroy(xdgSurface_);
    wl_surface_destroy(surface);
    if (wl_output_get_version(output_) >= WL_OUTPUT_RELEASE_SINCE_VERSION) wl_output_release(output_);
    else wl_output_destroy(output_);
}

OutputBoard::BoardShape OutputBoard::Shape() const
{
    // The surface's size in logical pixels: the compositor's, or the output's.
    const int32_t integer = std::max(outputScale_, 1);
    BoardShape shape{configuredWidth_, configuredHeight_, viewport_ && scale120_ ? int32_t(scale120_) : 120 * integer};
    if (shape.width <= 0 || shape.height <= 0) {
        shape.width = modeWidth_ > 0 ? modeWidth_ / integer : 640;
        shape.height = modeHeight_ > 0 ? modeHeight_ / integer : 480;
    }
    return shape;
}

void OutputBoard::Reshape()
{
    shape_ = Shape();
    const int32_t logicalWidth = shape_.width, logicalHeight = shape_.height;
    // The buffer at the output's full resolution; the board in its pixels
    // divided by the scale, as on Windows and X11.
    if (viewport_ && scale120_) {
        scale_ = scale120_ / 120.0;
        width_ = int32_t(std::lround(logicalWidth * scale_)), height_ = int32_t(std::lround(logicalHeight * scale_));
        // The logical size is itself rounded (1024 pixels at 1.5 are 683), so the product may miss the output
        // by a pixel; the compositor would resample such a buffer and blur the whole board.
        if (std::abs(width_ - modeWidth_) <= 1 && std::abs(height_ - modeHeight_) <= 1) width_ = modeWidth_, height_ = modeHeight_;
        wl_surface_set_buffer_scale(surface, 1);
        wp_viewport_set_destination(viewport_, logicalWidth, logicalHeight);
    } else {
        const int32_t integer = shape_.scale120 / 120;
        scale_ = integer;
        width_ = logicalWidth * integer, height_ = logicalHeight * integer;
        wl_surface_set_buffer_scale(surface, integer);
    }
    buffers_.clear();
    shown_ = nullptr;
    waitingForBuffer_ = false;
    back_.assign(size_t(width_) * size_t(height_), 0);
    pen_ = std::make_unique<MemoryPen>(scale_);
    pen_->SetBuffer(PixelImage{back_.data(), width_, height_, width_});
    animation_.Forget();
    // Pins laid out for another size would leave part of the output empty or lie beyond it.
    animation_.SetUp(width_, height_, scale_);
    // The compositor may report the pointer anew at the new size.
    pointer = FirstPointer{};
    deadline_ = NowNs();
}

int64_t OutputBoard::Due() const
{
    return configured_ && !frameCallback_ && !waitingForBuffer_ ? deadline_ : -1;
}

OutputBoard::Buffer* OutputBoard::FreeBuffer()
{
    for (auto& buffer : buffers_)
        if (!buffer->busy) return buffer.get();
    // Two while the compositor holds one, a third while it holds both.
    if (buffers_.size() >= 3) return nullptr;
    auto made = std::make_unique<Buffer>(compositor_.shm, width_, height_);
    if (!made->buffer) {
        // With none held by the compositor, no release will ever come to wait for.
        if (std::none_of(buffers_.begin(), buffers_.end(), [](const auto& b) { return b->busy; })) failed = made->error;
        return nullptr;
    }
    wl_buffer_add_listener(made->buffer, &OutputBoardEvents::kBuffer, this);
    // Its zeros are a black surface; what the surface shows besides is copied in.
    if (shown_) made->stale.assign(1, Rect{0, 0, width_, height_});
    buffers_.push_back(std::move(made));
    return buffers_.back().get();
}

void OutputBoard::Frame(int64_t now)
{
    Buffer* buffer = FreeBuffer();
    if (!buffer) {
        waitingForBuffer_ = true;
        return;
    }
    if (shown_ && shown_ != buffer) {
        for (const Rect& r : buffer->stale) {
            for (int32_t y = r.top; y < r.bottom; ++y)
                std::copy(shown_->pixels + size_t(y) * width_ + r.left, shown_->pixels + size_t(y) * width_ + r.right,
                          buffer->pixels + size_t(y) * width_ + r.left);
        }
    }
    buffer->stale.clear();
    if (!shown_) pen_->ClearTarget();

    // Every step that has come due, up to a quarter of a second of them (a
    // loaded machine may call back late); beyond that (the surface was not
    // seen) it starts afresh rather than catch up.
    const int64_t most = std::max<int64_t>(1, 250000000 / period_);
    const int64_t due = std::min(most, 1 + (now - deadline_) / period_);
    pen_->SetTarget(buffer->Image());
    for (int64_t i = 0; i < due; ++i) animation_.Tick(*pen_);
    deadline_ += due * period_;
    if (now - deadline_ >= period_) deadline_ = now + period_;

    const std::vector<Rect> damage = pen_->TakeDamage();
    if (damage.empty()) return;
    for (auto& other : buffers_)
        if (other.get() != buffer) AddDamage(other->stale, damage);
    std::vector<Rect> told;
    AddDamage(told, damage);
    wl_surface_attach(surface, buffer->buffer, 0, 0);
    for (const Rect& r : told) wl_surface_damage_buffer(surface, r.left, r.top, r.right - r.left, r.bottom - r.top);
    frameCallback_ = wl_surface_frame(surface);
    wl_callback_add_listener(frameCallback_, &OutputBoardEvents::kFrame, this);
    wl_surface_commit(surface);
    buffer->busy = true;
    shown_ = buffer;
}
