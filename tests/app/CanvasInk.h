#pragma once

#include <QImage>

namespace kanvo::test {

// The rightmost column of image holding a pixel that is not white, or -1 for a blank image: a
// text cut by the canvas's edge leaves ink in its last column.
inline int rightmostInkColumn(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int x = rgb.width() - 1; x >= 0; --x)
        for (int y = 0; y < rgb.height(); ++y)
            if ((rgb.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu)
                return x;
    return -1;
}

} // namespace kanvo::test
