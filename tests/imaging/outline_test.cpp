// Outline building, chain filtering and overlap resolution, and the whole
// edge pipeline on synthetic discs.
#include "test_support.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <cmath>

namespace {

using Points = std::vector<std::pair<double, double>>;

// Boundary pixels of a rectangle of rows 0..h and columns 0..w, in order.
Points rectangle_chain(int h, int w)
{
    Points p;
    for (int c = 0; c <= w; c++) p.emplace_back(0, c);
    for (int r = 1; r <= h; r++) p.emplace_back(r, w);
    for (int c = w - 1; c >= 0; c--) p.emplace_back(h, c);
    for (int r = h - 1; r >= 1; r--) p.emplace_back(r, 0);
    return p;
}

Points circle(double row, double col, double radius, int n)
{
    Points p;
    for (int k = 0; k < n; k++) {
        double a = 2 * M_PI * k / n;
        p.emplace_back(std::round(row + radius * std::sin(a)), std::round(col + radius * std::cos(a)));
    }
    return p;
}

TEST(OutlineBuilder, PointOnSegmentIsMeasuredFromItsFirstEnd)
{
    struct Case {
        double x1, y1, x2, y2, d, x, y;
    };
    const Case cases[] = { { 0, 0, 10, 0, 4, 4, 0 }, { 10, 0, 0, 0, 4, 6, 0 }, { 0, 10, 0, 0, 3, 0, 7 },
                           { 0, 0, 6, 8, 5, 3, 4 },  { 6, 8, 0, 0, 5, 3, 4 } };
    for (const Case &c : cases) {
        double x, y;
        compute_point_on_line(c.y1 - c.y2, c.x2 - c.x1, c.d, c.x1, c.y1, c.x2, c.y2, &x, &y);
        EXPECT_NEAR(x, c.x, 1e-12);
        EXPECT_NEAR(y, c.y, 1e-12);
    }
}

TEST(OutlineBuilder, LongHullSidesStepInToTheChain)
{
    // Hull sides 50 and 25 with gap 10 (minimum diameter 30): 4 points on
    // each long side, 1 on each short one, at 12.5 from its start.
    OwnedList chain = make_list(rectangle_chain(25, 50));
    OwnedList outline(edgeSortedFiltered(chain.get(), 1.4, 30, 100, 0, 1));
    ASSERT_TRUE(outline);
    const Points p = points_of(outline.get());
    ASSERT_EQ(p.size(), 14u);
    EXPECT_EQ(p[0], std::make_pair(0.0, 50.0));
    EXPECT_EQ(p[1], std::make_pair(0.0, 40.0));
    EXPECT_EQ(p[4], std::make_pair(0.0, 10.0));
    EXPECT_EQ(p[5], std::make_pair(0.0, 0.0));
    EXPECT_EQ(p[6].second, 0.0);
    EXPECT_TRUE(p[6].first == 12 || p[6].first == 13);
    EXPECT_EQ(p[7], std::make_pair(25.0, 0.0));
}

TEST(OutlineBuilder, RejectionsByRoundnessAndDiameter)
{
    OwnedList wide = make_list(rectangle_chain(25, 120));
    EXPECT_EQ(edgeSortedFiltered(wide.get(), 10.0, 5, 100, 0, 0), nullptr);
    OwnedList oblong = make_list(rectangle_chain(25, 50));
    EXPECT_EQ(edgeSortedFiltered(oblong.get(), 1.4, 5, 100, 1, 0), nullptr);
    EXPECT_EQ(edgeSortedFiltered(oblong.get(), 1.4, 60, 100, 0, 1), nullptr);
    OwnedList kept(edgeSortedFiltered(oblong.get(), 1.4, 60, 100, 0, 0));
    EXPECT_TRUE(kept);
}

TEST(OutlineBuilder, OutputGrowsPastTheChainLength)
{
    // A hull with long sides and few chain points near them asks for more
    // points than the chain has.
    Points chain = { { 0, 0 }, { 0, 200 }, { 200, 200 }, { 200, 0 } };
    for (int k = 0; k < 4; k++) {
        chain.emplace_back(0, 20 + 40 * k);
    }
    OwnedList in = make_list(chain);
    OwnedList hull(calc_2d_convex_hull(in.get()), in->num_pts + 1);
    OwnedList outline(edge_approach2(in.get(), hull.get()));
    ASSERT_TRUE(outline);
    EXPECT_GT(outline->num_pts, in->num_pts + 1);
}

struct Overlap {
    PointList **lists = nullptr;
    int count = 0;
    ~Overlap() { free_chains(lists, count); }
};

void resolve(const std::vector<const OwnedList *> &outlines, Overlap &out)
{
    std::vector<PointList *> in;
    for (const OwnedList *o : outlines) {
        in.push_back(o->get());
    }
    out.lists = computeOverlappingTest(in.data(), static_cast<int>(in.size()), 300, 300, &out.count);
}

TEST(OverlapResolution, NestedAndDuplicatedOutlinesKeepTheOuterOne)
{
    OwnedList big = make_list(circle(100, 100, 40, 40));
    OwnedList twin = make_list(circle(100, 100, 40, 40));
    OwnedList small = make_list(circle(100, 70, 15, 20));
    OwnedList apart = make_list(circle(250, 250, 20, 20));
    {
        Overlap o;
        resolve({ &big }, o);
        ASSERT_EQ(o.count, 1);
        EXPECT_EQ(points_of(o.lists[0]), points_of(big.get()));
    }
    {
        Overlap o;
        resolve({ &big, &twin }, o);
        EXPECT_EQ(o.count, 1);
    }
    for (auto order : { std::vector<const OwnedList *>{ &small, &big, &apart },
                        std::vector<const OwnedList *>{ &big, &small, &apart } }) {
        Overlap o;
        resolve(order, o);
        ASSERT_EQ(o.count, 2);
        EXPECT_EQ(points_of(o.lists[0]), points_of(big.get()));
        EXPECT_EQ(points_of(o.lists[1]), points_of(apart.get()));
    }
}

TEST(OverlapResolution, GroupsHaveNoSizeLimit)
{
    // 60 copies of one outline form one group: one copy comes back.
    std::vector<OwnedList> copies;
    for (int k = 0; k < 60; k++) {
        copies.push_back(make_list(circle(100, 100, 30, 30)));
    }
    std::vector<const OwnedList *> all;
    for (const OwnedList &c : copies) {
        all.push_back(&c);
    }
    Overlap o;
    resolve(all, o);
    EXPECT_EQ(o.count, 1);
}

TEST(OverlapResolution, PartlyOverlappingOutlinesAreMergedOrThinned)
{
    OwnedList left = make_list(circle(100, 100, 30, 12));
    OwnedList right = make_list(circle(100, 130, 30, 12));
    Overlap o;
    resolve({ &left, &right }, o);
    ASSERT_EQ(o.count, 1);
    EXPECT_EQ(o.lists[0]->type, GEN_VALID);
}

// The whole search on discs of known radii: every disc has an outline whose
// points lie on its circle, and the output is pinned against drift.
TEST(EdgePipeline, DiscsGiveRoundOutlinesOnTheirCircles)
{
    struct Disc {
        int row, col, radius;
    };
    const Disc discs[] = { { 60, 60, 30 }, { 80, 170, 22 }, { 150, 110, 18 } };
    cv::Mat m(200, 240, CV_8UC1, cv::Scalar(60));
    for (const Disc &d : discs) {
        cv::circle(m, { d.col, d.row }, d.radius, cv::Scalar(180), cv::FILLED, cv::LINE_AA);
    }
    cv::GaussianBlur(m, m, { 0, 0 }, 1.0);
    ImagePtr img(alloc_img(PIX_GRAY, m.rows, m.cols));
    std::copy(m.data, m.data + m.total(), img->data_1d.byte_data);

    int count = 0;
    double low[] = { 0.4 }, high[] = { 0.6 };
    testing::internal::CaptureStdout();
    PointList **chains = detect_edge_multiscalar_canny_sigma(img.get(), 2.0, &count, 10, 1, low, high);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Hysteresis thresholds. Rates[0.40, 0.60]. Low=18.40 and High=46.00\n");
    std::vector<OwnedList> outlines;
    for (int i = 0; i < count; i++) {
        PointList *outline = edgeSortedFiltered(chains[i], 1.4, 10, 100, 1, 1);
        if (outline != nullptr) {
            outlines.emplace_back(outline);
        }
    }
    free_chains(chains, count);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(outlines.size(), 3u);
    for (const Disc &d : discs) {
        bool found = false;
        for (const OwnedList &o : outlines) {
            bool on_circle = true;
            for (auto [r, c] : points_of(o.get())) {
                on_circle = on_circle && std::abs(std::hypot(r - d.row, c - d.col) - d.radius) < 1.5;
            }
            found = found || on_circle;
        }
        EXPECT_TRUE(found) << "disc at " << d.row << "," << d.col;
    }
}

} // namespace
