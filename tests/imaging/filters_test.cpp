// Edge operators and Gaussian, anisotropic Gaussian and sigma filters,
// against OpenCV's filters on small images made here.
#include "test_support.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <cmath>

namespace {

ImagePtr gray_image(const cv::Mat &m)
{
    ImagePtr img(alloc_img(PIX_GRAY, m.rows, m.cols));
    m.copyTo(cv::Mat(m.rows, m.cols, CV_8U, img->data_1d.byte_data));
    return img;
}

cv::Mat view(const Image *img) { return cv::Mat(img->num_rows, img->num_cols, CV_8U, img->data_1d.byte_data); }

cv::Mat dbl_view(const Image *img) { return cv::Mat(img->num_rows, img->num_cols, CV_64F, img->data_1d.double_data); }

// Shapes of several grey levels on a gradient, with a little noise.
cv::Mat test_picture(int rows, int cols)
{
    cv::Mat m(rows, cols, CV_8U);
    for (int r = 0; r < rows; r++)
        for (int c = 0; c < cols; c++) m.at<uchar>(r, c) = static_cast<uchar>(40 + r + c / 2);
    cv::circle(m, { cols / 3, rows / 2 }, rows / 4, 200, cv::FILLED);
    cv::rectangle(m, cv::Rect(cols / 2, rows / 5, cols / 3, rows / 2), 120, cv::FILLED);
    cv::Mat noise(rows, cols, CV_8U);
    cv::RNG(3).fill(noise, cv::RNG::UNIFORM, 0, 6);
    return m + noise;
}

TEST(EdgeOperators, GradientEdgesAgreeWithOpenCvMasks)
{
    const cv::Mat picture = test_picture(40, 56);
    cv::Mat source;
    picture.convertTo(source, CV_64F);
    struct Case {
        const char *name;
        Image *(*detect)(const Image *);
        cv::Mat kx, ky;
        int margin; // rows and columns at the far side where the mask does not fit
        double k;
    };
    const cv::Mat prewitt_x = (cv::Mat_<double>(3, 3) << -1, 0, 1, -1, 0, 1, -1, 0, 1);
    const cv::Mat sobel_x = (cv::Mat_<double>(3, 3) << -1, 0, 1, -2, 0, 2, -1, 0, 1);
    const Case cases[] = {
        { "roberts", detect_edge_roberts, (cv::Mat_<double>(2, 2) << 1, 0, 0, -1), (cv::Mat_<double>(2, 2) << 0, 1, -1, 0), 1, 6 },
        { "prewitt", detect_edge_prewitt, prewitt_x, prewitt_x.t(), 1, 4 },
        { "sobel", detect_edge_sobel, sobel_x, sobel_x.t(), 1, 4 },
    };
    for (const Case &c : cases) {
        const bool roberts = c.kx.rows == 2;
        const cv::Point anchor = roberts ? cv::Point(0, 0) : cv::Point(-1, -1);
        cv::Mat gx, gy;
        cv::filter2D(source, gx, CV_64F, c.kx, anchor);
        cv::filter2D(source, gy, CV_64F, c.ky, anchor);
        const cv::Mat magnitude = gx.mul(gx) + gy.mul(gy);
        const cv::Rect fit = roberts ? cv::Rect(0, 0, 55, 39) : cv::Rect(1, 1, 54, 38);
        const double threshold = std::round(c.k * cv::mean(magnitude(fit))[0]);
        cv::Mat expected = cv::Mat::zeros(picture.size(), CV_8U);
        cv::Mat(magnitude(fit) > threshold).copyTo(expected(fit));
        expected /= 255;
        ImagePtr edges(c.detect(gray_image(picture).get()));
        ASSERT_TRUE(is_bin_img(edges.get())) << c.name;
        EXPECT_EQ(cv::countNonZero(view(edges.get()) != expected), 0) << c.name;
        EXPECT_GT(cv::countNonZero(expected), 20) << c.name;
    }
}

TEST(EdgeOperators, LaplacianOfGaussianMaskAndZeroCrossings)
{
    for (double sigma : { 0.8, 1.5 }) {
        const int size = 2 * static_cast<int>(std::ceil(3 * sigma)) + 1, half = size / 2;
        double *mask = create_log_mask(size, sigma);
        const cv::Mat g = cv::getGaussianKernel(size, sigma, CV_64F);
        cv::Mat reference = g * g.t();
        for (int y = 0; y < size; y++)
            for (int x = 0; x < size; x++) {
                const double d2 = (x - half) * (x - half) + (y - half) * (y - half);
                reference.at<double>(y, x) *= (d2 - 2 * sigma * sigma) / std::pow(sigma, 4);
            }
        reference -= cv::mean(reference)[0];
        const cv::Mat ours(size, size, CV_64F, mask);
        EXPECT_LT(cv::norm(ours, reference, cv::NORM_INF), 1e-12) << sigma;
        EXPECT_NEAR(cv::sum(ours)[0], 0.0, 1e-12);

        // Zero crossings of OpenCV's convolution with that mask, where it fits.
        const cv::Mat picture = test_picture(36, 44);
        cv::Mat source, response;
        picture.convertTo(source, CV_64F);
        cv::filter2D(source, response, CV_64F, reference);
        const cv::Rect fit(half, half, 44 - 2 * half, 36 - 2 * half);
        cv::Mat inside = cv::Mat::zeros(response.size(), CV_64F);
        response(fit).copyTo(inside(fit));
        const double limit = 0.75 * cv::mean(cv::abs(inside(fit)))[0];
        cv::Mat expected = cv::Mat::zeros(picture.size(), CV_8U);
        for (int r = 0; r < 36; r++)
            for (int c = 0; c < 44; c++) {
                const double v = inside.at<double>(r, c);
                if (v >= -1e-9) continue;
                for (cv::Point step : { cv::Point(0, -1), cv::Point(-1, 0), cv::Point(1, 0), cv::Point(0, 1) }) {
                    const cv::Point n = cv::Point(c, r) + step;
                    if (n.x < 0 || n.y < 0 || n.x >= 44 || n.y >= 36) continue;
                    const double w = inside.at<double>(n);
                    if (w > 1e-9 && w - v > limit) expected.at<uchar>(r, c) = 1;
                }
            }
        ImagePtr edges(detect_edge_log(gray_image(picture).get(), sigma));
        EXPECT_EQ(cv::countNonZero(view(edges.get()) != expected), 0) << sigma;
        EXPECT_GT(cv::countNonZero(expected), 10) << sigma;
        std::free(mask);
    }
}

TEST(GaussianFilters, SampledMaskMatchesGaussianBlurInside)
{
    const cv::Mat picture = test_picture(40, 50);
    for (double sigma : { 0.7, 1.0, 2.0 }) {
        const int half = static_cast<int>(std::ceil(3 * sigma));
        cv::Mat reference;
        cv::GaussianBlur(picture, reference, cv::Size(2 * half + 1, 2 * half + 1), sigma, sigma);
        ImagePtr smooth(filter_gaussian(gray_image(picture).get(), sigma));
        const cv::Rect inside(half, half, 50 - 2 * half, 40 - 2 * half);
        cv::Mat ours = view(smooth.get());
        // Truncation against OpenCV's rounding: at most one grey level apart.
        EXPECT_LE(cv::norm(ours(inside), reference(inside), cv::NORM_INF), 1) << sigma;
        EXPECT_EQ(cv::countNonZero(ours) , cv::countNonZero(ours(inside))) << "the border stays 0";
    }
}

// The recursive filters against sampled Gaussians of the same deviations,
// away from the border: along the axes (phi 0 and 90 degrees, a separable
// Gaussian) and rotated (a Gaussian sampled on a rotated grid). With its
// fixed coefficients the recursive Gaussian is somewhat wider than the
// sampled one (by about 10 %), which on these edges of 80 to 160 grey levels
// makes up to 6 levels; the same filter with its two deviations swapped, or
// turned by 90 degrees, lies much further off.
TEST(GaussianFilters, AnisotropicFilterMatchesSampledGaussians)
{
    const cv::Mat picture = test_picture(90, 100);
    cv::Mat source;
    picture.convertTo(source, CV_64F);
    const auto sampled = [&](double sigma_v, double sigma_u, double phi, int half) {
        cv::Mat kernel(2 * half + 1, 2 * half + 1, CV_64F);
        const double angle = phi * M_PI / 180.0;
        for (int y = -half; y <= half; y++)
            for (int x = -half; x <= half; x++) {
                const double along = x * std::cos(angle) + y * std::sin(angle);
                const double across = -x * std::sin(angle) + y * std::cos(angle);
                kernel.at<double>(y + half, x + half) =
                    std::exp(-along * along / (2 * sigma_v * sigma_v) - across * across / (2 * sigma_u * sigma_u));
            }
        kernel /= cv::sum(kernel)[0];
        cv::Mat filtered;
        cv::filter2D(source, filtered, CV_64F, kernel);
        return filtered;
    };
    struct Case {
        double sigma_v, sigma_u, phi;
    };
    const Case cases[] = { { 3.0, 1.5, 0.0 }, { 3.0, 1.5, 90.0 }, { 2.0, 2.0, 0.0 }, { 4.0, 1.5, 30.0 }, { 3.0, 1.0, 135.0 } };
    const double tolerance = 6.0;
    for (const Case &c : cases) {
        const int half = static_cast<int>(std::ceil(4 * c.sigma_v));
        const cv::Mat reference = sampled(c.sigma_v, c.sigma_u, c.phi, half);
        if (c.phi == 0.0) { // the separable Gaussian is the same filter
            cv::Mat separable;
            cv::sepFilter2D(source, separable, CV_64F, cv::getGaussianKernel(2 * half + 1, c.sigma_v, CV_64F),
                            cv::getGaussianKernel(2 * half + 1, c.sigma_u, CV_64F));
            ASSERT_LT(cv::norm(separable, reference, cv::NORM_INF), 1e-9);
        }
        ImagePtr filtered(filter_ani_gaussian(gray_image(picture).get(), c.sigma_v, c.sigma_u, c.phi, 0, 0));
        ASSERT_EQ(get_pix_type(filtered.get()), PIX_DBL_1B);
        const cv::Rect inside(half + 6, half + 6, 100 - 2 * half - 12, 90 - 2 * half - 12);
        const cv::Mat ours = dbl_view(filtered.get())(inside);
        EXPECT_LT(cv::norm(ours, reference(inside), cv::NORM_INF), tolerance)
            << c.sigma_v << " " << c.sigma_u << " " << c.phi;
        if (c.sigma_v != c.sigma_u) {
            const cv::Mat turned = sampled(c.sigma_v, c.sigma_u, c.phi + 90.0, half);
            EXPECT_GT(cv::norm(ours, turned(inside), cv::NORM_INF), 2 * tolerance) << c.phi;
        }
    }
}

TEST(GaussianFilters, RecursivePassesKeepConstantsAndRampsAndStartFromTheRightState)
{
    // A constant stays constant up to its last sample, along every kind of line.
    const int sx = 30, sy = 25;
    std::vector<double> constant(sx * sy, 42.0), out(sx * sy);
    for (double phi : { 0.0, 90.0, 37.0 }) {
        ASSERT_TRUE(anigauss(constant.data(), out.data(), sx, sy, 3.5, 1.2, phi, 0, 0));
        for (double v : out) ASSERT_NEAR(v, 42.0, 1e-9) << phi;
    }
    // A ramp 2 x: the first derivative along x is 0.5 times the central
    // difference, 2; across it, 0.
    std::vector<double> ramp(sx * sy), d_along(sx * sy), d_across(sx * sy);
    for (int y = 0; y < sy; y++)
        for (int x = 0; x < sx; x++) ramp[y * sx + x] = 2.0 * x;
    ASSERT_TRUE(anigauss(ramp.data(), d_along.data(), sx, sy, 1.0, 1.0, 0.0, 0, 1));
    ASSERT_TRUE(anigauss(ramp.data(), d_across.data(), sx, sy, 1.0, 1.0, 0.0, 1, 0));
    for (int y = 0; y < sy; y++)
        for (int x = 8; x < sx - 8; x++) {
            EXPECT_NEAR(d_along[y * sx + x], 2.0, 1e-4);
            EXPECT_NEAR(d_across[y * sx + x], 0.0, 1e-9);
        }

    // The backward pass starts as if the line went on with its last sample:
    // the same as running both passes over a line extended far enough.
    for (double sigma : { 0.5, 1.7, 6.0, 15.0 }) {
        double filter[7];
        YvVfilterCoef(sigma, filter);
        EXPECT_NEAR(filter[3], 1.0 - filter[0] - filter[1] - filter[2], 1e-12);
        const int n = 40, extension = 20000;
        std::vector<double> line(n), filtered(n), longer(n + extension);
        for (int i = 0; i < n; i++) line[i] = 50.0 * std::sin(0.7 * i) + i;
        f_iir_xline_filter(line.data(), filtered.data(), n, 1, filter);
        for (int i = 0; i < n + extension; i++) longer[i] = line[std::min(i, n - 1)];
        std::vector<double> reference(n + extension);
        double y1 = line[0], y2 = line[0], y3 = line[0];
        for (int i = 0; i < n + extension; i++) {
            reference[i] = filter[3] * longer[i] + filter[2] * y1 + filter[1] * y2 + filter[0] * y3;
            y3 = y2, y2 = y1, y1 = reference[i];
        }
        double z1 = line[n - 1], z2 = z1, z3 = z1;
        for (int i = n + extension - 1; i >= 0; i--) {
            reference[i] = filter[3] * reference[i] + filter[4] * z1 + filter[5] * z2 + filter[6] * z3;
            z3 = z2, z2 = z1, z1 = reference[i];
        }
        for (int i = 0; i < n; i++) EXPECT_NEAR(filtered[i], reference[i], 1e-9) << sigma << " at " << i;
    }
}

TEST(SigmaFilter, SmoothsWithinTheRangeAndKeepsEdges)
{
    struct Case {
        const char *name;
        cv::Mat picture;
        int win_size, k_value;
        cv::Point probe;
        int expected;
    };
    cv::Mat flat(9, 9, CV_8U, cv::Scalar(10));
    cv::Mat spike = flat.clone();
    spike.at<uchar>(4, 4) = 200;
    cv::Mat step = flat.clone();
    step(cv::Rect(5, 0, 4, 9)).setTo(200);
    cv::Mat ramp(9, 9, CV_8U);
    for (int c = 0; c < 9; c++) ramp.col(c).setTo(10 * c);
    const Case cases[] = {
        { "flat", flat, 3, 2, { 4, 4 }, 10 },
        { "lone spike falls back to its neighbours", spike, 3, 2, { 4, 4 }, 10 },
        { "spike's neighbour ignores it", spike, 3, 2, { 3, 4 }, 10 },
        { "step keeps its low side", step, 3, 2, { 4, 4 }, 10 },
        { "step keeps its high side", step, 3, 2, { 5, 4 }, 200 },
        { "ramp averages its close values", ramp, 5, 3, { 4, 4 }, 40 },
    };
    for (const Case &c : cases) {
        ImagePtr out(filter_sigma(gray_image(c.picture).get(), c.win_size, c.k_value));
        EXPECT_EQ(view(out.get()).at<uchar>(c.probe), c.expected) << c.name;
        EXPECT_EQ(view(out.get()).at<uchar>(0, 0), 0) << c.name;
    }
    testing::internal::CaptureStderr();
    EXPECT_EQ(with_errors_returning([&] { return filter_sigma(gray_image(flat).get(), 4, 1); }), nullptr);
    EXPECT_EQ(with_errors_returning([&] { return filter_sigma(gray_image(flat).get(), 3, 9); }), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error in filter_sigma: Window size ( 4 ) must be a positive odd integer !\n"
              "Error in filter_sigma: K value ( 9 ) must be in [0, 9) range !\n");
}

} // namespace
