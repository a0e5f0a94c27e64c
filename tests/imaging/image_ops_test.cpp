// Further conversions, saturating pixel arithmetic and numeric utilities,
// against OpenCV and the standard library on small images made here.
#include "test_support.h"

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <ctime>
#include <functional>
#include <random>
#include <set>

namespace {

// A byte image of the given type holding a copy of an 8-bit matrix.
ImagePtr byte_image(const cv::Mat &m, PixelType type)
{
    ImagePtr img(alloc_img(type, m.rows, m.cols));
    std::copy(m.data, m.data + m.total() * m.elemSize(), img->data_1d.byte_data);
    return img;
}

cv::Mat view(const Image *img)
{
    return cv::Mat(img->num_rows, img->num_cols, img->num_bands == 1 ? CV_8U : CV_8UC3, img->data_1d.byte_data);
}

cv::Mat random_bytes(int rows, int cols, int type, unsigned seed, int top = 255)
{
    cv::Mat m(rows, cols, type);
    cv::RNG rng(seed);
    rng.fill(m, cv::RNG::UNIFORM, 0, top + 1);
    return m;
}

TEST(ImageConversions, NegateRoundAndCombineAgreeWithOpenCv)
{
    cv::Mat gray = random_bytes(7, 9, CV_8U, 1);
    ImagePtr negated(negate_img(byte_image(gray, PIX_GRAY).get()));
    EXPECT_EQ(cv::norm(view(negated.get()), 255 - gray, cv::NORM_INF), 0);
    cv::Mat bits = random_bytes(7, 9, CV_8U, 2, 1);
    ImagePtr flipped(negate_img(byte_image(bits, PIX_BIN).get()));
    EXPECT_EQ(get_pix_type(flipped.get()), PIX_BIN);
    EXPECT_EQ(cv::norm(view(flipped.get()), 1 - bits, cv::NORM_INF), 0);

    // Half away from zero, then limited to the byte range.
    const std::vector<std::pair<double, int>> rounding = { { -0.6, 0 },  { -0.4, 0 },    { 0.5, 1 },  { 1.5, 2 },
                                                           { 2.5, 3 },   { 254.49, 254 }, { 254.5, 255 }, { 300.0, 255 },
                                                           { NAN, 0 } };
    ImagePtr dbl(alloc_img(PIX_DBL_1B, 1, static_cast<int>(rounding.size())));
    for (size_t i = 0; i < rounding.size(); i++) {
        dbl->data_1d.double_data[i] = rounding[i].first;
    }
    ImagePtr rounded(dbl_to_byte_img(dbl.get()));
    EXPECT_EQ(get_pix_type(rounded.get()), PIX_GRAY);
    for (size_t i = 0; i < rounding.size(); i++) {
        EXPECT_EQ(rounded->data_1d.byte_data[i], rounding[i].second) << rounding[i].first;
    }

    cv::Mat colour = random_bytes(5, 6, CV_8UC3, 3);
    ImagePtr as_dbl(byte_to_dbl_img(byte_image(colour, PIX_RGB).get()));
    EXPECT_EQ(get_pix_type(as_dbl.get()), PIX_DBL_3B);
    ImagePtr back(dbl_to_byte_img(as_dbl.get()));
    EXPECT_EQ(get_pix_type(back.get()), PIX_RGB);
    EXPECT_TRUE(is_equal_img(back.get(), byte_image(colour, PIX_RGB).get()));

    std::vector<cv::Mat> planes;
    cv::split(colour, planes);
    ImagePtr red = byte_image(planes[0], PIX_GRAY), green = byte_image(planes[1], PIX_GRAY),
             blue = byte_image(planes[2], PIX_GRAY);
    ImagePtr combined(combine_rgb_bands(red.get(), green.get(), blue.get()));
    EXPECT_EQ(cv::norm(view(combined.get()), colour, cv::NORM_INF), 0);
    combined->data_1d.byte_data[4] ^= 1;
    EXPECT_FALSE(is_equal_img(combined.get(), byte_image(colour, PIX_RGB).get()));
}

TEST(ImageConversions, ColourCountAndConstantImages)
{
    cv::Mat colour = random_bytes(20, 30, CV_8UC3, 4, 3); // 4^3 possible colours, repeats likely
    std::set<cv::Vec3b, bool (*)(const cv::Vec3b &, const cv::Vec3b &)> distinct(
        [](const cv::Vec3b &a, const cv::Vec3b &b) { return std::lexicographical_compare(a.val, a.val + 3, b.val, b.val + 3); });
    for (auto it = colour.begin<cv::Vec3b>(); it != colour.end<cv::Vec3b>(); ++it) {
        distinct.insert(*it);
    }
    EXPECT_EQ(count_colors(byte_image(colour, PIX_RGB).get()), static_cast<int>(distinct.size()));
    ImagePtr white(alloc_const_img(PIX_RGB, 2, 2, 255.0));
    EXPECT_EQ(count_colors(white.get()), 1);

    ImagePtr grey(alloc_const_img(PIX_GRAY, 2, 3, 7.9));
    EXPECT_EQ(grey->data_nd.byte_data_1b[1][2], 7);
    ImagePtr ints(alloc_const_img(PIX_INT_3B, 2, 2, -5.5));
    EXPECT_EQ(ints->data_nd.int_data_3b[1][1][2], -5);
    ImagePtr reals(alloc_const_img(PIX_DBL_1B, 1, 1, -1e300));
    EXPECT_EQ(reals->data_1d.double_data[0], -1e300);

    struct Refused {
        std::function<void()> call;
        const char *message;
    };
    ImagePtr gray_img = byte_image(cv::Mat::zeros(2, 2, CV_8U), PIX_GRAY);
    ImagePtr other = byte_image(cv::Mat::zeros(2, 3, CV_8U), PIX_GRAY);
    const Refused refused[] = {
        { [] { alloc_const_img(PIX_GRAY, 1, 1, 256.0); }, "Error in alloc_const_img: Value ( 256.000000 ) must be in [0, 255] range !\n" },
        { [] { alloc_const_img(PIX_INT_1B, 1, 1, 3e9); },
          "Error in alloc_const_img: Value ( 3000000000.000000 ) must be in [-2147483648, 2147483647] range !\n" },
        { [&] { count_colors(gray_img.get()); }, "Error in count_colors: Not an RGB image !\n" },
        { [&] { is_equal_img(gray_img.get(), other.get()); }, "Error in is_equal_img: Image dimensions must agree !\n" },
        { [&] { dbl_to_byte_img(gray_img.get()); }, "Error in dbl_to_byte_img: Not a double image !\n" },
    };
    for (const Refused &r : refused) {
        testing::internal::CaptureStderr();
        with_errors_returning([&] {
            r.call();
            return 0;
        });
        EXPECT_EQ(testing::internal::GetCapturedStderr(), r.message);
    }
}

TEST(PixelArithmetic, SaturatingOperationsAgreeWithOpenCv)
{
    const cv::Mat a = random_bytes(9, 11, CV_8U, 5), b = random_bytes(9, 11, CV_8U, 6);
    ImagePtr ia = byte_image(a, PIX_GRAY), ib = byte_image(b, PIX_GRAY);
    cv::Mat product, difference;
    cv::multiply(a, b, product);
    cv::absdiff(a, b, difference);
    struct Case {
        const char *name;
        Image *(*op)(const Image *, const Image *);
        cv::Mat expected;
    };
    const Case cases[] = {
        { "add", add_img, a + b },           { "sub", sub_img, a - b },
        { "mult", mult_img, product },       { "abs_diff", abs_diff_img, difference },
        { "union", union_img, cv::max(a, b) }, { "intersect", intersect_img, cv::min(a, b) },
    };
    for (const Case &c : cases) {
        ImagePtr out(c.op(ia.get(), ib.get()));
        ASSERT_TRUE(out) << c.name;
        EXPECT_EQ(cv::norm(view(out.get()), c.expected, cv::NORM_INF), 0) << c.name;
    }

    // A binary mask with a grey image, in either order.
    const cv::Mat mask = random_bytes(9, 11, CV_8U, 7, 1);
    ImagePtr im = byte_image(mask, PIX_BIN);
    cv::Mat grey_where_set = cv::Mat::zeros(a.size(), CV_8U), white_where_set = a.clone();
    a.copyTo(grey_where_set, mask);
    white_where_set.setTo(255, mask);
    for (auto [x, y] : { std::pair{ im.get(), ia.get() }, std::pair{ ia.get(), im.get() } }) {
        ImagePtr u(union_img(x, y)), i(intersect_img(x, y));
        EXPECT_EQ(get_pix_type(u.get()), PIX_GRAY);
        EXPECT_EQ(cv::norm(view(u.get()), white_where_set, cv::NORM_INF), 0);
        EXPECT_EQ(cv::norm(view(i.get()), grey_where_set, cv::NORM_INF), 0);
    }
    const cv::Mat other_mask = random_bytes(9, 11, CV_8U, 8, 1);
    ImagePtr both(intersect_img(im.get(), byte_image(other_mask, PIX_BIN).get()));
    EXPECT_EQ(get_pix_type(both.get()), PIX_BIN);
    EXPECT_EQ(cv::norm(view(both.get()), mask & other_mask, cv::NORM_INF), 0);
}

TEST(PixelArithmetic, ScalarOperationsRoundHalfAwayAndSaturate)
{
    const cv::Mat a = random_bytes(6, 10, CV_8U, 9);
    ImagePtr ia = byte_image(a, PIX_GRAY);
    struct Case {
        const char *name;
        Image *(*op)(const Image *, double);
        double scalar;
        std::function<double(double)> reference;
    };
    const Case cases[] = {
        { "add", add_img_scalar, 10.5, [](double v) { return v + 10.5; } },
        { "sub", sub_img_scalar, 100.25, [](double v) { return v - 100.25; } },
        { "mult", mult_img_scalar, 1.5, [](double v) { return v * 1.5; } },
        { "mult negative", mult_img_scalar, -2.0, [](double v) { return v * -2.0; } },
        { "div", div_img_scalar, 4.0, [](double v) { return v / 4.0; } },
    };
    for (const Case &c : cases) {
        ImagePtr out(c.op(ia.get(), c.scalar));
        for (size_t k = 0; k < a.total(); k++) {
            // std::round rounds halves away from zero.
            const double expected = std::clamp(std::round(c.reference(a.data[k])), 0.0, 255.0);
            ASSERT_EQ(out->data_1d.byte_data[k], expected) << c.name << " of " << int(a.data[k]);
        }
    }
    ImagePtr by_zero(div_img_scalar(ia.get(), 0.0));
    EXPECT_EQ(cv::countNonZero(view(by_zero.get()) != 255), 0);
    EXPECT_EQ(get_pix_type(by_zero.get()), PIX_GRAY);
}

TEST(NumericUtilities, MaskOrderStatisticsAndTimer)
{
    for (double sigma : { 0.4, 1.0, 2.5 }) {
        int size = 0;
        double *mask = gauss_1d(sigma, &size);
        const int expected_size = 2 * static_cast<int>(std::ceil(3 * sigma)) + 1;
        ASSERT_EQ(size, expected_size);
        cv::Mat reference = cv::getGaussianKernel(size, sigma, CV_64F);
        for (int i = 0; i < size; i++) {
            EXPECT_NEAR(mask[i], reference.at<double>(i), 1e-12) << sigma;
        }
        std::free(mask);
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(with_errors_returning([] { return gauss_1d(1e-17, nullptr); }), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error in gauss_1d: Sigma ( 0.000000 ) must be positive !\n");

    int three[] = { 1, 5, 3 };
    EXPECT_EQ(find_median(3, three), 3);
    std::mt19937 rng(12);
    for (int n : { 1, 2, 3, 10, 101, 1000 }) {
        std::vector<int> values(n);
        for (int &v : values) {
            v = static_cast<int>(rng() % 50) - 25; // many repeats
        }
        std::vector<int> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        for (int k : { 0, n / 3, (n - 1) / 2, n - 1 }) {
            std::vector<int> work = values;
            EXPECT_EQ(select_kth_smallest(n, k, work.data()), sorted[k]) << n << " " << k;
        }
        std::vector<int> work = values;
        EXPECT_EQ(find_median(n, work.data()), sorted[(n - 1) / 2]);
        work = values;
        sort_int(n, work.data());
        EXPECT_EQ(work, sorted);
    }

    // A start one second of processor time ago reads as about one second.
    const double elapsed = stop_timer(start_timer() - CLOCKS_PER_SEC);
    EXPECT_GE(elapsed, 1.0);
    EXPECT_LT(elapsed, 100.0);
}

} // namespace
