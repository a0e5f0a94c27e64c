// Colour texture features on small hand-built images.
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

struct Features {
    double *values;
    explicit Features(double *v) : values(v) {}
    ~Features() { std::free(values); }
};

ImagePtr uniform_rgb(int rows, int cols, unsigned char r, unsigned char g, unsigned char b)
{
    ImagePtr img(alloc_img(PIX_RGB, rows, cols));
    for (int k = 0; k < rows * cols; k++) {
        img->data_1d.byte_data[3 * k] = r;
        img->data_1d.byte_data[3 * k + 1] = g;
        img->data_1d.byte_data[3 * k + 2] = b;
    }
    return img;
}

// A square region of rows and columns lo..hi; the last point repeats the
// first, as the box ignores the last point.
OwnedList square(double lo, double hi)
{
    return make_list({ { lo, lo }, { hi, lo }, { hi, hi }, { lo, hi }, { lo, lo } });
}

TEST(Texture, UniformLabels)
{
    struct Case {
        int pattern[8];
        int label;
    };
    const Case cases[] = {
        { { 0, 0, 0, 0, 0, 0, 0, 0 }, 8 }, { { 1, 1, 1, 1, 1, 1, 1, 1 }, 0 }, { { 1, 1, 1, 1, 0, 0, 0, 0 }, 4 },
        { { 1, 0, 1, 0, 0, 0, 0, 0 }, 9 }, { { 0, 0, 0, 0, 0, 0, 0, 1 }, 7 }, { { 1, 0, 0, 0, 0, 0, 0, 1 }, 6 },
    };
    for (const Case &c : cases) {
        EXPECT_EQ(uniformLabel(c.pattern), c.label);
    }
}

TEST(Texture, HistogramStatistics)
{
    const double hist[4] = { 0.25, 0.0, 0.5, 0.25 };
    double *s = statisticsHistogram(hist, 4);
    const double mean = 0.5 * 2 + 0.25 * 3;
    EXPECT_DOUBLE_EQ(s[0], mean);
    double moments[3] = { 0, 0, 0 };
    for (int i = 0; i < 4; i++) {
        for (int p = 0; p < 3; p++) {
            moments[p] += std::pow(i - mean, p + 2) * hist[i];
        }
    }
    EXPECT_NEAR(s[1], moments[0], 1e-12);
    EXPECT_NEAR(s[2], moments[1], 1e-12);
    EXPECT_NEAR(s[3], moments[2], 1e-12);
    EXPECT_NEAR(s[4], -(0.5 * std::log10(0.25) + 0.5 * std::log10(0.5)), 1e-12);
    std::free(s);
    EXPECT_STOPS(statisticsHistogram(nullptr, 4), "Error in statisticsHistogram: Not a valid pointer !");
}

TEST(Texture, FlatRegionHasOnlyLabelEightAndFlatChannels)
{
    ImagePtr img = uniform_rgb(20, 20, 30, 90, 200);
    Features f(textureLBPColor(img.get(), square(2, 15).get()));
    ASSERT_NE(f.values, nullptr);
    for (int k = 0; k < 10; k++) {
        EXPECT_EQ(f.values[k], k == 8 ? 1.0 : 0.0) << k;
    }
    const double levels[3] = { 30, 90, 200 };
    for (int band = 0; band < 3; band++) {
        EXPECT_DOUBLE_EQ(f.values[10 + 5 * band], levels[band]);
        for (int k = 1; k < 5; k++) {
            EXPECT_EQ(f.values[10 + 5 * band + k], 0.0) << band << "," << k;
        }
    }
}

TEST(Texture, BrightAndDarkSpotsAndAMixedRegion)
{
    // A checkerboard: a dark centre sees its 4 edge neighbours brighter and
    // its corners equal, 8 changes: label 9; a bright centre sees nothing
    // brighter: label 8. The LBP window (rows and columns 2..8) holds 25
    // dark centres of 49.
    ImagePtr img = uniform_rgb(12, 12, 0, 0, 0);
    for (int r = 0; r < 12; r++) {
        for (int c = 0; c < 12; c++) {
            unsigned char v = (r + c) % 2 ? 200 : 100;
            for (int b = 0; b < 3; b++) {
                img->data_nd.byte_data_3b[r][c][b] = v;
            }
        }
    }
    Features f(textureLBPColor(img.get(), square(1, 10).get()));
    EXPECT_DOUBLE_EQ(f.values[9], 25.0 / 49);
    EXPECT_DOUBLE_EQ(f.values[8], 24.0 / 49);
    EXPECT_DOUBLE_EQ(f.values[10], 150.0);
    EXPECT_DOUBLE_EQ(f.values[11], 2500.0);
    EXPECT_NEAR(f.values[14], std::log10(2.0), 1e-12);

    ImagePtr spot = uniform_rgb(9, 9, 100, 100, 100);
    for (int b = 0; b < 3; b++) {
        spot->data_nd.byte_data_3b[4][4][b] = 10;
    }
    // Only the centre pixel is an LBP sample; a dark spot among brighter
    // neighbours has all ones: label 0.
    Features dark(textureLBPColor(spot.get(), make_list({ { 3, 3 }, { 6, 3 }, { 6, 6 }, { 3, 6 }, { 3, 3 } }).get()));
    EXPECT_DOUBLE_EQ(dark.values[0], 1.0);
}

TEST(Texture, DegenerateAndOutsideRegionsGiveFiniteFeatures)
{
    ImagePtr img = uniform_rgb(20, 20, 10, 20, 30);
    // Two rows high: colour pixels are sampled, no LBP window fits.
    Features thin(textureLBPColor(img.get(), square(5, 7).get()));
    double lbp_sum = 0;
    for (int k = 0; k < 25; k++) {
        ASSERT_TRUE(std::isfinite(thin.values[k])) << k;
    }
    for (int k = 0; k < 10; k++) {
        lbp_sum += thin.values[k];
    }
    EXPECT_EQ(lbp_sum, 0.0);
    EXPECT_DOUBLE_EQ(thin.values[10], 10.0);

    // A region mostly outside the picture reads only the part inside it.
    Features outside(textureLBPColor(img.get(), square(-30, 8).get()));
    for (int k = 0; k < 25; k++) {
        ASSERT_TRUE(std::isfinite(outside.values[k])) << k;
    }
    EXPECT_DOUBLE_EQ(outside.values[8], 1.0);
    EXPECT_DOUBLE_EQ(outside.values[20], 30.0);

    Features nowhere(textureLBPColor(img.get(), square(100, 140).get()));
    for (int k = 0; k < 25; k++) {
        EXPECT_EQ(nowhere.values[k], 0.0) << k;
    }
}

TEST(Texture, RefusesWrongInputs)
{
    ImagePtr gray(alloc_img(PIX_GRAY, 5, 5));
    EXPECT_STOPS(textureLBPColor(gray.get(), square(0, 3).get()), "Error in textureLPBColor: Not a color image !");
}

} // namespace
