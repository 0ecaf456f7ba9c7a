#include "panel/PictureSource.h"

#include <vector>

bool DrawFromBestSource(std::string_view name, double pixelWidth, double pixelHeight,
                        const std::function<bool(const PictureSource&)>& draw) {
    const res::PackedBitmap* normal = res::FindBitmapResource(name);
    if (!normal) return false;
    const bool larger = pixelWidth > normal->Width || pixelHeight > normal->Height;
    if (const res::EmbeddedFile* double2x = larger ? res::FindBitmapResource2x(name) : nullptr)
        if (draw({double2x, true, {normal->Width * 2, normal->Height * 2}})) return true;
    const std::vector<unsigned char> unpacked = res::Unpack(*normal);
    if (unpacked.empty()) return false;
    const res::EmbeddedFile bmp{unpacked.data(), unpacked.size()};
    return draw({&bmp, false, {normal->Width, normal->Height}});
}

bool ReadSourceRows(const PictureSource& source, int stripRows, const RowStrip& strip) {
    const res::EmbeddedFile& file = *source.File;
    return source.Png ? ReadPngRows(file.Data, file.Size, stripRows, strip)
                      : ReadBmpRows(file.Data, file.Size, stripRows, strip);
}
