// The compiled-in artwork and LoadPngImage.
#include "assets/Artwork.h"
#include "widgets/LoadPngImage.h"

#include "Printers.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct PictureCase
{
    const char* name;
    int number;
    int width;
    int height;
    bool alpha;
};

KAVREN_PRINT_ROW(PictureCase)

class Artwork : public ::testing::TestWithParam<PictureCase>
{
};

TEST_P(Artwork, LoadsAsDecodedWithoutPremultiplying)
{
    const PictureCase& c = GetParam();
    QImage image;
    ASSERT_TRUE(widgets::LoadPngImage(image, c.number));
    EXPECT_EQ(image.size(), QSize(c.width, c.height));
    EXPECT_EQ(image.hasAlphaChannel(), c.alpha);
    EXPECT_NE(image.format(), QImage::Format_ARGB32_Premultiplied);
    EXPECT_EQ(assets::Artwork::path(c.number), QStringLiteral(":/png/%1.png").arg(c.number));
}

INSTANTIATE_TEST_SUITE_P(Table, Artwork,
                         ::testing::Values(PictureCase{"applicationIcon", 128, 256, 256, true},
                                           PictureCase{"headerBand", 149, 1280, 90, false},
                                           PictureCase{"closeStrip", 155, 33, 15, true},
                                           PictureCase{"minimiseStrip", 156, 33, 15, true},
                                           PictureCase{"noticeIcon", 175, 30, 28, true}),
                         [](const ::testing::TestParamInfo<PictureCase>& row) { return std::string(row.param.name); });

TEST(LoadPngImage, MissingPictureReportsFalseAndLeavesTheImageEmpty)
{
    QImage image(10, 10, QImage::Format_RGB32);
    EXPECT_FALSE(widgets::LoadPngImage(image, 9999));
    EXPECT_TRUE(image.isNull());
}

TEST(ArtworkLook, IconHasATransparentSurroundAndStripsHaveTransparentNormalBackdrops)
{
    QImage icon;
    ASSERT_TRUE(widgets::LoadPngImage(icon, 128));
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(128, 128)), 255);

    QImage close;
    ASSERT_TRUE(widgets::LoadPngImage(close, 155));
    // Normal look: only the glyph; its corner lets the band show through.
    EXPECT_EQ(qAlpha(close.pixel(0, 0)), 0);
    EXPECT_GT(qAlpha(close.pixel(5, 7)), 200);
}

} // namespace
