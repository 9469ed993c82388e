#include "core/palette/PaletteFile.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "core/common/AtomicFile.h"

namespace kanvo {

namespace {

constexpr std::size_t kHeaderBytes = 4;
constexpr std::size_t kRecordBytes = 8;
constexpr std::size_t kMaxFileBytes = kHeaderBytes + kRecordBytes * ThreadTable::kEntries;

[[nodiscard]] std::int32_t littleEndian32(std::span<const std::uint8_t> bytes)
{
    const std::uint32_t v = static_cast<std::uint32_t>(bytes[0])
        | (static_cast<std::uint32_t>(bytes[1]) << 8) | (static_cast<std::uint32_t>(bytes[2]) << 16)
        | (static_cast<std::uint32_t>(bytes[3]) << 24);
    return static_cast<std::int32_t>(v);
}

} // namespace

std::string errorText(PaletteFileError error)
{
    switch (error) {
    case PaletteFileError::None:
        return {};
    case PaletteFileError::CannotOpen:
        return "the palette file cannot be read";
    case PaletteFileError::MissingHeader:
        return "the palette file is shorter than its 4-byte header";
    case PaletteFileError::PartialRecord:
        return "the palette file ends inside an 8-byte record";
    case PaletteFileError::TooManyRecords:
        return "the palette file holds more than 500 records, more than the thread table holds";
    case PaletteFileError::CannotWrite:
        return "the palette text file cannot be written";
    }
    return {};
}

PaletteRecords parsePaletteFile(std::span<const std::uint8_t> bytes)
{
    PaletteRecords result;
    if (bytes.size() < kHeaderBytes) {
        result.error = PaletteFileError::MissingHeader;
        return result;
    }
    const std::size_t body = bytes.size() - kHeaderBytes;
    if (body > kRecordBytes * ThreadTable::kEntries) {
        result.error = PaletteFileError::TooManyRecords;
        return result;
    }
    if (body % kRecordBytes != 0) {
        result.error = PaletteFileError::PartialRecord;
        return result;
    }
    result.records.reserve(body / kRecordBytes);
    for (std::size_t at = kHeaderBytes; at < bytes.size(); at += kRecordBytes) {
        const auto record = bytes.subspan(at, kRecordBytes);
        result.records.push_back(ThreadColor{littleEndian32(record.first(4)), littleEndian32(record.subspan(4))});
    }
    return result;
}

std::string formatPaletteText(std::span<const ThreadColor> records)
{
    std::string text;
    int n = 0;
    for (const ThreadColor& r : records) {
        ++n;
        const std::string number = std::to_string(n);
        text += "dmc(" + number + ").color = " + std::to_string(r.color) + "\n";
        text += "dmc(" + number + ").cindex = \"" + std::to_string(r.cindex) + "\"\n";
    }
    return text;
}

ReadColorResult readColor(const std::string& palettePath, const std::string& textPath, ThreadTable& table)
{
    ReadColorResult result;
    std::ifstream in(palettePath, std::ios::binary);
    if (!in) {
        result.error = PaletteFileError::CannotOpen;
        result.detail = std::strerror(errno);
        return result;
    }
    // One byte more than the largest acceptable file is enough to tell it is too long.
    std::vector<std::uint8_t> bytes(kMaxFileBytes + 1);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        result.error = PaletteFileError::CannotOpen;
        result.detail = std::strerror(errno);
        return result;
    }
    bytes.resize(static_cast<std::size_t>(in.gcount()));

    const PaletteRecords parsed = parsePaletteFile(bytes);
    if (parsed.error != PaletteFileError::None) {
        result.error = parsed.error;
        return result;
    }
    const std::string text = formatPaletteText(parsed.records);
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    if (!writeFileAtomically(textPath, std::span<const std::uint8_t>(data, text.size()), &result.detail)) {
        result.error = PaletteFileError::CannotWrite;
        return result;
    }
    for (std::size_t i = 0; i < parsed.records.size(); ++i)
        (void)table.set(static_cast<int>(i + 1), parsed.records[i]);
    result.records = static_cast<int>(parsed.records.size());
    return result;
}

} // namespace kanvo
