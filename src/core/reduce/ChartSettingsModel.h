#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/reduce/ThreadPaletteReducer.h"

namespace kanvo {

struct RunState;

// Everything the chart settings window shows and collects, without Qt: the lists and defaults of
// its boxes, what it shows when it opens, the check of the typed entries and the write of the
// accepted choices into the run state.
class ChartSettingsModel {
public:
    // --- lists and defaults ---
    static constexpr int kSliderMin = 1;
    static constexpr int kSliderMax = 300;
    static constexpr int kSliderLargeStep = 10;
    static constexpr int kBlockMin = 1;      // smallest block side accepted, in stitches
    static constexpr int kBlockMax = 320;    // largest block side: the widest chart
    static constexpr int kStrengthMax = 9999; // strength x 20 then covers every colour distance
    static constexpr std::string_view kTitlePlaceholder = "给你的绣图起个名字";

    [[nodiscard]] static std::vector<std::string> brandChoices();   // "DMC", "CC"
    [[nodiscard]] static std::vector<std::string> methodChoices();  // six texts, "精选绣线" last
    [[nodiscard]] static std::vector<std::string> blockChoices();   // "16" .. "6"
    [[nodiscard]] static std::vector<std::string> yesNoChoices();   // "是", "否"
    [[nodiscard]] static std::string defaultMethod() { return "高分辨彩色图"; }
    [[nodiscard]] static std::string defaultBlock() { return "10"; }

    // True when the method text selects "精选绣线", whose own settings are then shown.
    [[nodiscard]] static bool showsThreadSettings(std::string_view methodText);

    // --- opening the window ---
    struct Opening {
        std::string strengthText; // mergeTol / 20 as text ("0", "12", "12.5", "500")
        int sliderPosition = kSliderMax; // 300 - nearest(mergeTol / 20), kept within 1..300
        bool strengthBeyondSlider = false; // the strength cannot be shown by the slider
    };
    [[nodiscard]] static Opening opening(int mergeTol);

    // The strength shown for a slider position (300 - position) as text.
    [[nodiscard]] static std::string strengthForSlider(int position);
    // The slider position for a strength typed into its box: where the window would open with
    // that strength (300 - the strength rounded, within 1..300). nullopt when the text is no
    // number; the slider then stays where it is.
    [[nodiscard]] static std::optional<int> sliderForStrength(std::string_view text);

    // --- OK ---
    enum class Field { BlockWidth, BlockHeight, Strength };
    enum class Error { None, NotANumber, OutOfRange };

    // The texts of the window's boxes when OK is pressed.
    struct Entries {
        std::string title;    // Text1
        std::string brand;    // Combo1
        std::string method;   // Combo3
        std::string autoReduce; // Combo2, "是" / "否"
        std::string keepColoursOnZoom; // Combo6, collected but steering nothing
        std::string blockWidth;  // Combo4
        std::string blockHeight; // Combo5
        std::string strength;    // Text2
        ThreadReductionSettings threads; // the "精选绣线" boxes, shown or not
    };

    // The texts the window opens with: the values in force in `state` (the defaults before the
    // first OK), so that OK after changing one thing keeps the others. Title and brand are the
    // ones the next chart of the picture gets (settingsTitle and settingsBrand while the chart
    // model holds a project's chart). The strength is
    // opening(mergeTol).strengthText; the zoom choice, kept nowhere in the run state, is "否".
    [[nodiscard]] static Entries inForce(const RunState& state);

    // The values OK writes, checked and ready.
    struct Choice {
        std::string xiutuTitle;
        std::string whichType;
        int autoColor = 0;
        std::optional<int> colorBit; // empty: the method text selects nothing, ColorBit stays
        int blockW = 10;
        int blockH = 10;
        int mergeTol = 0;
        ThreadReductionSettings threadReduction; // kept within its ranges
    };

    struct Verdict {
        std::optional<Choice> choice; // set when every entry is valid
        Field field = Field::BlockWidth; // the first faulty entry when choice is empty
        Error error = Error::None;
    };

    // Checks all entries before anything is written. Block sizes must be whole numbers from 1 to
    // 320, the strength a number from 0 to 9999 (a fraction is rounded half to even, the way the
    // window shows fractional strengths set elsewhere). Blanks around a number are ignored.
    [[nodiscard]] static Verdict check(const Entries& entries);

    // Writes an accepted choice in the window's order: title and brand into the chart model (into
    // settingsTitle and settingsBrand while it holds a project's chart),
    // then autoColor, ColorBit (only when the method text selected one), blockW, blockH, mergeTol,
    // and the "精选绣线" settings, which are kept for the run whichever method is chosen.
    static void apply(const Choice& choice, RunState& state);

    // The message for a rejected entry, naming the field and the accepted range.
    [[nodiscard]] static std::string errorText(Field field, Error error);

    // Parses a decimal number ("12", " 12 ", "12.5", "+3"); nothing for anything else.
    [[nodiscard]] static std::optional<double> parseNumber(std::string_view text);
};

} // namespace kanvo
