// Decodes PNG images, embedded or on disk, for the panel checks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ka813::resourcetest {

struct Image {
    unsigned width = 0, height = 0;
    int bitDepth = 0, colourType = -1;
    unsigned channels = 0;      // 3 for RGB, 4 for RGBA; 0 when not decoded
    std::vector<uint8_t> data;  // as stored in the file, no conversions

    const uint8_t* at(unsigned x, unsigned y) const {
        return &data[(static_cast<size_t>(y) * width + x) * channels];
    }
};

// Decodes 8-bit RGB and RGBA images; for other formats only the header is
// filled in and the answer is false.
bool decodePng(const unsigned char* bytes, size_t size, Image& out);
bool decodeEmbedded(int id, Image& out);
bool decodeFile(const std::string& path, Image& out);

} // namespace ka813::resourcetest
