// Benchmarks of the imaging library on synthetic 1, 4 and 12 megapixel
// pictures: the edge search of one scale against OpenCV's GaussianBlur +
// Canny on one thread, the colour texture features of one region, and the
// peak memory of one scale (measured in a child process).
#include "ImageHandle.h"
#include "imaging.h"

#include <benchmark/benchmark.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

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

// Runs one scale of the search with its per-pair line kept off the
// benchmark's output.
int run_edge_search(const Image *img)
{
    double low[] = { 0.4 }, high[] = { 0.6 };
    int count = 0;
    std::fflush(stdout);
    int saved = dup(STDOUT_FILENO);
    int null_fd = open("/dev/null", O_WRONLY);
    dup2(null_fd, STDOUT_FILENO);
    PointList **chains = detect_edge_multiscalar_canny_sigma(img, sigma, &count, 10, 1, low, high);
    std::fflush(stdout);
    dup2(saved, STDOUT_FILENO);
    close(saved);
    close(null_fd);
    for (int i = 0; i < count; i++) {
        delete_point_list(chains[i], chains[i]->num_pts);
    }
    std::free(chains);
    return count;
}

double opencv_seconds(const cv::Mat &src)
{
    cv::Mat blurred, edges;
    double best = 1e30;
    for (int run = 0; run < 3; run++) {
        auto start = std::chrono::steady_clock::now();
        cv::GaussianBlur(src, blurred, { 0, 0 }, sigma);
        cv::Canny(blurred, edges, 20, 50, 3, true);
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    return best;
}

void BM_EdgeSearchOneScale(benchmark::State &state)
{
    cv::setNumThreads(1);
    const cv::Mat src = synthetic_cells(picture_size(static_cast<int>(state.range(0))));
    ImagePtr img(to_gray_image(src));
    const double reference = opencv_seconds(src);
    int chains = 0;
    double total = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        chains = run_edge_search(img.get());
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["chains"] = chains;
    state.counters["ns_per_pixel"] = total / state.iterations() / src.total() * 1e9;
    state.counters["opencv_ms"] = reference * 1e3;
    state.counters["ratio_to_opencv"] = total / state.iterations() / reference;
}

void BM_OpenCvBlurCanny(benchmark::State &state)
{
    cv::setNumThreads(1);
    const cv::Mat src = synthetic_cells(picture_size(static_cast<int>(state.range(0))));
    cv::Mat blurred, edges;
    for (auto _ : state) {
        cv::GaussianBlur(src, blurred, { 0, 0 }, sigma);
        cv::Canny(blurred, edges, 20, 50, 3, true);
        benchmark::DoNotOptimize(edges.data);
    }
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

// Child mode: the peak memory added by one scale of the search, in bytes
// per pixel of the picture (the picture itself excluded).
int measure_peak_memory(int megapixels)
{
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
        std::string command = std::string(self) + " --peak-memory " + std::to_string(state.range(0));
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

BENCHMARK(BM_EdgeSearchOneScale)->Arg(1)->Arg(4)->Arg(12)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenCvBlurCanny)->Arg(1)->Arg(4)->Arg(12)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TextureFeaturesOneRegion)->Arg(1)->Arg(4)->Arg(12)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PeakMemoryOneScale)->Arg(1)->Arg(12)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--peak-memory") == 0) {
        return measure_peak_memory(std::atoi(argv[2]));
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
