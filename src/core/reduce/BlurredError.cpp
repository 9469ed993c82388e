#include "core/reduce/BlurredError.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

#include "core/colour/LocalCiede2000.h"

namespace kanvo {

namespace {

// The cube root to about 4e-5, without a division: the inverse cube root from a first guess
// from the float's bits (their third is the exponent's third) and two Newton steps, then t r^2.
// Branch-free, so loops of it vectorise.
[[gnu::always_inline]] inline float cubeRoot(float t)
{
    const auto bits = static_cast<float>(std::bit_cast<std::int32_t>(t));
    float r = std::bit_cast<float>(0x54a2fa8c - static_cast<std::int32_t>(bits * (1.0f / 3.0f)));
    r = r * (4.0f - t * r * r * r) * (1.0f / 3.0f);
    r = r * (4.0f - t * r * r * r) * (1.0f / 3.0f);
    return t * r * r;
}

[[gnu::always_inline]] inline float labCurve(float t)
{
    constexpr float kEpsilon = 216.0f / 24389.0f;
    constexpr float kKappa = 24389.0f / 27.0f;
    const float linear = (kKappa / 116.0f) * t + 16.0f / 116.0f;
    const float root = cubeRoot(t);
    return t > kEpsilon ? root : linear;
}

// CIE XYZ relative to the D65 white. Linear in linear RGB, so the blurred chart is kept in it.
struct Xyz {
    float x, y, z;
};

Xyz xyzOf(const LinearRgb& c)
{
    return {(0.4124564f / 0.95047f) * c.red + (0.3575761f / 0.95047f) * c.green + (0.1804375f / 0.95047f) * c.blue,
        0.2126729f * c.red + 0.7151522f * c.green + 0.0721750f * c.blue,
        (0.0193339f / 1.08883f) * c.red + (0.1191920f / 1.08883f) * c.green + (0.9503041f / 1.08883f) * c.blue};
}

struct FloatLab {
    float L, a, b;
};

// ColourSpace::labOf from relative XYZ in floats with a quicker cube root: within a hundredth of
// a unit.
[[gnu::always_inline]] inline FloatLab floatLab(float x, float y, float z)
{
    const float fx = labCurve(x);
    const float fy = labCurve(y);
    const float fz = labCurve(z);
    return {116.0f * fy - 16.0f, 500.0f * (fx - fy), 200.0f * (fy - fz)};
}

// The fields kept for every stitch, each in a row of its own.
enum Field { kX, kY, kZ, kPictureL, kPictureA, kPictureB, kLL, kAA, kBB, kAB, kError, kFieldCount };

// CIEDE2000 between the blurred picture and the blurred chart colour (x, y, z) at stitch k of
// `f`, by the local form around the picture colour.
template <typename Fields>
[[gnu::always_inline]] inline float seenError(const Fields& f, std::size_t k, float x, float y, float z)
{
    const FloatLab lab = floatLab(x, y, z);
    return LocalCiede2000::difference({f[kLL][k], f[kAA][k], f[kBB][k], f[kAB][k]}, lab.L - f[kPictureL][k],
        lab.a - f[kPictureA][k], lab.b - f[kPictureB][k]);
}

// Stitches copied to or from the fields at once.
constexpr int kStep = 8;

// The fields of up to N stitches side by side, as lanes of fixed number the compiler vectorises.
// A lane of weight zero keeps its colour and error; a lane of all zeros adds no cost.
template <int N>
struct Lanes {
    using Row = std::array<float, N>;
    Row weight{};
    std::array<Row, kFieldCount> fields{};

    // Copies kStep stitches of every field of `all` from stitch `from` on to the lanes from `lane`
    // on: a fixed length, which the compiler copies in a few moves.
    template <typename Fields>
    void gather(const Fields& all, std::size_t from, int lane)
    {
        static_assert(N >= kStep);
        for (int f = 0; f < kFieldCount; ++f)
            std::memcpy(&fields[f][static_cast<std::size_t>(lane)], all[f].data() + from, sizeof(float) * kStep);
    }

    // Copies the blurred chart and error of the kStep lanes from 0 on back to `all` from stitch
    // `from` on.
    template <typename Fields>
    void scatterChart(Fields& all, std::size_t from) const
    {
        for (int f : {kX, kY, kZ, kError})
            std::memcpy(all[f].data() + from, &fields[f][0], sizeof(float) * kStep);
    }

    // Lanes lane..end-1 to zeros.
    void clear(int lane, int end)
    {
        for (int k = lane; k < end; ++k)
            weight[k] = 0.0f;
        for (Row& row : fields)
            for (int k = lane; k < end; ++k)
                row[k] = 0.0f;
    }

    // Each lane's blurred chart moves by its weight times `colour`; its error follows.
    void move(const Xyz& colour)
    {
        const float x = colour.x, y = colour.y, z = colour.z;
        for (int k = 0; k < N; ++k) {
            fields[kX][k] += weight[k] * x;
            fields[kY][k] += weight[k] * y;
            fields[kZ][k] += weight[k] * z;
            fields[kError][k] = seenError(fields, k, fields[kX][k], fields[kY][k], fields[kZ][k]);
        }
    }
};

// One axis of a change's blur weights over a window: for each stitch of the change, the weight
// it has at each position from `first` on.
struct AxisSpan {
    static constexpr int kLongest = 2 * StitchBlur::kRadius + BlurredError::Change::kMostStitches;
    std::array<std::array<float, kLongest>, BlurredError::Change::kMostStitches> weights{};
};

// The lanes of a merge's window and of a swap's, in whole vectors of four.
constexpr int kMergeLanes =
    ((BlurredError::Change::kMostStitches + 2 * BlurredError::kMergeReach) * (1 + 2 * BlurredError::kMergeReach) + 3)
    / 4 * 4;
constexpr int kSwapLanes =
    ((BlurredError::Change::kMostStitches + 2 * BlurredError::kSwapReach) * (1 + 2 * BlurredError::kMergeReach) + 3)
    / 4 * 4;

} // namespace

// The stitches around a change, with the weight the change has at each: the same for every
// colour the change might take.
// A whole step may be copied in past the last lane.
class BlurredError::Rows : public Lanes<kSwapLanes + kStep> {
    static_assert(kFields == kFieldCount && kErrorField == kError);
public:
    int count = 0;

    float cost(const Xyz& colour)
    {
        return count <= kMergeLanes ? rise<kMergeLanes>(colour) : rise<kSwapLanes>(colour);
    }

private:
    template <int Used>
    float rise(const Xyz& colour)
    {
        // Copied, so the compiler need not fear that writing `rises_` changes them.
        const float x = colour.x, y = colour.y, z = colour.z;
        for (int k = 0; k < Used; ++k) {
            const float w = weight[k];
            rises_[k] = seenError(fields, k, fields[kX][k] + w * x, fields[kY][k] + w * y, fields[kZ][k] + w * z)
                - fields[kError][k];
        }
        // Summed in order, apart from the loop above, so the sum is the same on every machine.
        float sum = 0;
        for (int k = 0; k < count; ++k)
            sum += rises_[k];
        return sum;
    }

    Row rises_{};
};

BlurredError::BlurredError(std::span<const ColorValue> picture, std::span<const LinearRgb> chart, int width, int height)
    : width_(width), height_(height), across_(StitchBlur::axisWeights(width)), down_(StitchBlur::axisWeights(height)),
      window_(std::make_unique<Rows>())
{
    const std::vector<LinearRgb> softPicture = StitchBlur::blurred(picture, width, height);
    const std::vector<LinearRgb> softChart = StitchBlur::blurred(chart, width, height);
    // A step of zeros past the end, so that whole steps can be copied up to the last stitch.
    for (std::vector<float>& field : fields_)
        field.assign(chart.size() + kStep, 0.0f);
    for (std::size_t i = 0; i < chart.size(); ++i) {
        const Xyz seen = xyzOf(softPicture[i]);
        const Xyz chartSeen = xyzOf(softChart[i]);
        const FloatLab lab = floatLab(seen.x, seen.y, seen.z);
        const LocalCiede2000::Weights q = LocalCiede2000(Lab{lab.L, lab.a, lab.b}).weights();
        const float values[] = {chartSeen.x, chartSeen.y, chartSeen.z, lab.L, lab.a, lab.b, q.ll, q.aa, q.bb, q.ab};
        for (int f = 0; f < kError; ++f)
            fields_[static_cast<std::size_t>(f)][i] = values[f];
    }
    // The errors, a step at a time, as every later change works them out.
    Lanes<kStep> lanes;
    for (std::size_t from = 0; from < chart.size(); from += kStep) {
        lanes.gather(fields_, from, 0);
        lanes.move(Xyz{});
        lanes.scatterChart(fields_, from);
    }
}

BlurredError::~BlurredError() = default;

BlurredError::Window BlurredError::around(const Change& change, int reach) const
{
    Window w{width_, height_, -1, -1};
    for (int s = 0; s < change.count; ++s) {
        const std::size_t i = change.stitches[static_cast<std::size_t>(s)];
        const int x = static_cast<int>(i % static_cast<std::size_t>(width_));
        const int y = static_cast<int>(i / static_cast<std::size_t>(width_));
        w = {std::min(w.left, x), std::min(w.top, y), std::max(w.right, x), std::max(w.bottom, y)};
    }
    return {std::max(0, w.left - reach), std::max(0, w.top - reach), std::min(width_ - 1, w.right + reach),
        std::min(height_ - 1, w.bottom + reach)};
}

namespace {

// The blur weights of the change's stitches along one axis over positions first..last: `position`
// gives a stitch's position on that axis.
template <typename Position>
AxisSpan spread(const BlurredError::Change& change, const StitchBlur::AxisWeights& axis, int first, int last,
    Position position)
{
    AxisSpan span;
    for (int s = 0; s < change.count; ++s) {
        const int from = position(change.stitches[static_cast<std::size_t>(s)]);
        for (int p = first; p <= last; ++p) {
            const int offset = p - from;
            span.weights[static_cast<std::size_t>(s)][static_cast<std::size_t>(p - first)] =
                std::abs(offset) <= StitchBlur::kRadius
                ? axis[static_cast<std::size_t>(from)][static_cast<std::size_t>(offset + StitchBlur::kRadius)]
                : 0.0f;
        }
    }
    return span;
}

// The change's blur weights across and down the window `w` of a chart `width` stitches wide.
std::pair<AxisSpan, AxisSpan> spreads(const BlurredError::Change& change, const BlurredError::Window& w, int width,
    const StitchBlur::AxisWeights& across, const StitchBlur::AxisWeights& down)
{
    const auto column = [width](std::size_t i) { return static_cast<int>(i % static_cast<std::size_t>(width)); };
    const auto line = [width](std::size_t i) { return static_cast<int>(i / static_cast<std::size_t>(width)); };
    return {spread(change, across, w.left, w.right, column), spread(change, down, w.top, w.bottom, line)};
}

// The change's weights in row `row` of its window, `count` stitches from its left, to `out`.
void rowWeights(const BlurredError::Change& change, const std::pair<AxisSpan, AxisSpan>& spans, int row, int count,
    float* out)
{
    const auto& [across, down] = spans;
    for (int x = 0; x < count; ++x) {
        float weight = 0;
        for (std::size_t s = 0; s < static_cast<std::size_t>(change.count); ++s)
            weight += change.signs[s] * across.weights[s][static_cast<std::size_t>(x)]
                * down.weights[s][static_cast<std::size_t>(row)];
        out[x] = weight;
    }
}

} // namespace

BlurredError::Window BlurredError::costWindow(const Change& change) const
{
    const bool swap = change.count == 2 && change.signs[0] != change.signs[1];
    if (!swap)
        return around(change, kMergeReach);
    // Across the swap the dipole is as narrow as a merge's change; along it, it reaches further.
    const Window own = around(change, 0);
    const Window along = around(change, kSwapReach);
    const Window across = around(change, kMergeReach);
    return own.top == own.bottom ? Window{along.left, across.top, along.right, across.bottom}
                 : Window{across.left, along.top, across.right, along.bottom};
}

void BlurredError::weigh(const Change& change)
{
    const Window w = costWindow(change);
    const auto spans = spreads(change, w, width_, across_, down_);
    Rows& rows = *window_;
    const int span = w.right - w.left + 1;
    int lane = 0;
    for (int y = w.top; y <= w.bottom; ++y, lane += span) {
        // A whole step, of which the next row's or the padding overwrites what lies beyond.
        rows.gather(fields_, at(w.left, y), lane);
        rowWeights(change, spans, y - w.top, span, rows.weight.data() + lane);
    }
    rows.count = lane;
    // Only the lanes that cost() works through.
    rows.clear(lane, lane <= kMergeLanes ? kMergeLanes : kSwapLanes);
}

float BlurredError::cost(const LinearRgb& colour)
{
    return window_->cost(xyzOf(colour));
}

void BlurredError::apply(const Change& change, const LinearRgb& colour)
{
    const Window w = around(change, StitchBlur::kRadius);
    const auto spans = spreads(change, w, width_, across_, down_);
    const int span = w.right - w.left + 1;
    static_assert(AxisSpan::kLongest <= kStep);
    // Stitches beyond the window's row in the step keep weight 0: their colour stays, and their
    // error is worked out again as it was.
    Lanes<kStep> row;
    for (int y = w.top; y <= w.bottom; ++y) {
        const std::size_t from = at(w.left, y);
        row.gather(fields_, from, 0);
        rowWeights(change, spans, y - w.top, span, row.weight.data());
        row.move(xyzOf(colour));
        row.scatterChart(fields_, from);
    }
}

} // namespace kanvo
