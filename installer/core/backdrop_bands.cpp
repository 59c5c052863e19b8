#include "backdrop_bands.h"

std::array<Band, kBandCount> BackdropBands(int clientRight, int clientBottom)
{
    const float bandHeight = clientBottom * (1.0f / kBandCount);
    std::array<Band, kBandCount> bands{};
    for (int i = 0; i < kBandCount; ++i) {
        bands[i].left = 0;
        bands[i].top = static_cast<int>(i * bandHeight);
        bands[i].right = clientRight + 1;
        bands[i].bottom = static_cast<int>((i + 1) * bandHeight);
        bands[i].blue = static_cast<unsigned char>(255 - i);
    }
    return bands;
}
