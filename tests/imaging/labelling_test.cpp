// Connected components with hysteresis on raw buffers, against
// cv::connectedComponents in 2-D and a direct flood fill in 3-D.
#include "test_support.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <cstdlib>
#include <map>
#include <queue>
#include <random>

namespace {

struct Volume {
    int dims[3];
    std::vector<float> values;
    size_t size() const { return values.size(); }
};

Volume random_volume(int x, int y, int z, unsigned seed)
{
    Volume v{ { x, y, z }, std::vector<float>(size_t(x) * y * z) };
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> uniform(0.0f, 1.0f);
    for (float &f : v.values) {
        f = uniform(rng);
    }
    return v;
}

bool neighbours(int connectivity, int dx, int dy, int dz)
{
    const int nonzero = (dx != 0) + (dy != 0) + (dz != 0);
    switch (connectivity) {
    case 4: return dz == 0 && nonzero == 1;
    case 6: return nonzero == 1;
    case 8: return dz == 0;
    case 10: return dz == 0 || nonzero == 1;
    case 18: return nonzero <= 2;
    default: return true;
    }
}

// Components of the points at least low, by breadth-first flood fill; those
// without a point at least high get 0. Labels are arbitrary.
std::vector<int> reference_labels(const Volume &v, int connectivity, double low, double high)
{
    const int X = v.dims[0], Y = v.dims[1], Z = v.dims[2];
    std::vector<int> labels(v.size(), 0);
    int next = 0;
    for (size_t start = 0; start < v.size(); start++) {
        if (labels[start] != 0 || v.values[start] < low) continue;
        std::vector<size_t> members{ start };
        labels[start] = ++next;
        bool reaches_high = false;
        for (size_t k = 0; k < members.size(); k++) {
            const size_t i = members[k];
            reaches_high |= v.values[i] >= high;
            const int x = int(i % X), y = int(i / X % Y), z = int(i / (size_t(X) * Y));
            for (int dz = -1; dz <= 1; dz++)
                for (int dy = -1; dy <= 1; dy++)
                    for (int dx = -1; dx <= 1; dx++) {
                        const int nx = x + dx, ny = y + dy, nz = z + dz;
                        if ((dx | dy | dz) == 0 || !neighbours(connectivity, dx, dy, dz) || nx < 0 || ny < 0 ||
                            nz < 0 || nx >= X || ny >= Y || nz >= Z)
                            continue;
                        const size_t j = (size_t(nz) * Y + ny) * X + nx;
                        if (labels[j] == 0 && v.values[j] >= low) {
                            labels[j] = next;
                            members.push_back(j);
                        }
                    }
        }
        if (!reaches_high) {
            for (size_t i : members) labels[i] = -1;
        }
    }
    for (int &l : labels) l = std::max(l, 0);
    return labels;
}

// Whether two labellings split the points the same way.
bool same_partition(const std::vector<int> &a, const std::vector<int> &b)
{
    std::map<int, int> a_to_b, b_to_a;
    for (size_t i = 0; i < a.size(); i++) {
        if ((a[i] == 0) != (b[i] == 0)) return false;
        if (a[i] == 0) continue;
        if (a_to_b.emplace(a[i], b[i]).first->second != b[i] || b_to_a.emplace(b[i], a[i]).first->second != a[i])
            return false;
    }
    return true;
}

TEST(Hysteresis, ComponentsMatchAFloodFillInTwoAndThreeDimensions)
{
    struct Case {
        int connectivity, x, y, z;
        double low, high;
    };
    const Case cases[] = {
        { 4, 40, 30, 1, 0.45, 0.97 }, { 8, 40, 30, 1, 0.55, 0.97 },  { 6, 14, 12, 9, 0.6, 0.97 },
        { 10, 14, 12, 9, 0.65, 0.97 }, { 18, 14, 12, 9, 0.82, 0.97 }, { 26, 14, 12, 9, 0.86, 0.97 },
    };
    for (const Case &c : cases) {
        const Volume v = random_volume(c.x, c.y, c.z, 100 + c.connectivity);
        std::vector<int> ours(v.size(), -1);
        const int kept = HysteresisThresholdingWithAllParams(v.values.data(), FLOAT, ours.data(), INT, v.dims, c.low,
                                                             c.high, c.connectivity, 1, 1, 0, 0);
        const std::vector<int> theirs = reference_labels(v, c.connectivity, c.low, c.high);
        EXPECT_TRUE(same_partition(ours, theirs)) << "connectivity " << c.connectivity;
        EXPECT_EQ(kept, *std::max_element(ours.begin(), ours.end())) << c.connectivity;
        EXPECT_GT(kept, 1) << c.connectivity;
        // Labels run by decreasing size.
        std::vector<int> sizes(kept + 1, 0);
        for (int l : ours) sizes[l]++;
        EXPECT_TRUE(std::is_sorted(sizes.begin() + 1, sizes.end(), std::greater<int>())) << c.connectivity;
    }
}

// A million points of noise: a point starts a provisional label when none
// of its visited neighbours is set, about 125000 times at density 0.5 with
// 4-connectivity and 72000 times at density 0.3 with 8-connectivity, more
// than the first equivalence array holds, so labels are renumbered and the
// array grows.
TEST(Hysteresis, LargeBuffersAgreeWithConnectedComponents)
{
    cv::Mat noise(1000, 1000, CV_32F);
    cv::RNG(7).fill(noise, cv::RNG::UNIFORM, 0.0f, 1.0f);
    const int dims[3] = { 1000, 1000, 1 };
    for (int connectivity : { 4, 8 }) {
        const double low = connectivity == 4 ? 0.5 : 0.7, high = 0.99;
        cv::Mat ours(1000, 1000, CV_8U);
        const int kept = HysteresisThresholdingWithAllParams(noise.ptr<float>(), FLOAT, ours.data, UCHAR, dims, low,
                                                             high, connectivity, 1, 1, 0, 1);
        cv::Mat labels;
        const int found = cv::connectedComponents(noise >= low, labels, connectivity, CV_32S);
        EXPECT_GT(found, 30000) << "the fixture must produce many components";
        std::vector<char> keep(found, 0);
        for (int r = 0; r < noise.rows; r++)
            for (int c = 0; c < noise.cols; c++)
                if (noise.at<float>(r, c) >= high) keep[labels.at<int>(r, c)] = 1;
        cv::Mat expected(noise.size(), CV_8U);
        for (int r = 0; r < noise.rows; r++)
            for (int c = 0; c < noise.cols; c++) expected.at<uchar>(r, c) = keep[labels.at<int>(r, c)];
        EXPECT_EQ(cv::countNonZero(ours != expected), 0) << connectivity;
        EXPECT_EQ(kept, std::count(keep.begin() + 1, keep.end(), 1)) << connectivity;

        if (connectivity == 8) {
            // The defaults: connectivity 26, which a 2-D buffer takes as 8.
            cv::Mat by_default(1000, 1000, CV_8U);
            EXPECT_EQ(HysteresisThresholding(noise.ptr<float>(), FLOAT, by_default.data, UCHAR, dims, low, high), kept);
            EXPECT_EQ(cv::countNonZero(by_default != ours), 0);
        }
    }
}

TEST(Hysteresis, SizeLimitsCountLimitAndSharedLabels)
{
    // Rows of blobs of 1 to 12 points, every point above both thresholds.
    cv::Mat img = cv::Mat::zeros(24, 40, CV_8U);
    for (int n = 1; n <= 12; n++) {
        img(cv::Rect(1, 2 * n - 1, n, 1)).setTo(200);
    }
    const int dims[3] = { 40, 24, 1 };
    std::vector<int> out(img.total());
    EXPECT_EQ(HysteresisThresholdingWithAllParams(img.data, UCHAR, out.data(), INT, dims, 100, 150, 8, 5, 1, 0, 0), 8);
    EXPECT_EQ(std::count(out.begin(), out.end(), 1), 12); // the largest first
    EXPECT_EQ(HysteresisThresholdingWithAllParams(img.data, UCHAR, out.data(), INT, dims, 100, 150, 8, 1, 1, 3, 0), 3);
    EXPECT_EQ(std::count_if(out.begin(), out.end(), [](int v) { return v != 0; }), 12 + 11 + 10);
    // At least 10 points above the high threshold.
    EXPECT_EQ(HysteresisThresholdingWithAllParams(img.data, UCHAR, out.data(), INT, dims, 100, 150, 8, 1, 10, 0, 1), 3);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 1);

    // 300 isolated points cannot all have their own label in a signed byte.
    cv::Mat dots = cv::Mat::zeros(30, 20, CV_8U);
    for (int r = 0; r < 30; r += 2)
        for (int c = 0; c < 20; c += 1) dots.at<uchar>(r, c) = (c % 2 == 0) ? 255 : 0;
    const int dot_dims[3] = { 20, 30, 1 };
    std::vector<signed char> small(dots.total());
    testing::internal::CaptureStderr();
    EXPECT_EQ(HysteresisThresholdingWithAllParams(dots.data, UCHAR, small.data(), SCHAR, dot_dims, 1, 1, 4, 1, 1, 0, 0),
              150);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "RelabelConnectedComponents: 150 components for at most 127 labels, labels are shared\n");
    EXPECT_EQ(*std::max_element(small.begin(), small.end()), 127);

    testing::internal::CaptureStderr();
    EXPECT_EQ(HysteresisThresholding(nullptr, UCHAR, small.data(), SCHAR, dot_dims, 1, 2), -1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "HysteresisThresholdingWithAllParams: NULL buffer(s) or dimensions\n");
}

TEST(Hysteresis, ConnectivitySettings)
{
    struct Case {
        int connectivity, dimz, evaluated, offsets;
    };
    const Case cases[] = {
        { 6, 1, 4, 3 },  { 4, 1, 4, 2 },  { 7, 5, 26, 0 }, { 10, 1, 8, 5 },
        { 18, 3, 18, 9 }, { 26, 3, 26, 13 }, { 8, 2, 8, 4 }, { 26, 1, 8, 13 },
    };
    for (const Case &c : cases) {
        EXPECT_EQ(CheckAndEvaluateConnectivity(c.connectivity, c.dimz), c.evaluated) << c.connectivity;
        int offsets[13][3];
        EXPECT_EQ(InitNeighborsOffsets(offsets, c.connectivity), c.offsets) << c.connectivity;
    }
    typeConnectedComponent tab[6] = {};
    const int sizes[6] = { 3, 9, 1, 9, 4, 7 };
    for (int i = 0; i < 6; i++) tab[i].pointsAboveLowThreshold = sizes[i];
    SortConnectedComponents(tab, 0, 5);
    for (int i = 0; i < 5; i++) EXPECT_GE(tab[i].pointsAboveLowThreshold, tab[i + 1].pointsAboveLowThreshold);
}

} // namespace
