#include "core/reduce/ReductionMethod.h"

#include "core/image/ClsDIB.h"

namespace kanvo {

std::optional<int> ReductionMethod::codeForSettingsText(std::string_view text)
{
    if (text == "1bit")
        return 1;
    if (text == "灰度图片")
        return 2;
    if (text == "低分辨彩色图")
        return 3;
    if (text == "高清黑白图片")
        return 4;
    if (text == "8bit")
        return 8;
    if (text == "高分辨彩色图")
        return 16;
    if (text == "不做减色处理")
        return 0;
    return std::nullopt;
}

bool ReductionMethod::isKnownCode(int code)
{
    switch (code) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
    case 8:
    case 16:
        return true;
    default:
        return false;
    }
}

int ReductionMethod::outputDepth(int code)
{
    switch (code) {
    case 1:
        return 1;
    case 2:
    case 3:
    case 4:
        return 4;
    case 8:
    case 16:
        return 8;
    default:
        return 0;
    }
}

bool ReductionMethod::convert(int code, ClsDIB& target, const ClsDIB& source)
{
    switch (code) {
    case 16:
        return target.ddGet216C(source, true);
    case 3:
        return target.ddGet3Bit(source, true);
    case 4:
        return target.ddGet4Bit(source);
    case 2:
        return target.ddGet2Bit(source);
    case 8:
        return target.ddGet8Bit(source, true);
    case 1:
        return target.ddGet1Bit(source);
    default:
        return false;
    }
}

} // namespace kanvo
