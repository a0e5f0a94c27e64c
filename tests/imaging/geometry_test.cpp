// Convex hull, point in polygon and scan filling against OpenCV.
#include "test_support.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

namespace {

using Points = std::vector<std::pair<double, double>>;

OwnedList hull_of(const OwnedList &list) { return OwnedList(calc_2d_convex_hull(list.get()), list->num_pts + 1); }

TEST(ConvexHull, OrderAndSlotsOfTheDocumentedCases)
{
    const Points expected = { { 0, 10 }, { 0, 0 }, { 10, 0 }, { 10, 10 } };
    for (const Points &square : { Points{ { 10, 0 }, { 0, 0 }, { 0, 10 }, { 10, 10 } },
                                  Points{ { 0, 0 }, { 10, 10 }, { 0, 10 }, { 10, 0 } } }) {
        OwnedList hull = hull_of(make_list(square));
        EXPECT_EQ(points_of(hull.get()), expected);
        EXPECT_EQ(hull->point[4]->row, 0);
        EXPECT_EQ(hull->point[4]->col, 10);
    }
    OwnedList with_inside = hull_of(make_list({ { 10, 0 }, { 0, 0 }, { 0, 10 }, { 10, 10 }, { 5, 5 } }));
    EXPECT_EQ(points_of(with_inside.get()), expected);
    EXPECT_EQ(with_inside->point[5]->row, 5);

    OwnedList single = hull_of(make_list({ { 3, 4 } }));
    EXPECT_EQ(points_of(single.get()), (Points{ { 3, 4 }, { 3, 4 } }));
    OwnedList collinear = hull_of(make_list({ { 0, 0 }, { 0, 1 }, { 0, 2 } }));
    EXPECT_EQ(points_of(collinear.get()), (Points{ { 0, 2 }, { 0, 0 } }));
}

TEST(ConvexHull, SameVerticesAsOpenCv)
{
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> coord(0, 60);
    for (int trial = 0; trial < 50; trial++) {
        Points points;
        std::vector<cv::Point> cv_points;
        for (int k = 0; k < 5 + trial; k++) {
            int r = coord(rng), c = coord(rng);
            points.emplace_back(r, c);
            cv_points.emplace_back(c, r);
        }
        OwnedList hull = hull_of(make_list(points));
        std::vector<cv::Point> reference;
        cv::convexHull(cv_points, reference);
        std::set<std::pair<double, double>> ours, theirs;
        for (auto p : points_of(hull.get())) {
            ours.insert(p);
        }
        for (const cv::Point &p : reference) {
            theirs.insert({ p.y, p.x });
        }
        EXPECT_EQ(ours, theirs) << "trial " << trial;
    }
}

TEST(PointInside, AgreesWithOpenCvIncludingTheBoundary)
{
    const Points star = { { 5, 20 }, { 17, 24 }, { 35, 30 }, { 22, 36 }, { 30, 12 }, { 20, 14 }, { 8, 2 } };
    OwnedList polygon = make_list(star);
    std::vector<cv::Point> contour;
    for (auto [r, c] : star) {
        contour.emplace_back(static_cast<int>(c), static_cast<int>(r));
    }
    for (int r = 0; r < 40; r++) {
        for (int c = 0; c < 40; c++) {
            const bool theirs = cv::pointPolygonTest(contour, cv::Point2f(c, r), false) >= 0;
            ASSERT_EQ(point_inside_pt(polygon.get(), c, r) == 1, theirs) << r << "," << c;
        }
    }
    const PointFourier vertex = { 17, 24 }, outside = { 17, 25 };
    EXPECT_EQ(point_inside(polygon.get(), &vertex), 1);
    EXPECT_EQ(point_inside(polygon.get(), &outside), 0);
}

TEST(PolygonTools, MeasuresAndSampledOverlap)
{
    OwnedList square = make_list({ { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 } });
    EXPECT_DOUBLE_EQ(distanceMaxBetweenPts(square.get()), 10.0);
    OwnedList pair = make_list({ { 0, 0 }, { 3, 4 } });
    EXPECT_DOUBLE_EQ(distanceMaxBetweenPts(pair.get()), 5.0);
    const Box one = { 2, 2, 3, 3 }, tall = { 0, 10, 0, 4 };
    EXPECT_DOUBLE_EQ(lengthestSide(&one), 1.0);
    EXPECT_DOUBLE_EQ(lengthestSide(&tall), 11.0);
    Box box = computeBoundingBox(make_list({ { 1.9, 7.5 }, { -0.5, 3.2 } }).get());
    EXPECT_EQ(box.min_row, 0);
    EXPECT_EQ(box.max_row, 1);
    EXPECT_EQ(box.min_col, 3);
    EXPECT_EQ(box.max_col, 7);

    // q's points 0, 2, 4, 6 are tested: two of them lie in the square.
    OwnedList q = make_list({ { 5, 5 }, { 50, 50 }, { 50, 50 }, { 50, 50 }, { 1, 1 }, { 50, 50 }, { 50, 50 },
                              { 50, 50 }, { 50, 50 }, { 50, 50 } });
    EXPECT_EQ(overlapingTest(square.get(), q.get(), 4), 2);
    testing::internal::CaptureStdout();
    EXPECT_EQ(overlapingTest(square.get(), nullptr, 4), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Invalid pointers or dates in OverlapingTest!");
}

TEST(ScanFill, AreasMasksAndRoundnessOfTheDocumentedPolygons)
{
    OwnedList square = make_list({ { 0, 0 }, { 10, 0 }, { 10, 10 }, { 0, 10 } });
    EXPECT_NEAR(computeRoundness(square.get(), computeBoundingBox(square.get())), 1600 / (4 * M_PI * 100), 1e-12);
    OwnedList triangle = make_list({ { 0, 0 }, { 10, 0 }, { 0, 10 } });
    // Scan-rule area 45 (not 50): perimeter^2 / (4 pi 45).
    const double perimeter = 20 + std::sqrt(200.0);
    EXPECT_NEAR(computeRoundness(triangle.get(), computeBoundingBox(triangle.get())),
                perimeter * perimeter / (4 * M_PI * 45), 1e-9);
    OwnedList flat = make_list({ { 3, 0 }, { 3, 10 } });
    EXPECT_TRUE(std::isinf(computeRoundness(flat.get(), computeBoundingBox(flat.get()))));

    ImagePtr mask(computeBinImage(square.get(), 12, 12));
    for (int r = 0; r < 12; r++) {
        for (int c = 0; c < 12; c++) {
            EXPECT_EQ(mask->data_nd.byte_data_1b[r][c], (r >= 1 && r <= 10 && c <= 10) ? 1 : 0) << r << "," << c;
        }
    }
}

double iou(const cv::Mat &a, const cv::Mat &b)
{
    cv::Mat both, either;
    cv::bitwise_and(a, b, both);
    cv::bitwise_or(a, b, either);
    return static_cast<double>(cv::countNonZero(both)) / cv::countNonZero(either);
}

cv::Mat as_mat(const Image *mask)
{
    cv::Mat m(mask->num_rows, mask->num_cols, CV_8U, mask->data_1d.byte_data);
    return m.clone();
}

TEST(ScanFill, MaskMatchesOpenCvFillPoly)
{
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> jitter(0.6, 1.0);
    for (int trial = 0; trial < 20; trial++) {
        Points outline;
        std::vector<cv::Point> contour;
        const int n = 6 + trial;
        for (int k = 0; k < n; k++) {
            double angle = 2 * M_PI * k / n, radius = 40 * jitter(rng);
            int r = static_cast<int>(60 + radius * std::sin(angle)), c = static_cast<int>(70 + radius * std::cos(angle));
            outline.emplace_back(r, c);
            contour.emplace_back(c, r);
        }
        ImagePtr mask(computeBinImage(make_list(outline).get(), 120, 140));
        cv::Mat reference(120, 140, CV_8U, cv::Scalar(0));
        cv::fillPoly(reference, std::vector<std::vector<cv::Point>>{ contour }, cv::Scalar(1));
        // The scan rule leaves out the top row of each edge, fillPoly
        // includes every boundary pixel: close, not equal.
        EXPECT_GT(iou(as_mat(mask.get()), reference), 0.93) << "trial " << trial;
    }
}

TEST(ScanFill, PolygonReachingOutsideTheImageIsClippedToIt)
{
    // The same disc drawn on a large canvas and on an image that cuts it.
    Points outline;
    for (int k = 0; k < 40; k++) {
        double angle = 2 * M_PI * k / 40;
        outline.emplace_back(std::trunc(25 + 40 * std::sin(angle)), std::trunc(-5 + 40 * std::cos(angle)));
    }
    OwnedList region = make_list(outline);
    ImagePtr cut(computeBinImage(region.get(), 50, 60));
    ASSERT_TRUE(cut);
    OwnedList shifted = make_list([&] {
        Points p = outline;
        for (auto &pt : p) {
            pt.first += 100;
            pt.second += 100;
        }
        return p;
    }());
    ImagePtr whole(computeBinImage(shifted.get(), 250, 250));
    const cv::Mat inside = as_mat(whole.get())(cv::Rect(100, 100, 60, 50));
    EXPECT_GT(iou(as_mat(cut.get()), inside), 0.97);

    OwnedList far_away = make_list({ { -500, -500 }, { -400, -500 }, { -400, -400 } });
    ImagePtr empty(computeBinImage(far_away.get(), 20, 20));
    EXPECT_EQ(cv::countNonZero(as_mat(empty.get())), 0);
}

} // namespace
