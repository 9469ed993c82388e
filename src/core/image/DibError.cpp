#include "core/image/DibError.h"

namespace kanvo {

std::string_view errorText(DibError error)
{
    switch (error) {
    case DibError::None: return "no error";
    case DibError::BadBitCount: return "unsupported colour depth (bits per pixel)";
    case DibError::Overflow: return "picture size overflows";
    case DibError::TooLarge: return "picture is too large";
    case DibError::OpenFailed: return "cannot open the file";
    case DibError::ReadFailed: return "cannot read the file";
    case DibError::NotBmp: return "not a BMP file";
    case DibError::Truncated: return "the BMP file is truncated";
    case DibError::Corrupt: return "the BMP file is corrupt";
    case DibError::Unsupported: return "unsupported kind of BMP file";
    case DibError::Empty: return "the image buffer is empty";
    case DibError::WriteFailed: return "cannot write the file";
    }
    return "unknown error";
}

} // namespace kanvo
