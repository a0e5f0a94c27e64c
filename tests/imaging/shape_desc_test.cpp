// Shape descriptors of labelled objects against cv::moments,
// cv::boundingRect and cv::convexHull on small images made here.
#include "test_support.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <cfloat>
#include <cmath>

namespace {

ImagePtr label_image(const cv::Mat &labels, int num_cc)
{
    ImagePtr img(alloc_img(PIX_INT_1B, labels.rows, labels.cols));
    labels.copyTo(cv::Mat(labels.rows, labels.cols, CV_32S, img->data_1d.int_data));
    img->num_cc = num_cc;
    return img;
}

TEST(ShapeDescriptors, BitQuadAreaOfTheDocumentedBlocks)
{
    struct Case {
        const char *name;
        cv::Rect block;
        double area;
    };
    const Case cases[] = {
        { "single pixel", { 3, 4, 1, 1 }, 1.0 },
        { "2x2", { 3, 4, 2, 2 }, 4.0 },
        { "4x4", { 3, 4, 4, 4 }, 16.0 },
        { "single pixel in the corner", { 0, 0, 1, 1 }, 1.0 },
        { "block on the last row and column", { 6, 8, 4, 2 }, 8.0 },
    };
    for (const Case &c : cases) {
        cv::Mat mask = cv::Mat::zeros(10, 10, CV_32S);
        mask(c.block).setTo(1);
        ImagePtr img = label_image(mask, 1);
        EXPECT_DOUBLE_EQ(calc_obj_area(img.get(), 1), c.area) << c.name;
    }
    // Two diagonal neighbours: six windows hold one of them (2 eighths
    // each) and one holds both on its diagonal (6 eighths).
    cv::Mat pair = cv::Mat::zeros(5, 5, CV_32S);
    pair.at<int>(1, 1) = 1;
    pair.at<int>(2, 2) = 1;
    EXPECT_DOUBLE_EQ(calc_obj_area(label_image(pair, 1).get(), 1), 18.0 / 8.0);
}

TEST(ShapeDescriptors, AgreeWithOpenCvOnLabelledBlobs)
{
    cv::Mat labels = cv::Mat::zeros(50, 60, CV_32S);
    cv::ellipse(labels, { 18, 20 }, { 14, 7 }, 25, 0, 360, 1, cv::FILLED);
    const std::vector<cv::Point> notch = { { 35, 5 }, { 58, 5 }, { 58, 45 }, { 35, 45 }, { 48, 25 } };
    cv::fillPoly(labels, std::vector<std::vector<cv::Point>>{ notch }, 2);
    ImagePtr img = label_image(labels, 2);

    double solidity[3] = {};
    for (int label : { 1, 2 }) {
        const cv::Mat mask = labels == label;
        const cv::Moments m = cv::moments(mask, true);
        EXPECT_EQ(count_obj_pixels(img.get(), label), m.m00) << label;
        PointFourier *centre = calc_obj_centroid(img.get(), label);
        EXPECT_NEAR(centre->row, m.m01 / m.m00, 1e-9);
        EXPECT_NEAR(centre->col, m.m10 / m.m00, 1e-9);
        free_point(centre);

        const cv::Rect box = cv::boundingRect(mask);
        EXPECT_DOUBLE_EQ(calc_aspect_ratio(img.get(), label), double(box.width) / box.height);
        ImagePtr crop(crop_object(img.get(), label));
        ASSERT_EQ(get_num_rows(crop.get()), box.height);
        ASSERT_EQ(get_num_cols(crop.get()), box.width);
        EXPECT_EQ(cv::countNonZero(cv::Mat(box.height, box.width, CV_8U, crop->data_1d.byte_data) != (mask(box) / 255)), 0);
        EXPECT_NEAR(calc_equi_diameter(img.get(), label), std::sqrt(4 * m.m00 / M_PI), 1e-12);

        // The hull of the object's pixels, as the library's hull gives it.
        std::vector<cv::Point> pixels;
        cv::findNonZero(mask, pixels);
        std::vector<std::pair<double, double>> points;
        for (const cv::Point &p : pixels) {
            points.emplace_back(p.y, p.x);
        }
        OwnedList cloud = make_list(points);
        OwnedList hull(calc_2d_convex_hull(cloud.get()), cloud->num_pts + 1);
        std::vector<cv::Point> reference_hull;
        cv::convexHull(pixels, reference_hull);
        double widest = 0;
        for (const cv::Point &a : reference_hull) {
            for (const cv::Point &b : reference_hull) {
                widest = std::max(widest, cv::norm(a - b));
            }
        }
        EXPECT_NEAR(calc_max_diameter(hull.get()), widest, 1e-9);
        EXPECT_NEAR(calc_compactness(img.get(), label, hull.get()), std::sqrt(4 * m.m00 / M_PI) / widest, 1e-9);

        // The filled hull polygon, rasterised by OpenCV, includes its outline.
        cv::Mat filled_hull = cv::Mat::zeros(labels.size(), CV_8U);
        cv::fillConvexPoly(filled_hull, reference_hull, 1);
        const double reference_solidity = m.m00 / cv::countNonZero(filled_hull);
        solidity[label] = calc_solidity(img.get(), label, hull.get());
        EXPECT_NEAR(solidity[label], reference_solidity, 0.01) << label;
    }
    // The ellipse is convex, the notched pentagon is not.
    EXPECT_GT(solidity[1], 0.95);
    EXPECT_LT(solidity[2], 0.85);
}

TEST(ShapeDescriptors, RefusedInputsGiveTheSmallestDouble)
{
    ImagePtr gray(alloc_img(PIX_GRAY, 3, 3));
    ImagePtr bin(alloc_img(PIX_BIN, 3, 3));
    testing::internal::CaptureStderr();
    EXPECT_EQ(with_errors_returning([&] { return calc_obj_area(gray.get(), 1); }), DBL_MIN);
    EXPECT_EQ(with_errors_returning([&] { return calc_aspect_ratio(bin.get(), 0); }), DBL_MIN);
    EXPECT_EQ(with_errors_returning([&] { return count_obj_pixels(bin.get(), -1); }), INT_MIN);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Error in calc_obj_area: Not a binary or label image !\n"
              "Error in calc_aspect_ratio: Label ( 0 ) must be positive !\n"
              "Error in count_obj_pixels: Label ( -1 ) must be positive !\n");
}

} // namespace
