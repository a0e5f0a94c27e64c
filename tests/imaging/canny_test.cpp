// Thresholds, linking and hysteresis of the Canny stage; suppression and
// hysteresis against OpenCV's Canny given the same gradients.
#include "img_size.h"
#include "test_support.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

ImagePtr gray_image(const cv::Mat &m)
{
    ImagePtr img(alloc_img(PIX_GRAY, m.rows, m.cols));
    for (int r = 0; r < m.rows; r++) {
        std::copy(m.ptr<unsigned char>(r), m.ptr<unsigned char>(r) + m.cols, img->data_nd.byte_data_1b[r]);
    }
    return img;
}

// Discs on a background, blurred and noised with a fixed seed.
cv::Mat discs_image()
{
    cv::Mat m(200, 240, CV_8UC1, cv::Scalar(60));
    cv::circle(m, { 60, 60 }, 30, cv::Scalar(180), cv::FILLED, cv::LINE_AA);
    cv::circle(m, { 170, 80 }, 22, cv::Scalar(150), cv::FILLED, cv::LINE_AA);
    cv::circle(m, { 110, 150 }, 18, cv::Scalar(200), cv::FILLED, cv::LINE_AA);
    cv::GaussianBlur(m, m, { 0, 0 }, 1.0);
    cv::Mat noise(m.size(), CV_16SC1);
    cv::RNG rng(42);
    rng.fill(noise, cv::RNG::NORMAL, 0, 4);
    cv::Mat sum;
    cv::add(m, noise, sum, cv::noArray(), CV_8UC1);
    return sum;
}

struct Detection {
    PointList **chains = nullptr;
    int count = 0;
    ~Detection() { free_chains(chains, count); }
};

void detect(const Image *img, double sigma, int min_size, std::vector<double> low, std::vector<double> high,
            Detection &out)
{
    testing::internal::CaptureStdout();
    out.chains = detect_edge_multiscalar_canny_sigma(img, sigma, &out.count, min_size, static_cast<int>(low.size()),
                                                     low.data(), high.data());
    testing::internal::GetCapturedStdout();
}

TEST(HysteresisThresholds, QuantileRuleOnTheModulusHistogram)
{
    // 30 % of the counted moduli round to 1, 70 % to 2; moduli below 0.5 do
    // not count.
    std::vector<float> moduli;
    moduli.insert(moduli.end(), 30, 1.2f);
    moduli.insert(moduli.end(), 70, 1.6f);
    moduli.insert(moduli.end(), 50, 0.4f);
    struct Case {
        double low_rate, high_rate, low, high;
    };
    const Case cases[] = { { 0.4, 0.6, 0.4, 1.0 }, { 0.4, 0.0, 0.0, 0.0 }, { 0.4, 1.5, 0.0, 255.0 },
                           { 0.5, 0.3, 0.0, 0.0 }, { 0.5, 0.31, 0.5, 1.0 } };
    for (const Case &c : cases) {
        double low, high;
        calc_hysteresis_thresholds(moduli.data(), static_cast<long>(moduli.size()), c.low_rate, c.high_rate, &low,
                                   &high);
        EXPECT_DOUBLE_EQ(low, c.low) << c.high_rate;
        EXPECT_DOUBLE_EQ(high, c.high) << c.high_rate;
    }
}

// Links of hand-placed edgels as (edgel, linked edgels newest first).
std::vector<std::vector<int>> links_of(const std::vector<std::pair<int, int>> &row_col, int num_rows)
{
    std::vector<int> col, rows(num_rows + 1, 0);
    for (auto [r, c] : row_col) {
        col.push_back(c);
    }
    for (int r = 0; r <= num_rows; r++) {
        int first = 0;
        while (first < static_cast<int>(row_col.size()) && row_col[first].first < r) {
            first++;
        }
        rows[r] = first;
    }
    EdgelLinks links;
    EXPECT_TRUE(alloc_edgel_links(&links, static_cast<int>(row_col.size())));
    EXPECT_TRUE(Link_edgelsOX(col.data(), rows.data(), &links, num_rows, 20));
    std::vector<std::vector<int>> result;
    for (size_t i = 0; i < row_col.size(); i++) {
        result.emplace_back();
        for (const osl_LINK *l = links.head[i]; l != nullptr; l = l->nextl) {
            result.back().push_back(l->to);
        }
    }
    free_edgel_links(&links);
    return result;
}

TEST(EdgelLinks, NeighboursAndOnePixelGaps)
{
    using Links = std::vector<std::vector<int>>;
    EXPECT_EQ(links_of({ { 0, 0 }, { 0, 1 } }, 1), (Links{ { 1 }, { 0 } }));
    EXPECT_EQ(links_of({ { 0, 5 }, { 1, 5 }, { 2, 5 } }, 3), (Links{ { 1 }, { 2, 0 }, { 1 } }));
    EXPECT_EQ(links_of({ { 0, 5 }, { 1, 6 }, { 2, 7 } }, 3), (Links{ { 1 }, { 2, 0 }, { 1 } }));
    EXPECT_EQ(links_of({ { 0, 5 }, { 1, 4 }, { 2, 3 } }, 3), (Links{ { 1 }, { 2, 0 }, { 1 } }));
    // A one-pixel gap in the last row is bridged ...
    EXPECT_EQ(links_of({ { 0, 3 }, { 0, 5 } }, 1), (Links{ { 1 }, { 0 } }));
    // ... but not when later rows hold edgels and the next row none from c - 1.
    EXPECT_EQ(links_of({ { 0, 3 }, { 0, 5 }, { 1, 0 } }, 2), (Links{ {}, {}, {} }));
}

TEST(CannyEdges, RefusesBadArgumentsWithTheirMessages)
{
    ImagePtr rgb(alloc_img(PIX_RGB, 10, 10));
    ImagePtr gray(alloc_img(PIX_GRAY, 10, 10));
    double rates[6] = { 0.4, 0.4, 0.4, 0.4, 0.4, 0.4 };
    int n = -1;
    EXPECT_STOPS(detect_edge_multiscalar_canny_sigma(rgb.get(), 2.0, &n, 5, 1, rates, rates),
                 "Error in detect_edge_multiscalar_canny_sigma: Not a grayscale image !");
    EXPECT_STOPS(detect_edge_multiscalar_canny_sigma(gray.get(), 0.05, &n, 5, 1, rates, rates),
                 "Sigma \\( 0.050000 \\) must be >= 0.1 !");
    // More pairs than the rate arrays hold are refused, not written past them.
    testing::internal::CaptureStderr();
    PointList **none = with_errors_returning(
        [&] { return detect_edge_multiscalar_canny_sigma(gray.get(), 2.0, &n, 5, 6, rates, rates); });
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(n, 0);
    // A flat image has no edgel.
    testing::internal::CaptureStdout();
    none = detect_edge_multiscalar_canny_sigma(gray.get(), 2.0, &n, 5, 1, rates, rates);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Edges after Non_Maximal_Supression: 0\n");
    EXPECT_EQ(none, nullptr);
}

// A picture too large for memory: the header of a grey image of 2^22 x 2^30
// pixels over a small block. The search's first allocation (its gradient
// planes) fails before any pixel is read; the search must report it and
// return, not end the program.
TEST(CannyEdges, PictureTooLargeForMemoryIsReportedAndReturns)
{
    std::vector<unsigned char> block(64, 0);
    Image huge = {};
    huge.type = PIX_GRAY;
    huge.num_bands = 1;
    huge.num_rows = 1 << 22;
    huge.num_cols = 1 << 30;
    huge.data_1d.byte_data = block.data();
    const double low[] = { 0.4 }, high[] = { 0.6 };

    testing::internal::CaptureStderr();
    PointList **chains = reinterpret_cast<PointList **>(&huge);
    int count = -1;
    EXPECT_EQ(canny_edge_search(&huge, 2.0, 5, 1, low, high, &chains, &count), 0);
    EXPECT_EQ(chains, nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(detect_edge_multiscalar_canny_sigma(&huge, 2.0, &count, 5, 1, low, high), nullptr);
    // An address sanitizer adds warnings of its own about the refused
    // allocations; only the library's lines are compared.
    std::istringstream printed(testing::internal::GetCapturedStderr());
    std::string line, library_lines;
    while (std::getline(printed, line)) {
        if (line.rfind("==", 0) != 0) {
            library_lines += line + "\n";
        }
    }
    EXPECT_EQ(library_lines, "Error in Extract_Gradient_Maxima_2D_zelvora: Insufficient memory !\n"
                             "Error in Extract_Gradient_Maxima_2D_zelvora: Insufficient memory !\n");

    // Refused arguments are failures too, told apart from a search that
    // found nothing.
    ImagePtr flat(alloc_img(PIX_GRAY, 10, 10));
    testing::internal::CaptureStderr();
    EXPECT_EQ(canny_edge_search(flat.get(), 0.05, 5, 1, low, high, &chains, &count), 0);
    testing::internal::GetCapturedStderr();
    testing::internal::CaptureStdout();
    EXPECT_EQ(canny_edge_search(flat.get(), 2.0, 5, 1, low, high, &chains, &count), 1);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(chains, nullptr);
    EXPECT_EQ(count, 0);
}

// Every allocation of a search made to fail in turn, the first to the last:
// each failing search reports it and returns nothing, without freeing a block
// twice or leaking one (the sanitizer build checks both), and the search after
// it finds the same chains as before.
TEST(CannyEdges, EachAllocationFailingInTurnIsReportedAndSurvived)
{
    ImagePtr img = gray_image(discs_image());
    const double low[] = { 0.4 }, high[] = { 0.6 };
    Detection reference;
    detect(img.get(), 2.0, 10, { 0.4 }, { 0.6 }, reference);
    ASSERT_GT(reference.count, 0);

    imaging_set_threads(1);
    long failed = 0;
    for (long nth = 1;; nth++) {
        PointList **chains = nullptr;
        int count = -1;
        imaging_fail_allocation(nth);
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int status = canny_edge_search(img.get(), 2.0, 10, 1, low, high, &chains, &count);
        testing::internal::GetCapturedStdout();
        const std::string printed = testing::internal::GetCapturedStderr();
        if (imaging_fail_allocation(0) > 0) {
            // The search made fewer allocations than nth: it ran whole.
            ASSERT_EQ(status, 1);
            free_chains(chains, count);
            break;
        }
        failed++;
        if (status == 0) {
            EXPECT_EQ(chains, nullptr) << "allocation " << nth;
            EXPECT_EQ(count, 0) << "allocation " << nth;
            EXPECT_NE(printed.find("Error in "), std::string::npos) << "allocation " << nth << ": " << printed;
        }
        free_chains(chains, status ? count : 0);
    }
    imaging_set_threads(0);
    EXPECT_GE(failed, 3);  // at least the gradient planes and the edgel lists

    Detection after;
    detect(img.get(), 2.0, 10, { 0.4 }, { 0.6 }, after);
    ASSERT_EQ(after.count, reference.count);
    for (int i = 0; i < after.count; i++) {
        EXPECT_EQ(points_of(after.chains[i]), points_of(reference.chains[i]));
    }
}

TEST(CannyEdges, ChainsOfEveryPairInPairOrderAndMinimumSize)
{
    ImagePtr img = gray_image(discs_image());
    Detection one, two, long_only;
    detect(img.get(), 2.0, 10, { 0.4 }, { 0.6 }, one);
    detect(img.get(), 2.0, 10, { 0.4, 0.4 }, { 0.6, 0.6 }, two);
    ASSERT_GT(one.count, 0);
    ASSERT_EQ(two.count, 2 * one.count);
    for (int i = 0; i < one.count; i++) {
        EXPECT_EQ(points_of(two.chains[i]), points_of(one.chains[i]));
        EXPECT_EQ(points_of(two.chains[one.count + i]), points_of(one.chains[i]));
        EXPECT_GE(one.chains[i]->num_pts, 10);
    }
    int shortest = one.chains[0]->num_pts;
    for (int i = 0; i < one.count; i++) {
        shortest = std::min(shortest, one.chains[i]->num_pts);
    }
    detect(img.get(), 2.0, shortest + 1, { 0.4 }, { 0.6 }, long_only);
    EXPECT_LT(long_only.count, one.count);
}

TEST(CannyEdges, ChainAsLongAsTheImageIsFollowedWithoutRecursion)
{
    // One straight edge 200,000 pixels long: a follower recursing once per
    // point would overflow the stack.
    cv::Mat m(16, 200000, CV_8UC1, cv::Scalar(0));
    m.rowRange(8, 16).setTo(200);
    ImagePtr img = gray_image(m);
    Detection d;
    detect(img.get(), 2.0, 10, { 0.4 }, { 0.6 }, d);
    ASSERT_EQ(d.count, 1);
    const PointList *chain = d.chains[0];
    ASSERT_EQ(chain->num_pts, 200000 - 2);
    for (int i = 0; i < chain->num_pts; i++) {
        ASSERT_EQ(chain->point[i]->col, i + 1);
        ASSERT_EQ(chain->point[i]->row, chain->point[0]->row);
    }
}

// Share of the pixels of a that have a pixel of b within one pixel.
double matched_share(const cv::Mat &a, const cv::Mat &b)
{
    cv::Mat near_b;
    cv::dilate(b, near_b, cv::Mat::ones(3, 3, CV_8U));
    cv::Mat both;
    cv::bitwise_and(a, near_b, both);
    return static_cast<double>(cv::countNonZero(both)) / std::max(1, cv::countNonZero(a));
}

TEST(CannyEdges, AgreesWithOpenCvCannyGivenTheSameGradients)
{
    const cv::Mat src = discs_image();
    ImagePtr img = gray_image(src);
    const double sigma = 2.0;

    // The gradients the library computes, handed to OpenCV scaled to 16 bits.
    const int dims[3] = { src.cols, src.rows, 1 };
    const int borders[3] = { 10, 10, 10 };
    const float coefs[3] = { 2, 2, 2 };
    const derivativeOrder along_x[3] = { DERIVATIVE_1_EDGES, SMOOTHING, NODERIVATIVE };
    const derivativeOrder along_y[3] = { SMOOTHING, DERIVATIVE_1_EDGES, NODERIVATIVE };
    cv::Mat gx(src.size(), CV_32F), gy(src.size(), CV_32F), modulus(src.size(), CV_32F);
    ASSERT_TRUE(RecursiveFilterOnBuffer(src.data, UCHAR, gx.data, FLOAT, dims, borders, along_x, coefs,
                                        GAUSSIAN_DERICHE));
    ASSERT_TRUE(RecursiveFilterOnBuffer(src.data, UCHAR, gy.data, FLOAT, dims, borders, along_y, coefs,
                                        GAUSSIAN_DERICHE));
    GradientModulus2D(modulus.ptr<float>(), gx.ptr<float>(), gy.ptr<float>(), static_cast<long>(src.total()));
    double low, high;
    calc_hysteresis_thresholds(modulus.ptr<float>(), static_cast<long>(src.total()), 0.4, 0.6, &low, &high);

    const double scale = 16.0;
    cv::Mat dx16, dy16, reference;
    gx.convertTo(dx16, CV_16S, scale);
    gy.convertTo(dy16, CV_16S, scale);
    cv::Canny(dx16, dy16, reference, low * scale, high * scale, true);

    Detection d;
    detect(img.get(), sigma, 1, { 0.4 }, { 0.6 }, d);
    cv::Mat ours(src.size(), CV_8U, cv::Scalar(0));
    for (int i = 0; i < d.count; i++) {
        for (int k = 0; k < d.chains[i]->num_pts; k++) {
            ours.at<unsigned char>(static_cast<int>(d.chains[i]->point[k]->row),
                                   static_cast<int>(d.chains[i]->point[k]->col)) = 255;
        }
    }
    // Not identical: OpenCV suppresses by direction sector without
    // interpolation and neither bridges one-pixel gaps nor keeps the
    // border rows; both must still find the same edges.
    const double precision = matched_share(ours, reference);
    const double recall = matched_share(reference, ours);
    EXPECT_GT(precision, 0.95);
    EXPECT_GT(recall, 0.95);
    EXPECT_GT(2 * precision * recall / (precision + recall), 0.95);
}

} // namespace
