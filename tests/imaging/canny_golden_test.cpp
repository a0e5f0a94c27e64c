// Recorded output of the edge search on synthetic noisy discs: the chains
// (count, order, every point) and the edgel list of the gradient stage are
// reduced to checksums, so that any change to filtering, suppression,
// linking or following that alters a single bit of the result fails here.
// The pictures are built without OpenCV so that they do not depend on its
// version.
#include "test_support.h"

#include <gtest/gtest.h>

#include <sched.h>

#include <algorithm>
#include <thread>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <tuple>
#include <vector>

namespace {

// 64-bit FNV-1a over the bytes of the values fed to it.
class Checksum {
public:
    template <typename T> void add(T value)
    {
        unsigned char bytes[sizeof value];
        std::memcpy(bytes, &value, sizeof value);
        for (unsigned char b : bytes) {
            hash_ = (hash_ ^ b) * 0x100000001b3ull;
        }
    }
    uint64_t value() const { return hash_; }

private:
    uint64_t hash_ = 0xcbf29ce484222325ull;
};

struct Disc {
    int cx, cy, r, level;
};

// Discs of the given levels on a background of 60, softened by two 3x3 box
// passes (sums, divided by 81 at the end), with noise of the given amplitude from a fixed-seed generator
// (sum of four uniforms, roughly Gaussian).
ImagePtr noisy_discs(int rows, int cols, const std::vector<Disc> &discs, int noise, uint64_t seed)
{
    std::vector<int> plane(static_cast<size_t>(rows) * cols, 60);
    for (int y = 0; y < rows; y++) {
        for (int x = 0; x < cols; x++) {
            for (const Disc &d : discs) {
                if ((x - d.cx) * (x - d.cx) + (y - d.cy) * (y - d.cy) <= d.r * d.r) {
                    plane[static_cast<size_t>(y) * cols + x] = d.level;
                }
            }
        }
    }
    for (int pass = 0; pass < 2; pass++) {
        std::vector<int> blurred(plane.size());
        for (int y = 0; y < rows; y++) {
            for (int x = 0; x < cols; x++) {
                int sum = 0;
                for (int dy = -1; dy <= 1; dy++) {
                    for (int dx = -1; dx <= 1; dx++) {
                        int yy = std::clamp(y + dy, 0, rows - 1), xx = std::clamp(x + dx, 0, cols - 1);
                        sum += plane[static_cast<size_t>(yy) * cols + xx];
                    }
                }
                blurred[static_cast<size_t>(y) * cols + x] = sum;
            }
        }
        plane.swap(blurred);
    }
    ImagePtr img(alloc_img(PIX_GRAY, rows, cols));
    uint64_t state = seed;
    auto next = [&state] {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<int>(state >> 33);
    };
    for (int y = 0; y < rows; y++) {
        for (int x = 0; x < cols; x++) {
            int n = 0;
            for (int k = 0; k < 4; k++) {
                n += next() % (2 * noise + 1) - noise;
            }
            int v = plane[static_cast<size_t>(y) * cols + x] / 81 + n / 2;
            img->data_nd.byte_data_1b[y][x] = static_cast<unsigned char>(std::clamp(v, 0, 255));
        }
    }
    return img;
}

ImagePtr picture(int which)
{
    switch (which) {
    case 0:
        return noisy_discs(203, 251, { { 60, 60, 30, 180 }, { 170, 80, 22, 150 }, { 110, 150, 18, 200 } }, 6, 11);
    case 1:
        return noisy_discs(240, 317,
                           { { 80, 70, 45, 140 }, { 200, 60, 25, 90 }, { 250, 170, 40, 170 }, { 90, 180, 35, 100 },
                             { 160, 130, 12, 210 } },
                           14, 12345);
    default:
        // Faint discs in heavy noise: most maxima are noise, which exercises
        // gap links and long ragged chains.
        return noisy_discs(161, 197, { { 50, 50, 25, 80 }, { 140, 110, 35, 85 } }, 30, 777);
    }
}

// Checksum of the chains of one search with the three rate pairs, and their
// count. The search prints its thresholds: callers capture them.
std::pair<uint64_t, int> chains_checksum(const Image *img, double sigma)
{
    const double low[] = { 0.4, 0.55, 0.7 }, high[] = { 0.6, 0.75, 0.9 };
    int count = 0;
    PointList **chains = detect_edge_multiscalar_canny_sigma(img, sigma, &count, 1, 3, low, high);
    Checksum sum;
    sum.add(count);
    for (int i = 0; i < count; i++) {
        sum.add(chains[i]->num_pts);
        for (int k = 0; k < chains[i]->num_pts; k++) {
            sum.add(chains[i]->point[k]->row);
            sum.add(chains[i]->point[k]->col);
        }
    }
    free_chains(chains, count);
    return { sum.value(), count };
}

// Checksum of the edgel list (positions, derivatives, modulus, orientation)
// and of the suppressed plane, and the edgel count.
std::pair<uint64_t, unsigned> edgels_checksum(const Image *img, double sigma)
{
    const int rows = img->num_rows, cols = img->num_cols;
    const int dims[3] = { cols, rows, 1 };
    const int borders[3] = { 10, 10, 10 };
    const float sigmas[3] = { static_cast<float>(sigma), static_cast<float>(sigma), static_cast<float>(sigma) };
    std::vector<float> nms(static_cast<size_t>(rows) * cols);
    osl_edgel_chain *edgels = Extract_Gradient_Maxima_2D_zelvora(img->data_1d.byte_data, UCHAR, nms.data(), dims,
                                                                 borders, sigmas, GAUSSIAN_DERICHE);
    Checksum sum;
    for (float v : nms) {
        sum.add(v);
    }
    unsigned n = edgels != nullptr ? edgels->n : 0;
    for (unsigned i = 0; i < n; i++) {
        sum.add(edgels->x[i]);
        sum.add(edgels->y[i]);
        sum.add(edgels->dx[i]);
        sum.add(edgels->dy[i]);
        sum.add(edgels->grad[i]);
        sum.add(edgels->theta[i]);
    }
    free_osl_edgel_chain(edgels);
    return { sum.value(), n };
}

struct Recorded {
    int picture;
    double sigma;
    int chains;
    uint64_t chains_sum;
    unsigned edgels;
    uint64_t edgels_sum;
};

const Recorded recorded[] = {
    { 0, 2.0, 200, 0x9633a68cb84473b3ull, 11596, 0xf674d194a6e180b6ull },
    { 0, 4.0, 181, 0xa7d9f05be27364b2ull, 4330, 0x88130bb7889e37d6ull },
    { 1, 2.0, 272, 0xa9e8a2e2d81b8b34ull, 17650, 0x47f96f998939da4ull },
    { 1, 4.0, 256, 0x1d67a56bbbe4b66dull, 7552, 0x515e7eca9513c519ull },
    { 2, 2.0, 333, 0x72a35eedbd629bdaull, 7643, 0xdbb708757267a515ull },
    { 2, 4.0, 171, 0x917ccd3869c1eb1cull, 3607, 0xbc0f2f7aea167f99ull },
};

// What one recorded case gives when run now.
struct Result {
    int chains = 0;
    uint64_t chains_sum = 0;
    unsigned edgels = 0;
    uint64_t edgels_sum = 0;
};

Result run_case(const Recorded &r)
{
    ImagePtr img = picture(r.picture);
    Result out;
    std::tie(out.chains_sum, out.chains) = chains_checksum(img.get(), r.sigma);
    std::tie(out.edgels_sum, out.edgels) = edgels_checksum(img.get(), r.sigma);
    return out;
}

void expect_recorded(const Recorded &r, const Result &got)
{
    // On a deliberate change of the output, the failure shows the line to
    // record.
    char line[160];
    std::snprintf(line, sizeof line, "{ %d, %.1f, %d, 0x%llxull, %u, 0x%llxull }", r.picture, r.sigma, got.chains,
                  static_cast<unsigned long long>(got.chains_sum), got.edgels,
                  static_cast<unsigned long long>(got.edgels_sum));
    SCOPED_TRACE(line);
    EXPECT_EQ(got.chains, r.chains);
    EXPECT_EQ(got.chains_sum, r.chains_sum);
    EXPECT_EQ(got.edgels, r.edgels);
    EXPECT_EQ(got.edgels_sum, r.edgels_sum);
}

// Sets the library's thread count for one test.
class ThreadCount {
public:
    explicit ThreadCount(int threads) { imaging_set_threads(threads); }
    ~ThreadCount() { imaging_set_threads(0); }
};

// With no count set, the library uses the processors the process may run
// on: a thread pinned to one core, as taskset pins a process, gets one.
TEST(CannyGolden, DefaultThreadCountFollowsTheAffinityMask)
{
    cpu_set_t before;
    ASSERT_EQ(sched_getaffinity(0, sizeof before, &before), 0);
    cpu_set_t one;
    CPU_ZERO(&one);
    for (int cpu = 0; cpu < CPU_SETSIZE; cpu++) {
        if (CPU_ISSET(cpu, &before)) {
            CPU_SET(cpu, &one);
            break;
        }
    }
    ASSERT_EQ(sched_setaffinity(0, sizeof one, &one), 0);
    ThreadCount count(0);
    const int pinned = imaging_threads();
    ASSERT_EQ(sched_setaffinity(0, sizeof before, &before), 0);
    EXPECT_EQ(pinned, 1);
    EXPECT_EQ(imaging_threads(), CPU_COUNT(&before));
}

// The pixel stages split rows and lines into bands run on several threads;
// the output must not depend on how many. Odd counts give uneven bands.
TEST(CannyGolden, ChainsAndEdgelsMatchTheRecordedOutputWhateverTheThreadCount)
{
    for (int threads : { 1, 3, 8 }) {
        SCOPED_TRACE(threads);
        ThreadCount count(threads);
        for (const Recorded &r : recorded) {
            testing::internal::CaptureStdout();
            Result got = run_case(r);
            testing::internal::GetCapturedStdout();
            expect_recorded(r, got);
        }
    }
}

// Searches share no state: every recorded case (two scales of each picture)
// run at the same time on threads of its own, each itself parallel, gives
// what it gives alone.
TEST(CannyGolden, ConcurrentSearchesMatchTheRecordedOutput)
{
    ThreadCount count(2);
    constexpr size_t cases = sizeof recorded / sizeof recorded[0];
    Result got[cases];
    testing::internal::CaptureStdout();
    {
        std::vector<std::thread> searches;
        for (size_t k = 0; k < cases; k++) {
            searches.emplace_back([&got, k] { got[k] = run_case(recorded[k]); });
        }
        for (std::thread &search : searches) {
            search.join();
        }
    }
    testing::internal::GetCapturedStdout();
    for (size_t k = 0; k < cases; k++) {
        expect_recorded(recorded[k], got[k]);
    }
}

} // namespace
