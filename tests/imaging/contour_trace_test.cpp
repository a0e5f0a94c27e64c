// Contour tracing into chains: the documented small cases, the outer
// contours OpenCV finds on labelled blobs, and the error reports.
#include "test_support.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <climits>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>

namespace {

using Cells = std::set<std::pair<int, int>>;

// Owns a chain made by the library.
struct ChainRelease {
    void operator()(Chain *chain) const
    {
        free_chain(chain);
        std::free(chain);
    }
};
using ChainPtr = std::unique_ptr<Chain, ChainRelease>;

struct ChainListRelease {
    void operator()(ChainList *list) const
    {
        free_chain_list(list);
        std::free(list);
    }
};
using ChainListPtr = std::unique_ptr<ChainList, ChainListRelease>;

// A label image over a CV_32S matrix of labels 0 .. num_cc.
ImagePtr label_image(const cv::Mat &labels, int num_cc)
{
    ImagePtr img(alloc_img(PIX_INT_1B, labels.rows, labels.cols));
    for (int r = 0; r < labels.rows; r++) {
        for (int c = 0; c < labels.cols; c++) {
            img->data_nd.int_data_1b[r][c] = labels.at<int>(r, c);
        }
    }
    img->num_cc = num_cc;
    return img;
}

struct Entry {
    int row, col, dir;
    bool operator==(const Entry &o) const { return row == o.row && col == o.col && dir == o.dir; }
};

std::vector<Entry> entries_of(const Chain *chain)
{
    std::vector<Entry> entries;
    for (int i = 0; i < get_chain_len(chain); i++) {
        entries.push_back({ get_chain_rows(chain)[i], get_chain_cols(chain)[i], get_chain_dir(chain)[i] });
    }
    return entries;
}

TEST(TraceContour, DocumentedCasesGiveTheirEntriesAndDirections)
{
    struct Case {
        const char *name;
        cv::Rect block;
        int max_length;
        std::vector<Entry> expected;
        bool warns;
    };
    const Case cases[] = {
        { "single pixel", { 3, 2, 1, 1 }, 100, { { 2, 3, 4 } }, false },
        { "2x2 block", { 3, 2, 2, 2 }, 100, { { 2, 3, 4 }, { 3, 3, 6 }, { 3, 4, 0 }, { 2, 4, 2 }, { 2, 3, 4 } }, false },
        { "length cap", { 3, 2, 2, 2 }, 3, { { 2, 3, 4 }, { 3, 3, 6 }, { 3, 4, 0 } }, true },
        // The block in the image's corner: neighbours outside are not read.
        { "corner block", { 0, 0, 2, 2 }, 100, { { 0, 0, 4 }, { 1, 0, 6 }, { 1, 1, 0 }, { 0, 1, 2 }, { 0, 0, 4 } }, false },
    };
    for (const Case &c : cases) {
        cv::Mat labels = cv::Mat::zeros(6, 7, CV_32S);
        labels(c.block).setTo(1);
        ImagePtr img = label_image(labels, 1);
        testing::internal::CaptureStderr();
        ChainPtr chain(trace_contour(img.get(), 1, c.max_length));
        const std::string warning = testing::internal::GetCapturedStderr();
        ASSERT_TRUE(chain) << c.name;
        EXPECT_EQ(chain->type, GEN_VALID) << c.name;
        EXPECT_EQ(entries_of(chain.get()), c.expected) << c.name;
        EXPECT_EQ(warning, c.warns ? "Warning in trace_contour: Max contour length ( 3 ) reached. Terminating the trace.\n"
                                   : "")
            << c.name;
    }
}

// Every blob is drawn with its own label; each chain must visit exactly the
// pixels of the outer contour OpenCV finds for that blob alone, and each
// step must go in the direction it records.
TEST(TraceContour, ChainsVisitTheOuterContoursOpenCvFinds)
{
    cv::Mat labels = cv::Mat::zeros(60, 80, CV_32S);
    cv::ellipse(labels, { 15, 15 }, { 10, 6 }, 30, 0, 360, 1, cv::FILLED);
    cv::rectangle(labels, cv::Rect(40, 4, 12, 9), 2, cv::FILLED);
    const std::vector<cv::Point> star = { { 60, 30 }, { 66, 44 }, { 79, 46 }, { 68, 54 }, { 72, 59 }, { 58, 52 },
                                          { 46, 58 }, { 50, 46 }, { 42, 38 }, { 56, 40 } };
    cv::fillPoly(labels, std::vector<std::vector<cv::Point>>{ star }, 3);
    cv::line(labels, { 5, 40 }, { 30, 52 }, 4, 1, cv::LINE_8);
    cv::circle(labels, { 32, 30 }, 6, 5, cv::FILLED);
    cv::circle(labels, { 32, 30 }, 2, 0, cv::FILLED); // a hole: only the outer boundary counts
    const int num_cc = 5;
    ImagePtr img = label_image(labels, num_cc);

    ChainListPtr list(trace_contours(img.get(), 10000));
    ASSERT_TRUE(list);
    ASSERT_EQ(get_num_chains(list.get()), num_cc);
    cv::Mat all_contours = cv::Mat::zeros(labels.size(), CV_8U);
    for (int label = 1; label <= num_cc; label++) {
        cv::Mat mask = labels == label;
        std::vector<std::vector<cv::Point>> contours;
        cv::findContours(mask, contours, cv::RETR_EXTERNAL, cv::CHAIN_APPROX_NONE);
        ASSERT_EQ(contours.size(), 1u) << label;
        Cells theirs;
        for (const cv::Point &p : contours[0]) {
            theirs.insert({ p.y, p.x });
            all_contours.at<uchar>(p) = 1;
        }
        const Chain *chain = get_chain(list.get(), label - 1);
        const std::vector<Entry> entries = entries_of(chain);
        Cells ours;
        for (size_t i = 0; i < entries.size(); i++) {
            ours.insert({ entries[i].row, entries[i].col });
            if (i > 0) {
                static const int dr[8] = { 0, -1, -1, -1, 0, 1, 1, 1 }, dc[8] = { 1, 1, 0, -1, -1, -1, 0, 1 };
                EXPECT_EQ(entries[i].row - entries[i - 1].row, dr[entries[i].dir]) << label << " entry " << i;
                EXPECT_EQ(entries[i].col - entries[i - 1].col, dc[entries[i].dir]) << label << " entry " << i;
            }
        }
        EXPECT_EQ(ours, theirs) << "label " << label;
        EXPECT_EQ(std::make_pair(entries.front().row, entries.front().col),
                  std::make_pair(entries.back().row, entries.back().col))
            << "label " << label << " ends where it starts";

        OwnedList points(chain_to_point_list(chain));
        ASSERT_EQ(get_num_pts(points.get()), static_cast<int>(entries.size()));
        for (size_t i = 0; i < entries.size(); i++) {
            EXPECT_EQ(points->point[i]->row, entries[i].row);
            EXPECT_EQ(points->point[i]->col, entries[i].col);
        }
    }
    ImagePtr drawn(chain_list_to_img(list.get()));
    ASSERT_TRUE(drawn);
    EXPECT_TRUE(is_bin_img(drawn.get()));
    EXPECT_EQ(cv::countNonZero(cv::Mat(60, 80, CV_8U, drawn->data_1d.byte_data) != all_contours), 0);
}

TEST(TraceContour, ReleasedChainsAndListsAreInvalid)
{
    cv::Mat labels = cv::Mat::zeros(4, 4, CV_32S);
    labels.at<int>(1, 1) = 2; // label 1 has no pixel: its slot keeps an empty chain
    ImagePtr img = label_image(labels, 2);
    ChainList *list = with_errors_returning([&] {
        testing::internal::CaptureStderr();
        ChainList *traced = trace_contours(img.get(), 8);
        EXPECT_EQ(testing::internal::GetCapturedStderr(),
                  "Error in trace_contour: No object pixel with label ( 1 ) found !\n");
        return traced;
    });
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->chain[0]->length, INT_MIN);
    EXPECT_EQ(list->chain[1]->length, 1);
    ImagePtr drawn(chain_list_to_img(list));
    EXPECT_EQ(drawn->data_nd.byte_data_1b[1][1], 1);
    free_chain_list(list);
    EXPECT_EQ(list->type, GEN_INVALID);
    EXPECT_EQ(list->num_chains, INT_MIN);
    EXPECT_EQ(list->chain, nullptr);
    free_chain_list(list);
    std::free(list);

    Chain *chain = alloc_chain(5);
    EXPECT_EQ(chain->type, GEN_INVALID);
    EXPECT_EQ(chain->length, INT_MIN);
    free_chain(chain);
    EXPECT_EQ(chain->row, nullptr);
    std::free(chain);
}

TEST(TraceContour, ReportsFollowTheErrorConvention)
{
    cv::Mat labels = cv::Mat::zeros(3, 3, CV_32S);
    labels.at<int>(1, 1) = 1;
    ImagePtr img = label_image(labels, 1);
    ImagePtr gray(alloc_img(PIX_GRAY, 3, 3));
    ChainListPtr list(trace_contours(img.get(), 4));
    Chain empty = {};
    struct Case {
        std::function<void()> call;
        const char *message;
    };
    const Case cases[] = {
        { [&] { trace_contour(gray.get(), 1, 4); }, "Error in trace_contour: Not a label image !\n" },
        { [&] { trace_contour(img.get(), 0, 4); }, "Error in trace_contour: Label ( 0 ) must be positive !\n" },
        { [&] { trace_contour(img.get(), 1, 0); }, "Error in trace_contour: Max length ( 0 ) must be positive !\n" },
        { [&] { trace_contours(gray.get(), 4); }, "Error in trace_contours: Not a label image !\n" },
        { [&] { trace_contours(img.get(), -1); }, "Error in trace_contours: Max length ( -1 ) must be positive !\n" },
        { [&] { alloc_chain(0); }, "Error in alloc_chain: Max length ( 0 ) must be > 0 !\n" },
        { [&] { alloc_chain_list(0, 1, 1, 1); }, "Error in alloc_chain_list: Number of chains ( 0 ) must be positive !\n" },
        { [&] { alloc_chain_list(1, 0, 1, 1); }, "Error in alloc_chain_list: Max length ( 0 ) must be positive !\n" },
        { [&] { alloc_chain_list(1, 1, 0, 1); }, "Error in alloc_chain_list: Number of rows ( 0 ) must be positive !\n" },
        { [&] { alloc_chain_list(1, 1, 1, -3); }, "Error in alloc_chain_list: Number of cols ( -3 ) must be positive !\n" },
        { [&] { get_chain(list.get(), 1); },
          "Error in get_chain: Chain index ( 1 ) must be less than the number of chains in the list ( 1 ) !\n" },
        { [&] { get_chain(list.get(), -1); }, "Error in get_chain: Chain index ( -1 ) must be non-negative !\n" },
        { [&] { get_chain(nullptr, 0); }, "Error in get_chain: Invalid chain list object !\n" },
        { [&] { get_num_chains(nullptr); }, "Error in get_num_chains: Invalid chain list object !\n" },
        { [&] { chain_list_to_img(nullptr); }, "Error in chain_list_to_img: Invalid chain list object !\n" },
        { [&] { get_chain_len(&empty); }, "Error in get_chain_len: Invalid chain object !\n" },
        { [&] { get_chain_dir(&empty); }, "Error in get_chain_dir: Invalid chain object !\n" },
        { [&] { chain_to_point_list(nullptr); }, "Error in chain_to_point_list: Invalid chain code object !\n" },
    };
    for (const Case &c : cases) {
        testing::internal::CaptureStderr();
        with_errors_returning([&] {
            c.call();
            return 0;
        });
        EXPECT_EQ(testing::internal::GetCapturedStderr(), c.message);
    }
    EXPECT_STOPS(trace_contour(img.get(), 2, 4), "Error in trace_contour: No object pixel with label \\( 2 \\) found !");
}

} // namespace
