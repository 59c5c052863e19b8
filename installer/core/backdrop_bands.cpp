#include "backdrop_bands.h"

std::array<Band, kBandCount> BackdropBands(int clientRight, int clientBottom)
{
    const float bandHeight = static_cast<float>(clientBottom) * (1.0f / kBandCount);
    std::array<Band, kBandCount> bands{};
    for (int i = 0; i < kBandCount; ++i) {
        bands[i].left = 0;
        bands[i].top = static_cast<int>(static_cast<float>(i) * bandHeight);
        bands[i].right = clientRight + 1;
        bands[i].bottom = static_cast<int>(static_cast<float>(i + 1) * bandHeight);
        bands[i].blue = static_cast<unsigned char>(255 - i);
    }
    return bands;
}
