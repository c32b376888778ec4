// JPEG pictures decode into 24-bit rows of the right size and colour;
// damaged ones raise the JPEG error instead of crashing.
#include <gtest/gtest.h>

#include "core/FileIO.h"
#include "media/JPEGImage.h"

namespace {
std::string Corpus(const char* name) { return ReadFileIfExists(std::string(PICTURE_CORPUS) + "/" + name).value(); }
}  // namespace

TEST(JPEG, ColourAndGreyPictures) {
    TRGBImage image = DecodeJPEG(Corpus("solid.jpg"));
    ASSERT_EQ(image.Width, 64);
    ASSERT_EQ(image.Height, 32);
    ASSERT_EQ(image.Pixels.size(), 64u * 32 * 3);
    // #3366CC in blue, green, red order, within JPEG's rounding.
    EXPECT_NEAR(image.Pixels[0], 0xCC, 3);
    EXPECT_NEAR(image.Pixels[1], 0x66, 3);
    EXPECT_NEAR(image.Pixels[2], 0x33, 3);
    size_t last = image.Pixels.size() - 3;
    EXPECT_NEAR(image.Pixels[last], 0xCC, 3);

    image = DecodeJPEG(Corpus("grey.jpg"));
    EXPECT_EQ(image.Width, 33);
    EXPECT_EQ(image.Height, 17);
    EXPECT_NEAR(image.Pixels[0], 0x80, 3);
    EXPECT_EQ(image.Pixels[0], image.Pixels[2]);

    image = DecodeJPEG(Corpus("banner.jpg"));  // progressive
    EXPECT_EQ(image.Width, 468);
    EXPECT_EQ(image.Height, 60);
}

TEST(JPEG, DamagedDataRaises) {
    EXPECT_THROW(DecodeJPEG(""), EJPEGError);
    EXPECT_THROW(DecodeJPEG("not a jpeg at all"), EJPEGError);
    std::string cut = Corpus("damaged.jpg");
    // Cut short inside its data it decodes what is there (libjpeg pads);
    // cut inside its headers it is refused.
    EXPECT_EQ(DecodeJPEG(cut).Width, 468);
    EXPECT_THROW(DecodeJPEG(cut.substr(0, 20)), EJPEGError);
}
