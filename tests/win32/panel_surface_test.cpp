// The panel's pictures as Windows' own drawing shows them: the screen's pixels
// are the picture's pixels (1x or 2x) where the sizes agree, whatever scale the
// DC itself applies; a stretched picture covers its whole area; a washed-out
// one is evenly blended; a picture that does not exist draws nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include <wx/app.h>
#include <wx/dcmemory.h>
#include <wx/image.h>
#include <wx/init.h>
#include <wx/mstream.h>

#include "panel/PictureSurface.h"
#include "resources/Bitmaps.h"
#include "support/ReaderImage.h"

namespace {

class PanelSurface : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        wxApp::SetInstance(new wxApp);
        int argc = 0;
        ASSERT_TRUE(wxEntryStart(argc, static_cast<wxChar**>(nullptr)));
        wxInitAllImageHandlers();
    }
    static void TearDownTestSuite() { wxEntryCleanup(); }
};

constexpr unsigned char kUnpainted[3] = {0xFF, 0x00, 0xFF};

TEST_F(PanelSurface, PaintsThePicturePixelForPixelStretchedWashedOrNotAtAll) {
    struct Row {
        const char* Name;
        wxSize Logical;      // the size asked for, in the DC's units
        double DcScale;      // the DC's own user scale
        int Picture;         // 1 or 2: the picture expected pixel for pixel; 0: only covered
        bool Washed;
        bool Painted;
    };
    const Row rows[] = {
        {"V7BG", {450, 330}, 1, 1, false, true},
        {"V7BG", {900, 660}, 1, 2, false, true},
        {"V7BG", {450, 330}, 2, 2, false, true},      // the DC doubles: still the 2x pixels
        {"V7BG_DARK", {450, 330}, 1, 1, false, true},
        {"ONU", {48, 20}, 1, 1, false, true},
        {"ONU", {96, 40}, 1, 2, false, true},
        {"V7BG", {675, 495}, 1, 0, false, true},      // one and a half: smoothed, edge to edge
        {"V7BG", {450, 330}, 1, 1, true, true},
        {"NO SUCH PICTURE", {450, 330}, 1, 0, false, false},
    };
    const unsigned char wash[3] = {0x20, 0x40, 0x60};
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.Name << " " << row.Logical.x << "x" << row.Logical.y << " at "
                                          << row.DcScale << (row.Washed ? " washed" : ""));
        const wxImage want = row.Picture ? ReaderImage(row.Name, row.Picture) : wxImage();
        const wxSize pixels(int(row.Logical.x * row.DcScale), int(row.Logical.y * row.DcScale));
        if (row.Picture) {
            ASSERT_EQ(want.GetSize(), pixels) << "the picture's own size";
        }
        // Painted twice: the second paint comes from the bitmap kept by the first.
        PictureSurface surface(row.Name);
        for (int paint = 0; paint < 2; ++paint) {
            wxBitmap target(pixels, 24);
            {
                wxMemoryDC dc(target);
                dc.SetBackground(wxBrush(wxColour(kUnpainted[0], kUnpainted[1], kUnpainted[2])));
                dc.Clear();
                dc.SetUserScale(row.DcScale, row.DcScale);
                EXPECT_EQ(surface.Paint(dc, row.Logical.x, row.Logical.y), row.Painted);
                if (row.Washed) PictureSurface::Wash(dc, wxColour(wash[0], wash[1], wash[2]), 0.6);
                double x = 0, y = 0;
                dc.GetUserScale(&x, &y);
                EXPECT_EQ(x, row.DcScale) << "the DC's scale is left as it was";
            }
            const wxImage got = target.ConvertToImage();
            int differing = 0, unpainted = 0;
            for (long i = 0; i < 3L * pixels.x * pixels.y; ++i) {
                const int g = got.GetData()[i];
                if (i % 3 == 0) unpainted += std::equal(kUnpainted, kUnpainted + 3, got.GetData() + i);
                if (!row.Picture) continue;
                const int w = want.GetData()[i];
                const int expected = row.Washed ? (w * 4 + wash[i % 3] * 6 + 5) / 10 : w;
                differing += std::abs(g - expected) > (row.Washed ? 2 : 0);
            }
            EXPECT_EQ(differing, 0) << "paint " << paint;
            EXPECT_EQ(unpainted, row.Painted ? 0 : pixels.x * pixels.y) << "paint " << paint;
        }
    }
}

}  // namespace
