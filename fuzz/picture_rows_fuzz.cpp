// The picture strip readers on arbitrary bytes: a PNG by its signature, anything
// else as a BMP. Every strip must lie inside the picture and come in order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "panel/PictureRows.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const unsigned char kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    const bool png = size >= sizeof kPngSignature && std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0;
    int next = 0;
    volatile std::uint32_t sink = 0;
    const RowStrip strip = [&](PictureSize picture, int first, int count, const std::uint32_t* rows,
                               std::size_t stride) {
        if (first != next || count <= 0 || first + count > picture.Height ||
            stride < std::size_t(picture.Width) * sizeof(std::uint32_t))
            std::abort();
        next = first + count;
        // Touch every pixel handed out, so a short buffer shows under the sanitizers.
        for (int y = 0; y < count; ++y)
            for (int x = 0; x < picture.Width; ++x)
                sink = sink + reinterpret_cast<const std::uint32_t*>(reinterpret_cast<const unsigned char*>(rows) + y * stride)[x];
        return true;
    };
    png ? ReadPngRows(data, size, 3, strip) : ReadBmpRows(data, size, 3, strip);
    return 0;
}
