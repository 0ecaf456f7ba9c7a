// A built-in picture as wx's own image readers see it, at 1x (BMP) or 2x
// (PNG): what the panel's own decoding is compared with.
#pragma once

#include <string>
#include <vector>

#include <wx/image.h>
#include <wx/mstream.h>

#include "resources/Bitmaps.h"

inline wxImage ReaderImage(const std::string& name, int scale) {
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    if (!wxImage::FindHandler(wxBITMAP_TYPE_BMP)) wxImage::AddHandler(new wxBMPHandler);
    if (scale == 2) {
        const res::EmbeddedFile* file = res::FindBitmapResource2x(name);
        if (!file) return wxImage();
        wxMemoryInputStream stream(file->Data, file->Size);
        return wxImage(stream, wxBITMAP_TYPE_PNG);
    }
    const res::PackedBitmap* packed = res::FindBitmapResource(name);
    if (!packed) return wxImage();
    const std::vector<unsigned char> file = res::Unpack(*packed);
    wxMemoryInputStream stream(file.data(), file.size());
    return wxImage(stream, wxBITMAP_TYPE_BMP);
}
