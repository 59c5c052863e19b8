// Frames of a known world drawn into a bitmap, read back pixel by pixel.
// Disc colours come from a scripted random sequence, so each test knows
// what colour every disc must show.
#include <gtest/gtest.h>

#include <vector>

#include "render/frame.h"
#include "render_support.h"
#include "sim/random.h"
#include "sim/world.h"

namespace {

std::vector<int> script;
size_t scriptAt = 0;
int ScriptedRand() { return scriptAt < script.size() ? script[scriptAt++] : 0; }

void Script(std::vector<int> draws)
{
    script = std::move(draws);
    scriptAt = 0;
    BindRandom(ScriptedRand);
}

// A 32-bit bitmap in a memory context: a surface whose pixels can be read.
class Canvas {
public:
    Canvas(int width, int height) : width(width), height(height)
    {
        HDC screen = GetDC(nullptr);
        dc = CreateCompatibleDC(screen);
        ReleaseDC(nullptr, screen);
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        void* p = nullptr;
        bitmap = CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
        bits = static_cast<uint32_t*>(p);
        kept = SelectObject(dc, bitmap);
        Fill(RGB(0, 0, 0));
    }
    ~Canvas()
    {
        SelectObject(dc, kept);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    // 0x00BBGGRR, like COLORREF.
    COLORREF At(int x, int y) const
    {
        GdiFlush();
        const uint32_t p = bits[size_t(y) * width + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }
    void Fill(COLORREF colour, RECT r)
    {
        HBRUSH b = CreateSolidBrush(colour);
        FillRect(dc, &r, b);
        DeleteObject(b);
    }
    void Fill(COLORREF colour) { Fill(colour, RECT{0, 0, width, height}); }
    int Count(COLORREF colour) const
    {
        int n = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) n += At(x, y) == colour;
        return n;
    }

    const int width, height;
    HDC dc = nullptr;

private:
    HBITMAP bitmap = nullptr;
    HGDIOBJ kept = nullptr;
    uint32_t* bits = nullptr;
};

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kMarker = RGB(255, 0, 0);  // what no disc colour can be

// Draws 10, 20, 30 give blue 180, green 190, red 200.
constexpr COLORREF kPinColour = RGB(200, 190, 180);
// Draws 0 (launch speed), 100, 50, 20 give blue 180, green 130, red 100.
constexpr COLORREF kBallColour = RGB(100, 130, 180);

class FrameTest : public ::testing::Test {
protected:
    ~FrameTest() override
    {
        world.DeleteDiscs();
        BindRandom(nullptr);
    }

    Disc* AddPin(double x, double y, double radius)
    {
        Script({10, 20, 30});
        world.pins.push_back(new Disc(x, y, int32_t(world.pins.size()), radius));
        return world.pins.back();
    }

    // A ball in play that has rested at (x, y) since the last frame.
    Disc* AddBall(double x, double y, double radius)
    {
        Script({0, 100, 50, 20});
        Disc* ball = new Disc(int32_t(1000 + world.balls.size()), radius);
        ball->x = x;
        ball->y = y;
        ball->inPlay = true;
        ball->RecomputeBounds();
        ball->prevBounds = ball->bounds;
        world.balls.push_back(ball);
        return ball;
    }

    void MoveBall(Disc* ball, double x, double y)
    {
        ball->x = x;
        ball->y = y;
        ball->UpdateBounds();
    }

    World world;
};

TEST_F(FrameTest, PinsAndBallsShowInTheirColoursAtTheirPlacesOnBlack)
{
    Canvas canvas(240, 160);
    AddPin(40, 40, 8);
    AddPin(120, 40, 8);
    AddBall(190, 110, 20);
    AddBall(128, 40, 6);  // over the second pin's right half: balls cover pins
    DrawFrame(world, canvas.dc);

    EXPECT_EQ(canvas.At(40, 40), kPinColour);
    EXPECT_EQ(canvas.At(115, 40), kPinColour);
    EXPECT_EQ(canvas.At(190, 110), kBallColour);
    EXPECT_EQ(canvas.At(127, 40), kBallColour);
    // A filled circle: the corners of its square stay black, and so does
    // everything away from the discs.
    EXPECT_EQ(canvas.At(33, 33), kBlack);
    EXPECT_EQ(canvas.At(172, 92), kBlack);
    EXPECT_EQ(canvas.At(80, 120), kBlack);
    EXPECT_EQ(canvas.At(50, 40), kBlack);
    const int pinPixels = canvas.Count(kPinColour);
    EXPECT_GT(pinPixels, 2 * 150);  // about 2 x pi x 8 x 8 = 402, less the covered part
    EXPECT_LT(pinPixels, 2 * 290);
    const int ballPixels = canvas.Count(kBallColour);
    EXPECT_GT(ballPixels, 1000);  // pi x 20 x 20 = 1257, plus the small ball
    EXPECT_LT(ballPixels, 1700);
}

TEST_F(FrameTest, AKnockedOutPinVanishesAtTheNextFrame)
{
    Canvas canvas(100, 100);
    Disc* pin = AddPin(50, 50, 10);
    DrawFrame(world, canvas.dc);
    ASSERT_EQ(canvas.At(50, 50), kPinColour);

    pin->colour = 0;
    DrawFrame(world, canvas.dc);
    EXPECT_EQ(canvas.Count(kPinColour), 0);
    EXPECT_EQ(canvas.At(50, 50), kBlack);
}

TEST_F(FrameTest, AWrappedBallLeavesNoTrailAndTouchesOnlyItsTwoPlaces)
{
    Canvas canvas(200, 200);
    Disc* ball = AddBall(100, 188, 10);
    DrawFrame(world, canvas.dc);
    ASSERT_EQ(canvas.At(100, 188), kBallColour);

    // Something between the two places that this frame has no reason to touch.
    canvas.Fill(kMarker, RECT{0, 90, 200, 110});
    MoveBall(ball, 100, 6);
    ball->wrapped = true;
    DrawFrame(world, canvas.dc);

    EXPECT_EQ(canvas.At(100, 6), kBallColour);
    EXPECT_EQ(canvas.At(100, 188), kBlack) << "the old place is erased";
    EXPECT_GT(canvas.Count(kBallColour), 250) << "one ball, drawn once";  // pi x 10 x 10 = 314
    EXPECT_LT(canvas.Count(kBallColour), 380);
    for (int y = 90; y < 110; y += 5) EXPECT_EQ(canvas.At(100, y), kMarker) << "y " << y;
    EXPECT_FALSE(ball->wrapped) << "the frame consumes the flag";

    // The next frame joins old and new places again.
    MoveBall(ball, 100, 12);
    DrawFrame(world, canvas.dc);
    EXPECT_EQ(canvas.At(100, 12), kBallColour);
    EXPECT_EQ(canvas.At(100, 1), kBlack);
}

TEST_F(FrameTest, AWaitingBallIsNeitherDrawnNorErased)
{
    Canvas canvas(120, 120);
    canvas.Fill(kMarker);
    Disc* ball = AddBall(60, 60, 15);
    ball->inPlay = false;
    DrawFrame(world, canvas.dc);
    EXPECT_EQ(canvas.Count(kMarker), 120 * 120);
}

TEST_F(FrameTest, SparksAreDrawnWhiteWhileTheyLiveAndErasedAfterwards)
{
    Canvas canvas(200, 200);
    world.sparks.Init(30, 4);
    // Each spark draws vy, then vx, each as draw % 17 - 8: right, left, down, up by 6.
    Script({8, 14, 8, 2, 14, 8, 2, 8});
    world.sparks.Spawn(100, 100);
    ASSERT_EQ(world.sparks.bursts[0][0].life, 4);

    DrawFrame(world, canvas.dc);
    EXPECT_EQ(canvas.At(103, 100), kWhite);
    EXPECT_EQ(canvas.At(97, 100), kWhite);
    EXPECT_EQ(canvas.At(100, 103), kWhite);
    EXPECT_EQ(canvas.At(100, 97), kWhite);
    EXPECT_EQ(canvas.At(106, 100), kBlack) << "the end point is not drawn";

    // life after each update: 3, 2 still drawn; 1 only erased; 0 gone.
    const int drawnFrames[] = {1, 1, 0, 0};
    for (int step = 0; step < 4; ++step) {
        world.sparks.Update();
        DrawFrame(world, canvas.dc);
        const int white = canvas.Count(kWhite);
        if (drawnFrames[step]) {
            EXPECT_EQ(white, 4 * 6) << "step " << step << ": this frame's segments only";
            const int reach = 6 * (step + 1);
            EXPECT_EQ(canvas.At(100 + reach + 3, 100), kWhite) << "step " << step;
            EXPECT_EQ(canvas.At(100 + reach - 3, 100), kBlack) << "step " << step << ": last frame's segment";
        } else {
            EXPECT_EQ(white, 0) << "step " << step;
        }
    }
}

// The area of a paint of part of the window, as clip rectangles.
class PartialPaint : public FrameTest, public ::testing::WithParamInterface<RECT> {};

TEST_P(PartialPaint, AgreesWithAFullPaintInsideItsArea)
{
    const RECT area = GetParam();
    auto build = [&] {
        AddPin(30, 30, 10);
        AddPin(150, 70, 12);
        AddPin(100, 100, 9);
        AddBall(110, 60, 16);
        Disc* moving = AddBall(60, 120, 14);
        MoveBall(moving, 64, 126);
        world.sparks.Init(30, 4);
        Script({8, 14, 8, 2, 14, 8, 2, 8});
        world.sparks.Spawn(170, 140);
    };

    build();
    Canvas full(220, 170);
    DrawFrame(world, full.dc);
    world.DeleteDiscs();

    build();
    Canvas part(220, 170);
    part.Fill(kMarker);
    HRGN clip = CreateRectRgnIndirect(&area);
    SelectClipRgn(part.dc, clip);
    DeleteObject(clip);
    part.Fill(kBlack);  // the paint handler's background, within the clip
    DrawFrame(world, part.dc);
    SelectClipRgn(part.dc, nullptr);

    int wrong = 0, outside = 0;
    for (int y = 0; y < 170; ++y) {
        for (int x = 0; x < 220; ++x) {
            const POINT p = {x, y};
            if (PtInRect(&area, p))
                wrong += part.At(x, y) != full.At(x, y);
            else
                outside += part.At(x, y) != kMarker;
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels inside the painted area that differ from a full paint";
    EXPECT_EQ(outside, 0) << "pixels outside the painted area that were touched";
}

INSTANTIATE_TEST_SUITE_P(Frame, PartialPaint,
                         ::testing::Values(RECT{0, 0, 220, 170},     // the whole window
                                           RECT{0, 0, 120, 90},      // at the origin
                                           RECT{70, 40, 180, 150},   // in the middle
                                           RECT{95, 50, 140, 80},    // inside one ball
                                           RECT{140, 60, 220, 170}   // a pin cut in two, and the sparks
                                           ));

}  // namespace
