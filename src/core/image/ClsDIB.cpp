#include "core/image/ClsDIB.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <utility>

#include "core/common/AtomicFile.h"
#include "core/image/BmpCodec.h"
#include "core/image/DitherConverter.h"

namespace kanvo {

namespace {

// Handles stand in for the drawing surface of a bitmap: unique per bitmap made in this run, so
// that callers can tell buffers apart and test for "holds a bitmap".
int nextHandle()
{
    static std::atomic<int> counter{0};
    int id = ++counter;
    if (id <= 0) { // wrapped after two billion bitmaps: start again above 0
        counter = 1;
        id = 1;
    }
    return id;
}

bool validBitCount(int bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

std::uint32_t readRaw(const std::uint8_t* row, int x, int bits)
{
    switch (bits) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (x & 1) ? (row[x >> 1] & 0x0Fu) : (row[x >> 1] >> 4);
    case 8: return row[x];
    case 16: return row[2 * x] | (static_cast<std::uint32_t>(row[2 * x + 1]) << 8);
    case 24: {
        const std::uint8_t* p = row + 3 * x;
        return p[0] | (static_cast<std::uint32_t>(p[1]) << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
    }
    default: {
        const std::uint8_t* p = row + 4 * x;
        return p[0] | (static_cast<std::uint32_t>(p[1]) << 8) | (static_cast<std::uint32_t>(p[2]) << 16)
            | (static_cast<std::uint32_t>(p[3]) << 24);
    }
    }
}

void writeRaw(std::uint8_t* row, int x, int bits, std::uint32_t value)
{
    switch (bits) {
    case 1: {
        const auto mask = static_cast<std::uint8_t>(0x80u >> (x & 7));
        row[x >> 3] = static_cast<std::uint8_t>((value & 1u) ? (row[x >> 3] | mask) : (row[x >> 3] & ~mask));
        break;
    }
    case 4:
        if (x & 1) {
            row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0xF0u) | (value & 0x0Fu));
        } else {
            row[x >> 1] = static_cast<std::uint8_t>((row[x >> 1] & 0x0Fu) | ((value & 0x0Fu) << 4));
        }
        break;
    case 8: row[x] = static_cast<std::uint8_t>(value); break;
    case 16:
        row[2 * x] = static_cast<std::uint8_t>(value);
        row[2 * x + 1] = static_cast<std::uint8_t>(value >> 8);
        break;
    case 24:
        row[3 * x] = static_cast<std::uint8_t>(value);
        row[3 * x + 1] = static_cast<std::uint8_t>(value >> 8);
        row[3 * x + 2] = static_cast<std::uint8_t>(value >> 16);
        break;
    default:
        row[4 * x] = static_cast<std::uint8_t>(value);
        row[4 * x + 1] = static_cast<std::uint8_t>(value >> 8);
        row[4 * x + 2] = static_cast<std::uint8_t>(value >> 16);
        row[4 * x + 3] = static_cast<std::uint8_t>(value >> 24);
        break;
    }
}

// A source pixel as blue | green << 8 | red << 16 (the byte order of a 24-bit pixel).
std::uint32_t rawToBgr(std::uint32_t raw, int bits, const ClsDIB& src)
{
    if (bits <= 8) {
        const ColorValue c = src.GetColorTable(static_cast<int>(raw));
        return static_cast<std::uint32_t>(blueOf(c)) | (static_cast<std::uint32_t>(greenOf(c)) << 8)
            | (static_cast<std::uint32_t>(redOf(c)) << 16);
    }
    if (bits == 16) { // 5-5-5, as an uncompressed 16-bit bitmap holds it
        const std::uint32_t b5 = raw & 31u;
        const std::uint32_t g5 = (raw >> 5) & 31u;
        const std::uint32_t r5 = (raw >> 10) & 31u;
        const auto expand = [](std::uint32_t v) { return (v << 3) | (v >> 2); };
        return expand(b5) | (expand(g5) << 8) | (expand(r5) << 16);
    }
    return raw & 0x00FFFFFFu;
}

// Nearest source index for target offset `d` of a run of `dstLen` pixels taken from `srcLen`
// source pixels: the source pixel under the centre of the target pixel.
int stretchIndex(int d, int dstLen, int srcLen)
{
    if (dstLen == srcLen) {
        return d;
    }
    return static_cast<int>((static_cast<long long>(2 * static_cast<long long>(d) + 1) * srcLen)
        / (2 * static_cast<long long>(dstLen)));
}

DibError blit(const ClsDIB& src, ClsDIB& dst, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH)
{
    if (src.empty() || dst.empty()) {
        return DibError::Empty;
    }
    if (w < 0 || h < 0 || srcW < 0 || srcH < 0) {
        return DibError::Corrupt;
    }
    const int sb = src.ColorBit();
    const int db = dst.ColorBit();
    if (sb != db && db != 24 && db != 32) {
        return DibError::BadBitCount;
    }
    if (w == 0 || h == 0 || srcW == 0 || srcH == 0) {
        return DibError::None;
    }
    // Copying a buffer onto itself must read the pixels as they were before the copy.
    ClsDIB copy;
    const ClsDIB* from = &src;
    if (&src == &dst) {
        copy = src;
        from = &copy;
    }
    std::span<const std::uint8_t> sview;
    from->MapArray(sview);
    std::span<std::uint8_t> dview;
    dst.MapArray(dview);
    const int sStride = from->stride();
    const int dStride = dst.stride();
    const bool byteAligned = sb == db && sb >= 8 && w == srcW;
    for (int dy = 0; dy < h; ++dy) {
        const long long ty = static_cast<long long>(y) + dy;
        if (ty < 0 || ty >= dst.Height()) {
            continue;
        }
        const long long sy = static_cast<long long>(srcY) + stretchIndex(dy, h, srcH);
        if (sy < 0 || sy >= from->Height()) {
            continue;
        }
        const std::uint8_t* srow = sview.data() + static_cast<std::size_t>(from->Height() - 1 - sy) * sStride;
        std::uint8_t* drow = dview.data() + static_cast<std::size_t>(dst.Height() - 1 - ty) * dStride;
        if (byteAligned) {
            // Unscaled rows of whole-byte pixels: one copy of the clipped span.
            long long first = std::max({0LL, -static_cast<long long>(x), -static_cast<long long>(srcX)});
            long long last = std::min({static_cast<long long>(w), static_cast<long long>(dst.Width()) - x,
                static_cast<long long>(from->Width()) - srcX});
            if (last > first) {
                const int bytes = sb / 8;
                std::memmove(drow + (x + first) * bytes, srow + (srcX + first) * bytes,
                    static_cast<std::size_t>((last - first) * bytes));
            }
            continue;
        }
        for (int dx = 0; dx < w; ++dx) {
            const long long tx = static_cast<long long>(x) + dx;
            if (tx < 0 || tx >= dst.Width()) {
                continue;
            }
            const long long sx = static_cast<long long>(srcX) + stretchIndex(dx, w, srcW);
            if (sx < 0 || sx >= from->Width()) {
                continue;
            }
            std::uint32_t value = readRaw(srow, static_cast<int>(sx), sb);
            if (sb != db) {
                value = rawToBgr(value, sb, *from);
            }
            writeRaw(drow, static_cast<int>(tx), db, value);
        }
    }
    return DibError::None;
}

} // namespace

ClsDIB::ClsDIB(const ClsDIB& other)
    : handle_(other.handle_ != 0 ? nextHandle() : 0)
    , width_(other.width_)
    , height_(other.height_)
    , bitCount_(other.bitCount_)
    , stride_(other.stride_)
    , pixels_(other.pixels_)
    , palette_(other.palette_)
    , lastError_(other.lastError_)
{
}

ClsDIB& ClsDIB::operator=(const ClsDIB& other)
{
    if (this != &other) {
        ClsDIB copy(other);
        *this = std::move(copy);
    }
    return *this;
}

ClsDIB::ClsDIB(ClsDIB&& other) noexcept
    : handle_(std::exchange(other.handle_, 0))
    , width_(std::exchange(other.width_, 0))
    , height_(std::exchange(other.height_, 0))
    , bitCount_(std::exchange(other.bitCount_, 0))
    , stride_(std::exchange(other.stride_, 0))
    , pixels_(std::move(other.pixels_))
    , palette_(std::move(other.palette_))
    , lastError_(other.lastError_)
{
    other.pixels_.clear();
    other.palette_.clear();
}

ClsDIB& ClsDIB::operator=(ClsDIB&& other) noexcept
{
    if (this != &other) {
        handle_ = std::exchange(other.handle_, 0);
        width_ = std::exchange(other.width_, 0);
        height_ = std::exchange(other.height_, 0);
        bitCount_ = std::exchange(other.bitCount_, 0);
        stride_ = std::exchange(other.stride_, 0);
        pixels_ = std::move(other.pixels_);
        palette_ = std::move(other.palette_);
        lastError_ = other.lastError_;
        other.pixels_.clear();
        other.palette_.clear();
    }
    return *this;
}

std::optional<int> ClsDIB::strideFor(int width, int bitCount)
{
    if (!validBitCount(bitCount) || width < 0) {
        return std::nullopt;
    }
    const long long w = width;
    long long stride = 0;
    switch (bitCount) {
    case 1: stride = ((w + 7) / 8 + 3) / 4 * 4; break;
    case 4: stride = ((w + 1) / 2 + 3) / 4 * 4; break;
    case 8: stride = (w + 3) / 4 * 4; break;
    case 16: stride = (2 * w + 3) / 4 * 4; break;
    case 24: stride = (3 * w + 3) / 4 * 4; break;
    default: stride = 4 * w; break;
    }
    if (stride > std::numeric_limits<int>::max()) {
        return std::nullopt;
    }
    return static_cast<int>(stride);
}

bool ClsDIB::Create(int width, int height, int bitCount, bool clear)
{
    Free();
    if (!validBitCount(bitCount)) {
        lastError_ = DibError::BadBitCount;
        return false;
    }
    if (width < 1 || height < 1) {
        lastError_ = DibError::Corrupt;
        return false;
    }
    const auto stride = strideFor(width, bitCount);
    if (!stride || static_cast<long long>(*stride) * height > std::numeric_limits<int>::max()) {
        lastError_ = DibError::Overflow;
        return false;
    }
    try {
        pixels_.assign(static_cast<std::size_t>(*stride) * static_cast<std::size_t>(height), 0);
        palette_.assign(bitCount <= 8 ? (std::size_t{1} << bitCount) : 0, 0);
    } catch (const std::bad_alloc&) {
        pixels_ = {};
        palette_ = {};
        lastError_ = DibError::TooLarge;
        return false;
    }
    width_ = width;
    height_ = height;
    bitCount_ = bitCount;
    stride_ = *stride;
    handle_ = nextHandle();
    if (clear) {
        Cls();
    }
    lastError_ = DibError::None;
    return true;
}

void ClsDIB::Free()
{
    if (handle_ == 0) {
        return;
    }
    handle_ = 0;
    width_ = 0;
    height_ = 0;
    bitCount_ = 0;
    stride_ = 0;
    pixels_ = {};
    palette_ = {};
}

void ClsDIB::Cls()
{
    std::fill(pixels_.begin(), pixels_.end(), std::uint8_t{0});
}

ColorValue ClsDIB::GetColorTable(int index) const
{
    if (index < 0 || index >= static_cast<int>(palette_.size())) {
        return 0;
    }
    return palette_[static_cast<std::size_t>(index)];
}

bool ClsDIB::SetColorTable(int index, ColorValue color)
{
    if (index < 0 || index >= static_cast<int>(palette_.size())) {
        return false;
    }
    palette_[static_cast<std::size_t>(index)] = color & 0x00FFFFFFu;
    return true;
}

int ClsDIB::MapArray(std::span<std::uint8_t>& view)
{
    view = std::span<std::uint8_t>(pixels_);
    return stride_;
}

int ClsDIB::MapArray(std::span<const std::uint8_t>& view) const
{
    view = std::span<const std::uint8_t>(pixels_);
    return stride_;
}

std::span<std::uint8_t> ClsDIB::rowFromTop(int r)
{
    if (r < 0 || r >= height_) {
        return {};
    }
    return std::span<std::uint8_t>(pixels_).subspan(static_cast<std::size_t>(height_ - 1 - r) * stride_,
        static_cast<std::size_t>(stride_));
}

std::span<const std::uint8_t> ClsDIB::rowFromTop(int r) const
{
    if (r < 0 || r >= height_) {
        return {};
    }
    return std::span<const std::uint8_t>(pixels_).subspan(static_cast<std::size_t>(height_ - 1 - r) * stride_,
        static_cast<std::size_t>(stride_));
}

ColorValue ClsDIB::pixel24(int x, int yFromTop) const
{
    if (bitCount_ != 24 || x < 0 || x >= width_ || yFromTop < 0 || yFromTop >= height_) {
        return 0;
    }
    const std::uint8_t* p = rowFromTop(yFromTop).data() + 3 * x;
    return makeColor(p[2], p[1], p[0]);
}

void ClsDIB::setPixel24(int x, int yFromTop, ColorValue color)
{
    if (bitCount_ != 24 || x < 0 || x >= width_ || yFromTop < 0 || yFromTop >= height_) {
        return;
    }
    std::uint8_t* p = rowFromTop(yFromTop).data() + 3 * x;
    p[0] = static_cast<std::uint8_t>(blueOf(color));
    p[1] = static_cast<std::uint8_t>(greenOf(color));
    p[2] = static_cast<std::uint8_t>(redOf(color));
}

bool ClsDIB::GethDC(const ClsDIB& src, int x, int y, int w, int h, int srcX, int srcY)
{
    const int ww = w == 0 ? width_ : w;
    const int hh = h == 0 ? height_ : h;
    lastError_ = blit(src, *this, x, y, ww, hh, srcX, srcY, ww, hh);
    return lastError_ == DibError::None;
}

bool ClsDIB::GethDCEx(const ClsDIB& src, int x, int y, int w, int h, int srcX, int srcY, int srcW, int srcH)
{
    const int ww = w == 0 ? width_ : w;
    const int hh = h == 0 ? height_ : h;
    lastError_ = blit(src, *this, x, y, ww, hh, srcX, srcY, srcW == 0 ? ww : srcW, srcH == 0 ? hh : srcH);
    return lastError_ == DibError::None;
}

bool ClsDIB::PuthDC(ClsDIB& out, int x, int y, int w, int h, int meX, int meY) const
{
    const int ww = w == 0 ? width_ : w;
    const int hh = h == 0 ? height_ : h;
    lastError_ = blit(*this, out, x, y, ww, hh, meX, meY, ww, hh);
    return lastError_ == DibError::None;
}

bool ClsDIB::PuthDCEx(ClsDIB& out, int x, int y, int w, int h, int meX, int meY, int meW, int meH) const
{
    lastError_ = blit(*this, out, x, y, w == 0 ? width_ : w, h == 0 ? height_ : h, meX, meY,
        meW == 0 ? width_ : meW, meH == 0 ? height_ : meH);
    return lastError_ == DibError::None;
}

bool ClsDIB::LoadBitMap(const std::string& fileName)
{
    // Only a regular file can hold a picture: a folder would report a giant size, and opening a
    // named pipe or a device would block or read without end.
    std::error_code statusError;
    if (!std::filesystem::is_regular_file(fileName, statusError)) {
        lastError_ = DibError::OpenFailed;
        return false;
    }
    std::ifstream in(fileName, std::ios::binary);
    if (!in) {
        lastError_ = DibError::OpenFailed;
        return false;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0) {
        lastError_ = DibError::ReadFailed;
        return false;
    }
    if (size > BmpCodec::kMaxFileBytes) {
        lastError_ = DibError::TooLarge;
        return false;
    }
    in.seekg(0, std::ios::beg);
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        lastError_ = DibError::TooLarge;
        return false;
    }
    if (!bytes.empty() && !in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        lastError_ = DibError::ReadFailed;
        return false;
    }
    return loadFromMemory(bytes);
}

bool ClsDIB::loadFromMemory(std::span<const std::uint8_t> bytes)
{
    ClsDIB decoded;
    const DibError error = BmpCodec::decode(bytes, decoded);
    lastError_ = error;
    if (error != DibError::None) {
        return false;
    }
    *this = std::move(decoded);
    lastError_ = DibError::None;
    return true;
}

std::vector<std::uint8_t> ClsDIB::encodeBmp() const
{
    return BmpCodec::encode(*this);
}

bool ClsDIB::SaveBMP(const std::string& fileName) const
{
    if (empty()) {
        lastError_ = DibError::Empty;
        return false;
    }
    const std::vector<std::uint8_t> bytes = encodeBmp();
    if (!writeFileAtomically(fileName, bytes)) {
        lastError_ = DibError::WriteFailed;
        return false;
    }
    lastError_ = DibError::None;
    return true;
}

bool ClsDIB::ddGet1Bit(const ClsDIB& src) { return DitherConverter::toOneBit(src, *this); }
bool ClsDIB::ddGet2Bit(const ClsDIB& src) { return DitherConverter::toTwoBit(src, *this); }
bool ClsDIB::ddGet3Bit(const ClsDIB& src, bool ddRotate) { return DitherConverter::toThreeBit(src, *this, ddRotate); }
bool ClsDIB::ddGet4Bit(const ClsDIB& src) { return DitherConverter::toFourBit(src, *this); }
bool ClsDIB::ddGet216C(const ClsDIB& src, bool ddRotate) { return DitherConverter::to216(src, *this, ddRotate); }
bool ClsDIB::ddGet8Bit(const ClsDIB& src, bool ddRotate) { return DitherConverter::toEightBit(src, *this, ddRotate); }
bool ClsDIB::ddGet16Bit(const ClsDIB& src, bool ddRotate)
{
    return DitherConverter::toSixteenBit(src, *this, ddRotate);
}

} // namespace kanvo
