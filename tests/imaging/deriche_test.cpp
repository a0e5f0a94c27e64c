// Deriche filters against their closed-form impulse responses (explicit
// convolution) and against the sampled Gaussian.
#include "test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

namespace {

// The published fit: h+(n) = (a0 cos(w0 n) + a1 sin(w0 n)) e^(-b0 n)
//                          + (c0 cos(w1 n) + c1 sin(w1 n)) e^(-b1 n), n >= 0,
// with w and b divided by sigma; mirrored (even orders) or negated (odd
// orders) for n < 0.
struct Fit {
    double a0, w0, a1, b0, c0, w1, c1, b1;
};

Fit fit_of(derivativeOrder order)
{
    switch (order) {
    case SMOOTHING: return { 1.68, 0.6318, 3.735, 1.783, -0.6803, 1.997, -0.2598, 1.723 };
    case DERIVATIVE_2: return { -1.331, 0.748, 3.661, 1.24, 0.3225, 2.166, -1.738, 1.314 };
    default: return { -0.6472, 0.6719, -4.531, 1.527, 0.6494, 2.072, 0.9557, 1.516 };
    }
}

double raw_response(const Fit &f, double sigma, bool odd, long n)
{
    long m = std::labs(n);
    double t = m / sigma;
    double h = (f.a0 * std::cos(f.w0 * t) + f.a1 * std::sin(f.w0 * t)) * std::exp(-f.b0 * t) +
               (f.c0 * std::cos(f.w1 * t) + f.c1 * std::sin(f.w1 * t)) * std::exp(-f.b1 * t);
    return (odd && n < 0) ? -h : h;
}

// The impulse response normalised by brute-force sums of the property each
// order must satisfy.
std::vector<double> impulse_response(derivativeOrder order, double sigma, long reach)
{
    const Fit f = fit_of(order);
    const bool odd = order == DERIVATIVE_1 || order == DERIVATIVE_1_EDGES;
    double norm = 0.0;
    for (long n = -4000; n <= 4000; n++) {
        double h = raw_response(f, sigma, odd, n);
        switch (order) {
        case SMOOTHING: norm += h; break;
        case DERIVATIVE_1: norm += -n * h; break;
        case DERIVATIVE_1_EDGES: norm += n < 0 ? h : 0.0; break;
        default: norm += n * n * h / 2; break;
        }
    }
    std::vector<double> h(2 * reach + 1);
    for (long n = -reach; n <= reach; n++) {
        h[n + reach] = raw_response(f, sigma, odd, n) / norm;
    }
    return h;
}

// Filters a line along x with the library.
std::vector<double> library_filter(const std::vector<double> &line, derivativeOrder order, double sigma,
                                   int border)
{
    std::vector<double> out(line.size());
    const int dims[3] = { static_cast<int>(line.size()), 1, 1 };
    const int borders[3] = { border, 0, 0 };
    const derivativeOrder orders[3] = { order, NODERIVATIVE, NODERIVATIVE };
    const float coefs[3] = { static_cast<float>(sigma), 0, 0 };
    EXPECT_EQ(RecursiveFilterOnBuffer(line.data(), DOUBLE, out.data(), DOUBLE, dims, borders, orders, coefs,
                                      GAUSSIAN_DERICHE),
              1);
    return out;
}

TEST(Deriche, MatchesClosedFormResponseByExplicitConvolution)
{
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> sample(0.0, 1.0);
    std::vector<double> line(60);
    for (double &v : line) {
        v = sample(rng);
    }
    const int border = 10;
    // The library's line: border replicated samples at each end, zero beyond.
    std::vector<double> padded(line.size() + 2 * border);
    for (size_t i = 0; i < padded.size(); i++) {
        long k = static_cast<long>(i) - border;
        padded[i] = line[std::clamp<long>(k, 0, static_cast<long>(line.size()) - 1)];
    }
    for (derivativeOrder order : { SMOOTHING, DERIVATIVE_1, DERIVATIVE_1_EDGES, DERIVATIVE_2 }) {
        for (double sigma : { 1.0, 2.0, 4.0 }) {
            const long reach = static_cast<long>(padded.size());
            const std::vector<double> h = impulse_response(order, sigma, reach);
            const std::vector<double> got = library_filter(line, order, sigma, border);
            for (size_t i = 0; i < line.size(); i++) {
                double expected = 0.0;
                for (size_t j = 0; j < padded.size(); j++) {
                    expected += padded[j] * h[static_cast<long>(i + border) - static_cast<long>(j) + reach];
                }
                ASSERT_NEAR(got[i], expected, 1e-12) << "order " << order << " sigma " << sigma << " at " << i;
            }
        }
    }
}

TEST(Deriche, SmoothingIsCloseToTheSampledGaussian)
{
    for (double sigma : { 2.0, 4.0 }) {
        InitRecursiveCoefficients(sigma, GAUSSIAN_DERICHE, SMOOTHING);
        const int n = 201, centre = 100;
        std::vector<double> impulse(n, 0.0), out(n), w1(n), w2(n);
        impulse[centre] = 1.0;
        ASSERT_EQ(RecursiveFilter1D(impulse.data(), out.data(), w1.data(), w2.data(), n), 1);
        double sum = 0.0;
        for (int i = 0; i < n; i++) {
            double x = i - centre;
            double gauss = std::exp(-x * x / (2 * sigma * sigma)) / (std::sqrt(2 * M_PI) * sigma);
            EXPECT_NEAR(out[i], gauss, 1e-4) << sigma << " at " << x;
            EXPECT_DOUBLE_EQ(out[i], w1[i] + w2[i]);
            sum += out[i];
        }
        EXPECT_NEAR(sum, 1.0, 1e-12);
    }
}

TEST(Deriche, EdgeDerivativeGivesOneAtAUnitStep)
{
    std::vector<double> step(200, 0.0);
    std::fill(step.begin() + 100, step.end(), 1.0);
    const std::vector<double> out = library_filter(step, DERIVATIVE_1_EDGES, 2.0, 10);
    // The last sample before the rise sees the whole positive lobe.
    EXPECT_NEAR(out[99], 1.0, 1e-9);
    for (int i = 96; i < 104; i++) {
        EXPECT_GT(out[i], 0.0) << i;
    }
}

TEST(Deriche, RefusedParametersAndShortAxes)
{
    InitRecursiveCoefficients(0.05, GAUSSIAN_DERICHE, SMOOTHING);
    double x[8] = { 1 }, out[8], w1[8], w2[8];
    EXPECT_EQ(RecursiveFilter1D(x, out, w1, w2, 8), 0);
    InitRecursiveCoefficients(2.0, ALPHA_DERICHE, SMOOTHING);
    EXPECT_EQ(RecursiveFilter1D(x, out, w1, w2, 8), 0);
    InitRecursiveCoefficients(1.0, ALPHA_DERICHE, SMOOTHING);
    EXPECT_EQ(RecursiveFilter1D(x, out, w1, w2, 8), 1);

    // An axis of 4 samples passes through unchanged; the 6-sample one is
    // smoothed.
    std::vector<float> in(4 * 6), filtered(in.size());
    for (size_t k = 0; k < in.size(); k++) {
        in[k] = static_cast<float>(k % 4 == 0 ? 10 * k : 0);
    }
    const int dims[3] = { 4, 6, 1 };
    const derivativeOrder orders[3] = { SMOOTHING, NODERIVATIVE, NODERIVATIVE };
    const float coefs[3] = { 1, 1, 1 };
    ASSERT_EQ(RecursiveFilterOnBuffer(in.data(), FLOAT, filtered.data(), FLOAT, dims, nullptr, orders, coefs,
                                      GAUSSIAN_DERICHE),
              1);
    EXPECT_EQ(filtered, in);
}

TEST(Deriche, GroupedLinesMatchOneLineAtATime)
{
    // Columns are filtered several at a time; each must equal the same
    // column filtered alone.
    const int w = 13, h = 40;
    std::mt19937 rng(3);
    std::uniform_int_distribution<int> grey(0, 255);
    std::vector<unsigned char> img(w * h);
    for (auto &v : img) {
        v = static_cast<unsigned char>(grey(rng));
    }
    std::vector<float> all(w * h);
    const int dims[3] = { w, h, 1 };
    const int borders[3] = { 10, 10, 10 };
    const derivativeOrder orders[3] = { NODERIVATIVE, DERIVATIVE_1_EDGES, NODERIVATIVE };
    const float coefs[3] = { 2, 2, 2 };
    ASSERT_EQ(RecursiveFilterOnBuffer(img.data(), UCHAR, all.data(), FLOAT, dims, borders, orders, coefs,
                                      GAUSSIAN_DERICHE),
              1);
    for (int x = 0; x < w; x++) {
        std::vector<double> column(h);
        for (int y = 0; y < h; y++) {
            column[y] = img[y * w + x];
        }
        const std::vector<double> alone = library_filter(column, DERIVATIVE_1_EDGES, 2.0, 10);
        for (int y = 0; y < h; y++) {
            ASSERT_EQ(all[y * w + x], static_cast<float>(alone[y])) << x << "," << y;
        }
    }
}

// Filtering works on samples of the output's real type: whatever the input
// type, the result is that of the input first converted to it, including
// inputs whose values the output type cannot hold exactly.
TEST(Deriche, InputIsFilteredAsConvertedToTheOutputType)
{
    const int w = 11, h = 9;
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> value(0.0, 255.0);
    std::vector<double> reals(w * h);
    for (auto &v : reals) {
        v = value(rng);
    }
    std::vector<unsigned char> bytes(reals.size());
    ConvertBuffer(reals.data(), DOUBLE, bytes.data(), UCHAR, w * h);
    const int dims[3] = { w, h, 1 };
    const int borders[3] = { 10, 10, 10 };
    const float coefs[3] = { 1.5f, 1.5f, 1.5f };
    const derivativeOrder along_x[3] = { DERIVATIVE_1_EDGES, SMOOTHING, NODERIVATIVE };
    const derivativeOrder along_y_only[3] = { NODERIVATIVE, DERIVATIVE_1_EDGES, NODERIVATIVE };
    struct Case {
        const char *name;
        const void *input;
        bufferType type;
        const derivativeOrder *orders;
    };
    const Case cases[] = {
        { "doubles, both axes", reals.data(), DOUBLE, along_x },
        { "doubles, y only", reals.data(), DOUBLE, along_y_only },
        { "bytes, both axes", bytes.data(), UCHAR, along_x },
        { "bytes, y only", bytes.data(), UCHAR, along_y_only },
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<float> converted(w * h), expected(w * h), filtered(w * h);
        ConvertBuffer(c.input, c.type, converted.data(), FLOAT, w * h);
        ASSERT_EQ(RecursiveFilterOnBuffer(converted.data(), FLOAT, expected.data(), FLOAT, dims, borders, c.orders,
                                          coefs, GAUSSIAN_DERICHE),
                  1);
        ASSERT_EQ(RecursiveFilterOnBuffer(c.input, c.type, filtered.data(), FLOAT, dims, borders, c.orders, coefs,
                                          GAUSSIAN_DERICHE),
                  1);
        EXPECT_EQ(filtered, expected);
    }
}

TEST(Deriche, ConvertBufferRules)
{
    const double reals[] = { -3.0, 0.5, 254.5, 300.0, -128.5, 2.49 };
    unsigned char u8[6];
    signed char s8[6];
    int ints[6];
    ConvertBuffer(reals, DOUBLE, u8, UCHAR, 6);
    ConvertBuffer(reals, DOUBLE, s8, SCHAR, 6);
    ConvertBuffer(reals, DOUBLE, ints, INT, 6);
    const unsigned char want_u8[] = { 0, 1, 255, 255, 0, 2 };
    const signed char want_s8[] = { -3, 1, 127, 127, -128, 2 };
    const int want_int[] = { -3, 0, 254, 300, -128, 2 };
    for (int k = 0; k < 6; k++) {
        EXPECT_EQ(u8[k], want_u8[k]) << k;
        EXPECT_EQ(s8[k], want_s8[k]) << k;
        EXPECT_EQ(ints[k], want_int[k]) << k;
    }
    testing::internal::CaptureStderr();
    ConvertBuffer(reals, DOUBLE, u8, ULINT, 6);
    ConvertBuffer(ints, INT, u8, UCHAR, 6);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              " Error in ConvertBuffer: such output type not yet handled.\n"
              " Error in ConvertBuffer: such conversion not yet implemented.\n");
}

} // namespace
