// Benchmarks of the imaging library on synthetic 1, 4 and 12 megapixel
// pictures: the edge search of one scale against OpenCV's GaussianBlur +
// Canny with matched thresholds, on one thread and on every core, the
// colour texture features of one region, and the peak memory of one scale
// (measured in a child process).
#include "ImageHandle.h"
#include "imaging.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

const double sigma = 2.0;

// Width x height of a picture of about `megapixels`, 4:3.
cv::Size picture_size(int megapixels)
{
    int width = static_cast<int>(std::sqrt(megapixels * 1e6 * 4 / 3));
    return { width, static_cast<int>(megapixels * 1e6 / width) };
}

// Textured cells with a nucleus on a noisy background, fixed seed.
cv::Mat synthetic_cells(cv::Size size)
{
    cv::Mat m(size, CV_8UC1, cv::Scalar(70));
    cv::RNG rng(1234);
    const int cells = size.area() / 20000;
    for (int k = 0; k < cells; k++) {
        cv::Point centre(rng.uniform(0, size.width), rng.uniform(0, size.height));
        cv::Size axes(rng.uniform(20, 45), rng.uniform(20, 45));
        cv::ellipse(m, centre, axes, rng.uniform(0, 180), 0, 360, cv::Scalar(rng.uniform(130, 200)), cv::FILLED);
        cv::circle(m, centre, axes.width / 3, cv::Scalar(rng.uniform(20, 60)), cv::FILLED);
    }
    cv::GaussianBlur(m, m, { 0, 0 }, 1.5);
    cv::Mat noise(size, CV_8UC1);
    rng.fill(noise, cv::RNG::UNIFORM, 0, 12);
    return m + noise;
}

Image *to_gray_image(const cv::Mat &m)
{
    Image *img = alloc_img(PIX_GRAY, m.rows, m.cols);
    std::memcpy(img->data_1d.byte_data, m.data, m.total());
    return img;
}

// Runs fn with standard output (the search's per-pair lines) discarded.
template <typename Fn> auto quietly(Fn fn)
{
    std::fflush(stdout);
    int saved = dup(STDOUT_FILENO);
    int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, STDOUT_FILENO);
    auto result = fn();
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    close(null_fd);
    return result;
}

const double low_rate = 0.4, high_rate = 0.6;

// Runs one scale of the search with one rate pair; returns the number of
// edge pixels kept (points of all chains).
long run_edge_search(const Image *img)
{
    double low[] = { low_rate }, high[] = { high_rate };
    int count = 0;
    PointList **chains =
        quietly([&] { return detect_edge_multiscalar_canny_sigma(img, sigma, &count, 10, 1, low, high); });
    long points = 0;
    for (int i = 0; i < count; i++) {
        points += chains[i]->num_pts;
        delete_point_list(chains[i], chains[i]->num_pts);
    }
    std::free(chains);
    return points;
}

// OpenCV's thresholds by the search's own rule, applied to the L2 gradient
// Canny computes (3x3 Sobel of the blurred picture): high is the high rate's
// quantile of the non-zero moduli, low the low rate times high. Both
// pipelines then keep a similar number of edge pixels.
std::pair<double, double> matched_thresholds(const cv::Mat &src)
{
    cv::Mat blurred, dx, dy, modulus;
    cv::GaussianBlur(src, blurred, { 0, 0 }, sigma);
    cv::Sobel(blurred, dx, CV_32F, 1, 0, 3);
    cv::Sobel(blurred, dy, CV_32F, 0, 1, 3);
    cv::magnitude(dx, dy, modulus);
    std::vector<float> moduli;
    moduli.reserve(modulus.total());
    for (auto it = modulus.begin<float>(); it != modulus.end<float>(); ++it) {
        if (*it > 0.0f) {
            moduli.push_back(*it);
        }
    }
    if (moduli.empty()) {
        return { 0.0, 0.0 };
    }
    auto at = moduli.begin() + static_cast<long>(high_rate * (moduli.size() - 1));
    std::nth_element(moduli.begin(), at, moduli.end());
    return { low_rate * *at, *at };
}

long run_opencv(const cv::Mat &src, std::pair<double, double> thresholds)
{
    cv::Mat blurred, edges;
    cv::GaussianBlur(src, blurred, { 0, 0 }, sigma);
    cv::Canny(blurred, edges, thresholds.first, thresholds.second, 3, true);
    return cv::countNonZero(edges);
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double thread_cpu_seconds()
{
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

// Wall and calling-thread processor seconds of fn. On a shared machine the
// processor time of a single-thread run is the steadier figure.
struct Timing {
    double wall, cpu;
};

template <typename Fn> Timing time_of(Fn fn, long *kept)
{
    const double cpu_start = thread_cpu_seconds();
    auto start = std::chrono::steady_clock::now();
    *kept = fn();
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return { wall, thread_cpu_seconds() - cpu_start };
}

// One scale of the search (A) against OpenCV's GaussianBlur + Canny with
// matched thresholds (B), on range(0) megapixels and range(1) threads (0:
// every core) for both. A and B alternate within each iteration, so that a
// change of machine load touches both; the counters are medians over the
// iterations, and the ratios are A's median over B's, of wall time and, for
// one thread, of the calling thread's processor time.
void BM_EdgeSearchAgainstOpenCv(benchmark::State &state)
{
    const int threads = static_cast<int>(state.range(1));
    imaging_set_threads(threads);
    cv::setNumThreads(threads > 0 ? threads : cv::getNumberOfCPUs());
    const cv::Mat src = synthetic_cells(picture_size(static_cast<int>(state.range(0))));
    ImagePtr img(to_gray_image(src));
    const auto thresholds = matched_thresholds(src);
    std::vector<double> ours, theirs, our_cpu, their_cpu;
    long our_pixels = 0, their_pixels = 0;
    for (auto _ : state) {
        Timing a = time_of([&] { return run_edge_search(img.get()); }, &our_pixels);
        Timing b = time_of([&] { return run_opencv(src, thresholds); }, &their_pixels);
        ours.push_back(a.wall);
        theirs.push_back(b.wall);
        our_cpu.push_back(a.cpu);
        their_cpu.push_back(b.cpu);
    }
    imaging_set_threads(0);
    state.counters["ms"] = median(ours) * 1e3;
    state.counters["opencv_ms"] = median(theirs) * 1e3;
    state.counters["ratio"] = median(ours) / median(theirs);
    if (threads == 1) {
        state.counters["cpu_ms"] = median(our_cpu) * 1e3;
        state.counters["opencv_cpu_ms"] = median(their_cpu) * 1e3;
        state.counters["cpu_ratio"] = median(our_cpu) / median(their_cpu);
    }
    state.counters["ns_per_pixel"] = median(ours) / src.total() * 1e9;
    state.counters["edge_px"] = static_cast<double>(our_pixels);
    state.counters["opencv_edge_px"] = static_cast<double>(their_pixels);
}

// One region of fixed size on pictures of growing size: the cost must not
// grow with the picture.
void BM_TextureFeaturesOneRegion(benchmark::State &state)
{
    const cv::Size size = picture_size(static_cast<int>(state.range(0)));
    cv::Mat grey = synthetic_cells(size), rgb;
    cv::cvtColor(grey, rgb, cv::COLOR_GRAY2RGB);
    ImagePtr img(alloc_img(PIX_RGB, rgb.rows, rgb.cols));
    std::memcpy(img->data_1d.byte_data, rgb.data, rgb.total() * 3);
    const int n = 64;
    PointList *region = alloc_point_list(n);
    for (int k = 0; k < n; k++) {
        double a = 2 * M_PI * k / n;
        region->point[k] = alloc_point(size.height / 2 + 40 * std::sin(a), size.width / 2 + 50 * std::cos(a));
    }
    region->type = GEN_VALID;
    for (auto _ : state) {
        double *features = textureLBPColor(img.get(), region);
        benchmark::DoNotOptimize(features);
        std::free(features);
    }
    delete_point_list(region, n);
}

long status_kib(const char *field)
{
    FILE *f = std::fopen("/proc/self/status", "r");
    char line[256];
    long value = -1;
    while (f != nullptr && std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, field, std::strlen(field)) == 0) {
            value = std::atol(line + std::strlen(field) + 1);
        }
    }
    if (f != nullptr) {
        std::fclose(f);
    }
    return value;
}

// Child mode: the peak memory added by one scale of the search on
// `threads` threads (0: every core), in bytes per pixel of the picture (the
// picture itself excluded).
int measure_peak_memory(int megapixels, int threads)
{
    imaging_set_threads(threads);
    const cv::Mat src = synthetic_cells(picture_size(megapixels));
    ImagePtr img(to_gray_image(src));
    // Peak and current resident sizes are compared after resetting the
    // peak, so that building the picture does not count.
    FILE *clear = std::fopen("/proc/self/clear_refs", "w");
    if (clear != nullptr) {
        std::fputs("5", clear);
        std::fclose(clear);
    }
    const long before = status_kib("VmRSS:");
    run_edge_search(img.get());
    const long peak = status_kib("VmHWM:");
    std::printf("%.2f\n", (peak - before) * 1024.0 / src.total());
    return 0;
}

void BM_PeakMemoryOneScale(benchmark::State &state)
{
    double bytes_per_pixel = 0;
    for (auto _ : state) {
        char self[4096] = {};
        if (readlink("/proc/self/exe", self, sizeof self - 1) < 0) {
            state.SkipWithError("cannot find the benchmark program");
            break;
        }
        std::string command = std::string(self) + " --peak-memory " + std::to_string(state.range(0)) + " " +
                              std::to_string(state.range(1));
        FILE *child = popen(command.c_str(), "r");
        if (child == nullptr || std::fscanf(child, "%lf", &bytes_per_pixel) != 1) {
            state.SkipWithError("child measurement failed");
        }
        if (child != nullptr) {
            pclose(child);
        }
    }
    state.counters["bytes_per_pixel"] = bytes_per_pixel;
}

// Single-thread figures, then every core.
BENCHMARK(BM_EdgeSearchAgainstOpenCv)
    ->ArgsProduct({ { 1, 4, 12 }, { 1, 0 } })
    ->Iterations(11)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_TextureFeaturesOneRegion)->Arg(1)->Arg(4)->Arg(12)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PeakMemoryOneScale)->ArgsProduct({ { 1, 12 }, { 1, 0 } })->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--peak-memory") == 0) {
        return measure_peak_memory(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
