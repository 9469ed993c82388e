#include <gtest/gtest.h>

#include <string>

#include "core/sources/PictureNameRule.h"

using kanvo::PictureNameRule;

namespace {

struct NameCase {
    std::string name;
    bool chooserPreviews; // lower case only
    bool galleryPreviews; // lower or upper case
};

class PictureNameRuleTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(PictureNameRuleTest, PreviewDependsOnTheLastThreeCharacters)
{
    const NameCase& c = GetParam();
    EXPECT_EQ(PictureNameRule::showsPreview(c.name, PictureNameRule::Case::LowerOnly), c.chooserPreviews)
        << c.name;
    EXPECT_EQ(PictureNameRule::showsPreview(c.name, PictureNameRule::Case::LowerOrUpper), c.galleryPreviews)
        << c.name;
}

INSTANTIATE_TEST_SUITE_P(Names, PictureNameRuleTest,
                         ::testing::Values(NameCase{"cat.bmp", true, true}, NameCase{"cat.jpg", true, true},
                                           NameCase{"cat.gif", true, true}, NameCase{"CAT.JPG", false, true},
                                           NameCase{"cat.BMP", false, true}, NameCase{"cat.GIF", false, true},
                                           NameCase{"cat.Jpg", false, false}, NameCase{"cat.jPG", false, false},
                                           NameCase{"cat.jpeg", false, false}, NameCase{"cat.png", true, true},
                                           NameCase{"CAT.PNG", false, true}, NameCase{"cat.Png", false, false},
                                           // No dot is needed: only the last three characters count.
                                           NameCase{"catjpg", true, true}, NameCase{"jpg", true, true},
                                           NameCase{"pg", false, false}, NameCase{"", false, false},
                                           NameCase{"logo.dll", false, false},
                                           NameCase{"/home/x/猫.gif", true, true},
                                           NameCase{"猫.GIF", false, true}, NameCase{"gif.txt", false, false}));

// The file chooser's list: the extension of a type the program opens, in any case, after a name.
struct ListCase {
    std::string name;
    bool listed;
};

class PictureListRuleTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(PictureListRuleTest, ListsTheTypesTheProgramOpens)
{
    EXPECT_EQ(PictureNameRule::isPictureName(GetParam().name), GetParam().listed) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Names, PictureListRuleTest,
                         ::testing::Values(ListCase{"a.bmp", true}, ListCase{"a.JPG", true}, ListCase{"a.Jpeg", true},
                                           ListCase{"a.gif", true}, ListCase{"a.pNg", true},
                                           ListCase{"/路径/猫.PNG", true}, ListCase{"a.jpe", false},
                                           ListCase{"apng", false}, ListCase{"a.png.txt", false},
                                           ListCase{".png", false}, ListCase{"logo.dll", false},
                                           ListCase{"a.tif", false}, ListCase{"", false}));

} // namespace
