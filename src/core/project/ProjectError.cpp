#include "core/project/ProjectError.h"

#include "core/common/Translation.h"

namespace kanvo {

std::string errorText(ProjectError error)
{
    switch (error) {
    case ProjectError::None:
        return {};
    case ProjectError::CannotRead:
        return translate("ProjectError", "文件无法读取。");
    case ProjectError::TooLarge:
        return translate("ProjectError", "文件太大，不是绣图工程文件。");
    case ProjectError::NotXml:
        return translate("ProjectError", "文件不是XML格式的绣图工程。");
    case ProjectError::NoProperties:
        return translate("ProjectError", "文件中没有绣图属性(properties)。");
    case ProjectError::NoPalette:
        return translate("ProjectError", "文件中没有绣线表(palette)。");
    case ProjectError::NoFullStitches:
        return translate("ProjectError", "文件中没有全针(fullstitches)。");
    case ProjectError::BadSize:
        return translate("ProjectError", "绣图的宽和高必须在1到320针之间。");
    case ProjectError::BadPaletteItem:
        return translate("ProjectError", "绣线表中有一种绣线既没有DMC线号，也没有颜色。");
    case ProjectError::UnknownPalIndex:
        return translate("ProjectError", "有针脚使用了绣线表中没有的绣线。");
    case ProjectError::StitchOutside:
        return translate("ProjectError", "有针脚在绣图范围之外。");
    case ProjectError::BadCoordinate:
        return translate("ProjectError", "有针脚的坐标不是数字。");
    case ProjectError::NoChart:
        return translate("ProjectError", "还没有生成绣图。");
    case ProjectError::CannotWrite:
        return translate("ProjectError", "文件无法写入，原有文件没有改动。");
    }
    return {};
}

} // namespace kanvo
