#pragma once

#include <optional>

#include <QImage>
#include <QString>

class QIODevice;

namespace kanvo {

// Decodes BMP, JPEG, GIF and PNG files (recognised by content, so "logo.dll" works) into a
// QImage::Format_RGB32 picture. A file whose decoded picture would need more than
// kAllocationLimitMB megabytes is refused before any pixel memory is taken, so a tiny file
// announcing a huge picture cannot exhaust memory. GIFs give their first frame.
//
// A picture decoded only in part is refused like an undecodable one (Corrupt), never shown with
// a grey or empty remainder: BMP files are read by the program's own reader (ClsDIB), a JPEG the
// decoder reports as ending early, a GIF whose first picture is cut off and a PNG with a chunk
// cut off, a checksum wrong or no IEND are refused.
class PictureDecoder {
public:
    enum class Error { None, CannotOpen, UnsupportedFormat, TooLarge, Corrupt };

    static constexpr int kAllocationLimitMB = 256;

    // Returns the picture, or empty with *error set (error may be null).
    [[nodiscard]] static std::optional<QImage> decode(const QString& path, Error* error = nullptr);
    // The same for bytes from an open, readable device (a file, or a buffer in the fuzzer).
    [[nodiscard]] static std::optional<QImage> decode(QIODevice& device, Error* error = nullptr);
    [[nodiscard]] static QString errorText(Error error);

    // The checks a PNG file passes before libpng sees it: chunks whole with right checksums from
    // IHDR first to IEND, and image data for every row the header announces.
    [[nodiscard]] static Error checkPng(const QByteArray& bytes);
};

} // namespace kanvo
