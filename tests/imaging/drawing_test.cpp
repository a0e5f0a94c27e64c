// Bresenham lines, bounding boxes and the seed fill, against cv::line and
// cv::floodFill on small images made here.
#include "test_support.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <functional>

namespace {

cv::Mat view(const Image *img) { return cv::Mat(img->num_rows, img->num_cols, CV_8U, img->data_1d.byte_data); }

cv::Mat labels_view(const Image *img) { return cv::Mat(img->num_rows, img->num_cols, CV_32S, img->data_1d.int_data); }

TEST(DrawLine, SamePixelsAsOpenCvEightConnectedLines)
{
    struct Case {
        cv::Point from, to;
    };
    // Every octant, both directions, the axes, a single point, and lines
    // with fractional ends (truncated).
    const Case cases[] = {
        { { 2, 3 }, { 27, 9 } },  { { 27, 9 }, { 2, 3 } },   { { 5, 2 }, { 11, 28 } }, { { 11, 28 }, { 5, 2 } },
        { { 3, 25 }, { 28, 17 } }, { { 28, 17 }, { 3, 25 } }, { { 20, 1 }, { 9, 27 } },  { { 0, 0 }, { 29, 29 } },
        { { 4, 14 }, { 25, 14 } }, { { 14, 4 }, { 14, 25 } }, { { 7, 7 }, { 7, 7 } },    { { 1, 29 }, { 29, 1 } },
    };
    for (const Case &c : cases) {
        ImagePtr img(alloc_img(PIX_BIN, 30, 30));
        const PointFourier p1 = { c.from.y + 0.7, c.from.x + 0.2 }, p2 = { c.to.y + 0.9, c.to.x + 0.5 };
        draw_line(&p1, &p2, 1, img.get());
        cv::Mat reference = cv::Mat::zeros(30, 30, CV_8U);
        cv::line(reference, c.from, c.to, 1, 1, cv::LINE_8);
        EXPECT_EQ(cv::countNonZero(view(img.get()) != reference), 0) << c.from << " to " << c.to;
    }

    // A label image takes any value; the part of a line outside the image
    // is skipped, leaving inside what the same line draws in a larger image.
    ImagePtr labels(alloc_img(PIX_INT_1B, 10, 10));
    ImagePtr wide(alloc_img(PIX_INT_1B, 50, 50));
    labels->num_cc = wide->num_cc = 1;
    const PointFourier outside = { -6, -2 }, inside = { 14, 12 };
    const PointFourier outside_shifted = { 14, 18 }, inside_shifted = { 34, 32 };
    draw_line(&outside, &inside, -7, labels.get());
    draw_line(&outside_shifted, &inside_shifted, -7, wide.get());
    const cv::Mat window = labels_view(wide.get())(cv::Rect(20, 20, 10, 10));
    EXPECT_EQ(cv::countNonZero(labels_view(labels.get()) != window), 0);
    EXPECT_GT(cv::countNonZero(window), 0);
}

// Closed outlines drawn with label 1, filled from a seed inside.
TEST(SeedFill, FillsWhatFourConnectedFloodFillReaches)
{
    struct Case {
        const char *name;
        std::vector<cv::Point> outline;
        cv::Point seed;
    };
    const Case cases[] = {
        { "square", { { 2, 2 }, { 20, 2 }, { 20, 20 }, { 2, 20 } }, { 10, 10 } },
        { "concave", { { 2, 2 }, { 35, 4 }, { 12, 14 }, { 36, 30 }, { 3, 33 } }, { 5, 10 } },
        { "thin diagonal", { { 1, 1 }, { 38, 30 }, { 30, 38 } }, { 30, 30 } },
        { "seed on outline", { { 2, 2 }, { 20, 2 }, { 20, 20 } }, { 2, 2 } },
    };
    for (const Case &c : cases) {
        ImagePtr img(alloc_img(PIX_BIN, 40, 40));
        for (size_t i = 0; i < c.outline.size(); i++) {
            const cv::Point a = c.outline[i], b = c.outline[(i + 1) % c.outline.size()];
            const PointFourier p1 = { double(a.y), double(a.x) }, p2 = { double(b.y), double(b.x) };
            draw_line(&p1, &p2, 1, img.get());
        }
        cv::Mat reference = view(img.get()).clone();
        cv::floodFill(reference, c.seed, 1, nullptr, 0, 0, 4);
        fill_region(c.seed.y, c.seed.x, 1, img.get());
        EXPECT_EQ(cv::countNonZero(view(img.get()) != reference), 0) << c.name;
    }
}

// A comb of one-pixel teeth hanging from an open first row: when the fill
// crosses that row it queues one span per gap between teeth, twice as many
// as a fixed stack of 10000 segments would hold.
TEST(SeedFill, RaggedRegionsNeedAsManySegmentsAsTheyHave)
{
    const int rows = 4, cols = 40001;
    ImagePtr img(alloc_img(PIX_INT_1B, rows, cols));
    img->num_cc = 2;
    cv::Mat labels = labels_view(img.get());
    for (int c = 1; c < cols; c += 2) {
        labels(cv::Rect(c, 1, 1, rows - 1)).setTo(2);
    }
    labels.row(0).setTo(0);
    cv::Mat reference = labels.clone();
    cv::floodFill(reference, cv::Point(20000, 2), 5, nullptr, 0, 0, 4);
    const Box whole = { 0, rows - 1, 0, cols - 1 };
    seed_fill(&whole, 5, 2, 20000, img.get());
    EXPECT_EQ(cv::countNonZero(labels != reference), 0);
    EXPECT_EQ(cv::countNonZero(labels == 5), cv::countNonZero(reference == 5));
    EXPECT_EQ(cv::countNonZero(labels == 5), cols + (rows - 1) * (cols / 2 + 1));

    // A box reaching past the image is cut to it; a seed outside changes nothing.
    const Box beyond = { -5, rows + 5, -5, cols + 5 };
    seed_fill(&beyond, 7, 0, 0, img.get());
    EXPECT_EQ(cv::countNonZero(labels == 7), cv::countNonZero(reference == 5));
    const Box small = { 0, 2, 10, 20 };
    seed_fill(&small, 9, 3, 50, img.get());
    EXPECT_EQ(cv::countNonZero(labels == 9), 0);
}

TEST(SeedFill, BoxesAndRefusedArguments)
{
    ImagePtr img(alloc_img(PIX_BIN, 8, 9));
    img->data_nd.byte_data_1b[2][3] = 1;
    img->data_nd.byte_data_1b[6][7] = 1;
    Box *box = calc_box(img.get(), 1);
    EXPECT_EQ(box->min_row, 2);
    EXPECT_EQ(box->max_row, 6);
    EXPECT_EQ(box->min_col, 3);
    EXPECT_EQ(box->max_col, 7);
    free_box(box);

    ImagePtr gray(alloc_img(PIX_GRAY, 2, 2));
    const PointFourier p = { 0, 0 };
    struct Refused {
        std::function<void()> call;
        const char *message;
    };
    const Refused refused[] = {
        { [&] { calc_box(img.get(), 3); }, "Error in calc_box: No pixel with label ( 3 ) found !\n" },
        { [&] { fill_region(-1, 2, 1, img.get()); },
          "Error in fill_region: Seed coordinates ( -1, 2 ) must be non-negative !\n" },
        { [&] { fill_region(1, 2, 0, img.get()); }, "Error in fill_region: Label ( 0 ) must be positive !\n" },
        { [&] { fill_region(1, 2, 1, gray.get()); }, "Error in fill_region: Not a binary or label image !\n" },
        { [&] { draw_line(&p, &p, -1, img.get()); }, "Error in draw_line: Pixel value ( -1 ) must be non-negative !\n" },
        { [&] { draw_line(&p, &p, 1, gray.get()); }, "Error in draw_line: Not a binary or label image !\n" },
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

} // namespace
