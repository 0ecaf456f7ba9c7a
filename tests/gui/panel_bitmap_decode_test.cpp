// The panel's own BMP decoder must give exactly the pixels wx's general reader
// gives, for every built-in picture.
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/image.h>
#include <wx/mstream.h>

#include "panel/BmpImage.h"
#include "resources/Bitmaps.h"

namespace {

std::vector<std::string> BuiltInPictures() {
    std::vector<std::string> names{"V7BG"};
    for (const char* caption : {"BROADCAST", "USER", "OPTIONS", "TEST", "ON", "OFF", "HELP", "EXIT"})
        for (const char* state : {"U", "D", "F", "X"}) names.push_back(std::string(caption) + state);
    return names;
}

TEST(PanelBitmapDecodeTest, MatchesTheGeneralReaderForEveryBuiltInPicture) {
    if (!wxImage::FindHandler(wxBITMAP_TYPE_BMP)) wxImage::AddHandler(new wxBMPHandler);
    for (const std::string& name : BuiltInPictures()) {
        SCOPED_TRACE(name);
        const res::EmbeddedFile* file = res::FindBitmapResource(name);
        ASSERT_NE(file, nullptr);

        const std::optional<BmpLayout> layout = ParseBmp(file->Data, file->Size);
        ASSERT_TRUE(layout.has_value());
        const std::optional<std::vector<unsigned char>> rgb = DecodeBmpRgb(*layout);
        ASSERT_TRUE(rgb.has_value());

        wxMemoryInputStream stream(file->Data, file->Size);
        wxImage reference(stream, wxBITMAP_TYPE_BMP);
        ASSERT_TRUE(reference.IsOk());
        ASSERT_EQ(layout->Width, reference.GetWidth());
        ASSERT_EQ(layout->Height, reference.GetHeight());
        const unsigned char* expected = reference.GetData();
        const std::size_t bytes = std::size_t(reference.GetWidth()) * reference.GetHeight() * 3;
        ASSERT_EQ(rgb->size(), bytes);
        EXPECT_TRUE(std::equal(rgb->begin(), rgb->end(), expected)) << "pixels differ";
    }
}

}  // namespace
