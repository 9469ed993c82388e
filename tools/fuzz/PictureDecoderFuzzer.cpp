// libFuzzer target for the program's picture loader (BMP, JPEG, GIF through Qt's readers):
// any bytes must be refused with an error or give an RGB32 picture within the allocation limit,
// never a crash, a hang or an unbounded allocation.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>

#include "app/platform/PictureDecoder.h"

namespace {

QGuiApplication* application = nullptr;

void quietQtMessages(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's readers complain on stderr about every broken file; that would drown libFuzzer's output.
    qInstallMessageHandler(quietQtMessages);
    application = new QGuiApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly))
        std::abort();
    kanvo::PictureDecoder::Error error = kanvo::PictureDecoder::Error::None;
    const auto picture = kanvo::PictureDecoder::decode(buffer, &error);
    if (picture.has_value()) {
        if (error != kanvo::PictureDecoder::Error::None || picture->isNull()
            || picture->format() != QImage::Format_RGB32
            || qint64(picture->width()) * picture->height() * 4
                > qint64(kanvo::PictureDecoder::kAllocationLimitMB) * 1024 * 1024) {
            std::abort();
        }
    } else if (error == kanvo::PictureDecoder::Error::None) {
        std::abort();
    }
    return 0;
}
