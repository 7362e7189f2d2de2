#include "core/Resample.h"

#include <algorithm>
#include <cmath>
#include <system_error>
#include <thread>
#include <vector>

namespace velvane {
namespace {

// The weights of one output pixel sum to exactly 1 << kWeightBits; the pass between the
// two axes keeps kMiddleBits of fraction, so the result stays within one level of the
// exact value.
constexpr int kWeightBits = 14;
constexpr int kMiddleBits = 7;
constexpr std::int32_t kOne = 1 << kWeightBits;

// Outputs smaller than this are not worth a thread.
constexpr std::int64_t kPixelsPerThread = 1 << 18;

// For every output coordinate of one axis: the first source pixel it reads, how many,
// and their weights.
struct AxisWeights {
    std::vector<std::int32_t> first, count, weights;  // weights: span per output
    int span = 1;
};

AxisWeights MakeWeights(std::int32_t sourceLength, std::int32_t targetLength) {
    const double scale = static_cast<double>(sourceLength) / targetLength;  // source pixels per output
    AxisWeights axis;
    axis.span = scale > 1 ? static_cast<int>(std::ceil(scale)) + 1 : 2;
    axis.first.resize(targetLength);
    axis.count.resize(targetLength);
    axis.weights.assign(static_cast<std::size_t>(targetLength) * axis.span, 0);
    std::vector<double> exact(axis.span);
    for (std::int32_t i = 0; i < targetLength; ++i) {
        std::int32_t first = 0;
        int count = 0;
        if (scale > 1) {
            // Shrinking: the area each source pixel shares with this output pixel.
            const double lo = i * scale, hi = std::min((i + 1) * scale, static_cast<double>(sourceLength));
            first = static_cast<std::int32_t>(std::floor(lo));
            for (std::int32_t j = first; j < hi && count < axis.span; ++j)
                exact[count++] = (std::min(hi, j + 1.0) - std::max(lo, static_cast<double>(j))) / scale;
        } else {
            // Enlarging: between the two nearest pixel centres, clamped at the borders.
            const double x = std::clamp((i + 0.5) * scale - 0.5, 0.0, sourceLength - 1.0);
            first = static_cast<std::int32_t>(std::floor(x));
            const double fraction = x - first;
            exact[count++] = 1 - fraction;
            if (first + 1 < sourceLength) exact[count++] = fraction;
        }
        // Rounded as running sums, so that no weight goes negative however small each is
        // (a shrink of many thousands to one) and together they neither brighten nor darken.
        std::int32_t* w = &axis.weights[static_cast<std::size_t>(i) * axis.span];
        double total = 0, running = 0;
        for (int k = 0; k < count; ++k) total += exact[k];
        for (std::int32_t k = 0, before = 0; k < count; ++k) {
            running += exact[k];
            const std::int32_t upTo = k + 1 == count ? kOne : static_cast<std::int32_t>(std::lround(running / total * kOne));
            w[k] = upTo - before;
            before = upTo;
        }
        axis.first[i] = first;
        axis.count[i] = count;
    }
    return axis;
}

// Enlarging: every output pixel is two neighbours weighted, written without a loop or a
// branch per pixel so that the compiler does the four channels at once.
void EnlargeRow(const std::uint8_t* source, std::int32_t sourceWidth, const AxisWeights& x, std::uint16_t* out) {
    constexpr int shift = kWeightBits - kMiddleBits;
    constexpr std::uint32_t half = 1u << (shift - 1);
    const std::size_t outputs = x.first.size();
    for (std::size_t i = 0; i < outputs; ++i) {
        const std::uint8_t* p = source + 4 * static_cast<std::size_t>(x.first[i]);
        // At the right border the second neighbour has no weight: read the first again.
        const std::uint8_t* q = p + (x.first[i] + 1 < sourceWidth ? 4 : 0);
        const auto w0 = static_cast<std::uint32_t>(x.weights[2 * i]), w1 = static_cast<std::uint32_t>(x.weights[2 * i + 1]);
        for (int c = 0; c < 4; ++c) out[4 * i + c] = static_cast<std::uint16_t>((w0 * p[c] + w1 * q[c] + half) >> shift);
    }
}

// One source row scaled along x, kept with kMiddleBits of fraction.
void ScaleRow(const std::uint8_t* source, std::int32_t sourceWidth, const AxisWeights& x, std::uint16_t* out) {
    constexpr int shift = kWeightBits - kMiddleBits;
    if (x.span == 2) return EnlargeRow(source, sourceWidth, x, out);
    const std::size_t outputs = x.first.size();
    for (std::size_t i = 0; i < outputs; ++i) {
        const std::int32_t* w = &x.weights[i * x.span];
        const std::uint8_t* p = source + 4 * static_cast<std::size_t>(x.first[i]);
        std::uint32_t b = 0, g = 0, r = 0, a = 0;
        for (int k = 0; k < x.count[i]; ++k, p += 4) {
            const auto weight = static_cast<std::uint32_t>(w[k]);
            b += weight * p[0];
            g += weight * p[1];
            r += weight * p[2];
            a += weight * p[3];
        }
        constexpr std::uint32_t half = 1u << (shift - 1);
        out[4 * i + 0] = static_cast<std::uint16_t>((b + half) >> shift);
        out[4 * i + 1] = static_cast<std::uint16_t>((g + half) >> shift);
        out[4 * i + 2] = static_cast<std::uint16_t>((r + half) >> shift);
        out[4 * i + 3] = static_cast<std::uint16_t>((a + half) >> shift);
    }
}

// Output rows [begin, end): source rows are scaled along x once each into a small ring,
// then combined along y.
void ResampleRows(const ConstPixels& source, const Pixels& target, const AxisWeights& x, const AxisWeights& y,
                  std::int32_t begin, std::int32_t end) {
    const std::size_t values = 4 * static_cast<std::size_t>(target.width);
    std::vector<std::vector<std::uint16_t>> ring(y.span, std::vector<std::uint16_t>(values));
    std::vector<std::int32_t> held(y.span, -1);
    std::vector<std::uint32_t> sum(values);
    constexpr int shift = kWeightBits + kMiddleBits;
    constexpr std::uint32_t half = 1u << (shift - 1);
    // The source row s scaled along x, from the ring.
    const auto scaled = [&](std::int32_t s) {
        const int slot = s % y.span;
        if (held[slot] != s) {
            ScaleRow(source.rows + s * source.stride, source.width, x, ring[slot].data());
            held[slot] = s;
        }
        return ring[slot].data();
    };
    for (std::int32_t row = begin; row < end; ++row) {
        const std::int32_t* w = &y.weights[static_cast<std::size_t>(row) * y.span];
        std::uint8_t* out = target.rows + row * target.stride;
        if (y.span == 2) {
            // Enlarging: two rows combined straight into the output, in one pass.
            const std::uint16_t* a = scaled(y.first[row]);
            const std::uint16_t* b = y.count[row] > 1 ? scaled(y.first[row] + 1) : a;
            const auto w0 = static_cast<std::uint32_t>(w[0]), w1 = static_cast<std::uint32_t>(w[1]);
            for (std::size_t i = 0; i < values; ++i) out[i] = static_cast<std::uint8_t>((w0 * a[i] + w1 * b[i] + half) >> shift);
            continue;
        }
        std::fill(sum.begin(), sum.end(), half);
        for (int k = 0; k < y.count[row]; ++k) {
            const auto weight = static_cast<std::uint32_t>(w[k]);
            const std::uint16_t* in = scaled(y.first[row] + k);
            for (std::size_t i = 0; i < values; ++i) sum[i] += weight * in[i];
        }
        for (std::size_t i = 0; i < values; ++i) out[i] = static_cast<std::uint8_t>(sum[i] >> shift);
    }
}

}  // namespace

void ResamplePremultiplied(const ConstPixels& source, const Pixels& destination) {
    if (source.width <= 0 || source.height <= 0 || destination.width <= 0 || destination.height <= 0) return;
    const AxisWeights x = MakeWeights(source.width, destination.width);
    const AxisWeights y = MakeWeights(source.height, destination.height);

    const std::int64_t pixels = static_cast<std::int64_t>(destination.width) * destination.height;
    const auto cores = static_cast<std::int64_t>(std::max(1u, std::thread::hardware_concurrency()));
    const auto parts = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(std::min(cores, pixels / kPixelsPerThread), 1, destination.height));
    auto rowOf = [&](std::int32_t part) {
        return static_cast<std::int32_t>(static_cast<std::int64_t>(destination.height) * part / parts);
    };
    std::vector<std::thread> helpers;
    std::int32_t done = parts;  // parts from here on run on this thread
    for (std::int32_t p = 1; p < parts; ++p) {
        try {
            helpers.emplace_back([&, p] { ResampleRows(source, destination, x, y, rowOf(p), rowOf(p + 1)); });
        } catch (const std::system_error&) {
            done = p;  // no thread to be had: the rest is done here
            break;
        }
    }
    ResampleRows(source, destination, x, y, 0, rowOf(1));
    if (done < parts) ResampleRows(source, destination, x, y, rowOf(done), rowOf(parts));
    for (std::thread& helper : helpers) helper.join();
}

}  // namespace velvane
