// Image object, n-dimensional arrays, point lists, boxes and error reporting.
#include "test_support.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

TEST(ImageCore, AllocationSetsTypeDerivedFieldsAndZeroedSamples)
{
    struct Case {
        PixelType type;
        int bands;
        int max_pix_val;
    };
    const Case cases[] = {
        { PIX_BIN, 1, 255 },        { PIX_GRAY, 1, 255 },       { PIX_RGB, 3, 255 },     { PIX_INT_1B, 1, INT_MAX },
        { PIX_INT_3B, 3, INT_MAX }, { PIX_DBL_1B, 1, INT_MAX }, { PIX_DBL_3B, 3, INT_MAX },
    };
    for (const Case &c : cases) {
        ImagePtr img(alloc_img(c.type, 4, 5));
        ASSERT_TRUE(img) << c.type;
        EXPECT_EQ(get_num_bands(img.get()), c.bands);
        EXPECT_EQ(img->max_pix_val, c.max_pix_val);
        EXPECT_EQ(img->num_cc, INT_MIN);
        const size_t bytes = 4 * 5 * c.bands * (is_byte_img(img.get()) ? 1 : is_int_img(img.get()) ? 4 : 8);
        const auto *data = static_cast<const unsigned char *>(get_img_data_1d(img.get()));
        for (size_t k = 0; k < bytes; k++) {
            ASSERT_EQ(data[k], 0) << c.type;
        }
    }
}

TEST(ImageCore, RowAndPixelTablesReachTheInterleavedBlock)
{
    ImagePtr rgb(alloc_img(PIX_RGB, 2, 3));
    for (int b = 0; b < 3; b++) {
        EXPECT_EQ(&rgb->data_nd.byte_data_3b[1][2][b], rgb->data_1d.byte_data + 15 + b);
    }
    ImagePtr dbl(alloc_img(PIX_DBL_1B, 3, 7));
    EXPECT_EQ(&dbl->data_nd.double_data_1b[2][6], dbl->data_1d.double_data + 20);
}

TEST(ImageCore, FreedImageIsInvalidAndSecondFreeDoesNothing)
{
    Image *img = alloc_img(PIX_GRAY, 1, 1);
    free_img(img);
    free_img(img);
    EXPECT_EQ(img->type, PIX_INVALID);
    EXPECT_EQ(img->num_rows, INT_MIN);
    EXPECT_STOPS(get_num_rows(img), "Error in get_num_rows: Invalid image object !");
    std::free(img);
}

TEST(ImageCore, ReportsFollowTheErrorConvention)
{
    EXPECT_STOPS(alloc_img(PIX_GRAY, 0, 3), "Error in alloc_img: Number of rows \\( 0 \\) must be positive !");
    ImagePtr labels(alloc_img(PIX_INT_1B, 2, 2));
    EXPECT_FALSE(is_label_img(labels.get()));
    EXPECT_STOPS(get_num_cc(labels.get()), "Error in get_num_cc: Not a label image !");
    Image bogus = {};
    bogus.type = static_cast<PixelType>(9);
    EXPECT_STOPS(get_img_data_1d(&bogus), "Fatal error in get_img_data_1d: FATAL: Invalid pixel type !");

    testing::internal::CaptureStderr();
    Image *none = with_errors_returning([] { return alloc_img(PIX_GRAY, 3, -2); });
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error in alloc_img: Number of columns ( -2 ) must be positive !\n");
}

TEST(ImageCore, SizesThatOverflowAreInsufficientMemoryNotShortBlocks)
{
    testing::internal::CaptureStderr();
    Image *img = with_errors_returning([] { return alloc_img(PIX_DBL_3B, INT_MAX, INT_MAX); });
    EXPECT_EQ(img, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error in alloc_img: Insufficient memory !\n");
    EXPECT_EQ(alloc_nd(8, 3, 1 << 30, 1 << 30, 1 << 30), nullptr);
}

TEST(ImageCore, AllocNdRefusesEmptyShapes)
{
    void *block = alloc_nd(8, 1, 5);
    EXPECT_NE(block, nullptr);
    free_nd(block, 1);
    EXPECT_EQ(alloc_nd(0, 2, 3, 3), nullptr);
    EXPECT_EQ(alloc_nd(1, 0), nullptr);
    EXPECT_EQ(alloc_nd(1, 2, 3, 0), nullptr);
}

TEST(PointLists, LifecycleFromInvalidToFreed)
{
    PointList *list = alloc_point_list(2);
    EXPECT_STOPS(get_num_pts(list), "Error in get_num_pts: Invalid point list object !");
    list->point[0] = alloc_point(1, 2);
    list->point[1] = alloc_point(3, 4);
    list->type = GEN_VALID;
    EXPECT_EQ(get_num_pts(list), 2);
    free_point_list(list);
    EXPECT_EQ(list->type, GEN_VALID);
    EXPECT_EQ(get_num_pts(list), INT_MIN);
    EXPECT_EQ(list->point[0], nullptr);
    std::free(list->point);
    std::free(list);
    EXPECT_STOPS(alloc_point_list(0), "Error in alloc_point_list: Number of points \\( 0 \\) must be positive !");
}

// Points cut from a pool's blocks outlive the pool and are released one by
// one, in any order and on any thread; the sanitizer builds see a block
// released early or never. Enough points for several blocks, pools nested.
TEST(PointLists, PooledPointsAreReleasedOneByOneAnywhere)
{
    constexpr int count = 10000;
    std::vector<PointFourier *> points;
    open_point_pool();
    open_point_pool();
    for (int i = 0; i < count / 2; i++) {
        points.push_back(alloc_point(i, -i));
    }
    close_point_pool();
    for (int i = count / 2; i < count; i++) {
        points.push_back(alloc_point(i, -i));
    }
    close_point_pool();
    PointFourier *own = alloc_point(0.5, 0.25);
    for (int i = 0; i < count; i++) {
        ASSERT_EQ(points[i]->row, i);
        ASSERT_EQ(points[i]->col, -i);
    }
    std::thread other([&points] {
        for (int i = 1; i < count; i += 2) {
            free_point(points[i]);
        }
    });
    for (int i = count - 2; i >= 0; i -= 2) {
        free_point(points[i]);
    }
    other.join();
    EXPECT_EQ(own->row, 0.5);
    free_point(own);
    free_point(nullptr);
}

TEST(PointLists, BoxesAndRasterisation)
{
    Box *fresh = alloc_box();
    EXPECT_EQ(get_box_height(fresh), -2147483646);
    free_box(fresh);
    const Box one = { 4, 4, 7, 7 };
    EXPECT_EQ(get_box_height(&one), 1);
    EXPECT_EQ(calc_box_area(&one), 1);

    OwnedList list = make_list({ { 0.9, 1.7 }, { 2.0, 0.0 }, { -0.5, 1.0 }, { 3.0, 1.0 }, { 1.0, -3.0 } });
    ImagePtr img(point_list_to_img(list.get(), 3, 2));
    ASSERT_TRUE(img);
    const unsigned char expected[3][2] = { { 0, 1 }, { 0, 0 }, { 1, 0 } };
    for (int r = 0; r < 3; r++) {
        for (int c = 0; c < 2; c++) {
            EXPECT_EQ(img->data_nd.byte_data_1b[r][c], expected[r][c]) << r << "," << c;
        }
    }
}

TEST(ErrorReporting, ModesTextsAndForms)
{
    EXPECT_STREQ(error_str(E_NOMEM), "insufficient memory");
    EXPECT_STREQ(error_str(13), "unknown error code");
    EXPECT_STREQ(error_str(-1), "unknown error code");

    testing::internal::CaptureStderr();
    imaging_warning("w %d", 1);
    imaging_debug("d %s", "x");
    do_nothing("nothing");
    set_warn_mode(0);
    imaging_warning("hidden");
    set_warn_mode(1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "w 1\nd x\n");

    // Errors, fatal ones included, return to the caller unless a caller
    // turns the error mode on.
    EXPECT_FALSE(get_err_mode());
    testing::internal::CaptureStderr();
    imaging_error("go on");
    imaging_fatal("boom %d", 3);
    report_fatal("f", "still here");
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "go on\nFATAL: boom 3\nFatal error in f: FATAL: still here\n");
    EXPECT_STOPS(imaging_fatal("boom %d", 3), "FATAL: boom 3");
    EXPECT_STOPS(imaging_error("stop"), "stop");
    set_err_mode(5);
    EXPECT_TRUE(get_err_mode());
    set_err_mode(0);
}

TEST(Conversions, GreyBandsCloneAndThreshold)
{
    ImagePtr rgb(alloc_img(PIX_RGB, 1, 2));
    const unsigned char samples[] = { 10, 20, 30, 255, 255, 255 };
    std::copy(samples, samples + 6, rgb->data_1d.byte_data);
    ImagePtr gray(rgb_to_gray(rgb.get()));
    EXPECT_EQ(gray->data_1d.byte_data[0], 18);
    EXPECT_EQ(gray->data_1d.byte_data[1], 255);

    Image *r, *g, *b;
    get_rgb_bands(rgb.get(), &r, &g, &b);
    ImagePtr red(r), green(g), blue(b);
    EXPECT_EQ(green->data_1d.byte_data[0], 20);
    EXPECT_EQ(blue->data_1d.byte_data[1], 255);

    ImagePtr copy(clone_img(rgb.get()));
    EXPECT_TRUE(std::equal(samples, samples + 6, copy->data_1d.byte_data));

    ImagePtr all_zero(threshold_img(gray.get(), 255));
    ImagePtr above_zero(threshold_img(gray.get(), 0));
    EXPECT_EQ(all_zero->data_1d.byte_data[1], 0);
    EXPECT_EQ(above_zero->data_1d.byte_data[0], 1);
    EXPECT_STOPS(threshold_img(gray.get(), 256), "Threshold \\( 256 \\) must be in \\[0, 255\\] range !");
    EXPECT_STOPS(rgb_to_gray(gray.get()), "Error in rgb_to_gray: Not an RGB image !");
}

} // namespace
