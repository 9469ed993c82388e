// kanvo-cli reduce: loads a BMP, runs one ordered-dither converter, saves the result.

#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "CommandLine.h"
#include "Commands.h"
#include "core/image/ClsDIB.h"

namespace kanvo::cli {

namespace {

enum class Method { OneBit, TwoBit, ThreeBit, FourBit, Web216, EightBit, SixteenBit };

struct MethodName {
    std::string_view name;
    Method method;
    bool rotates; // whether --no-rotate applies
};

constexpr MethodName kMethods[] = {
    {"1bit", Method::OneBit, false},
    {"2bit", Method::TwoBit, false},
    {"3bit", Method::ThreeBit, true},
    {"4bit", Method::FourBit, false},
    {"216", Method::Web216, true},
    {"8bit", Method::EightBit, true},
    {"16bit", Method::SixteenBit, true},
};

int fail(const std::string& message) { return reportFailure("reduce", message); }
int usageError(const std::string& message) { return reportUsageError("reduce", message); }

bool runMethod(Method method, bool rotate, const ClsDIB& src, ClsDIB& out)
{
    switch (method) {
    case Method::OneBit: return out.ddGet1Bit(src);
    case Method::TwoBit: return out.ddGet2Bit(src);
    case Method::ThreeBit: return out.ddGet3Bit(src, rotate);
    case Method::FourBit: return out.ddGet4Bit(src);
    case Method::Web216: return out.ddGet216C(src, rotate);
    case Method::EightBit: return out.ddGet8Bit(src, rotate);
    case Method::SixteenBit: return out.ddGet16Bit(src, rotate);
    }
    return false;
}

} // namespace

int runReduce(CommandArgs args)
{
    std::optional<std::string> methodName;
    std::optional<std::string> input;
    std::optional<std::string> output;
    bool rotate = true;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--method" || arg == "-o") {
            if (i + 1 >= args.size()) {
                return usageError("option " + arg + " needs a value");
            }
            (arg == "--method" ? methodName : output) = args[++i];
        } else if (arg == "--no-rotate") {
            rotate = false;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return usageError("unknown option \"" + arg + "\"");
        } else if (input) {
            return usageError("more than one input file given");
        } else {
            input = arg;
        }
    }
    if (!methodName) {
        return usageError("missing --method (1bit, 2bit, 3bit, 4bit, 216, 8bit or 16bit)");
    }
    const MethodName* method = nullptr;
    for (const MethodName& m : kMethods) {
        if (m.name == *methodName) {
            method = &m;
        }
    }
    if (method == nullptr) {
        return usageError("unknown method \"" + *methodName + "\" (use 1bit, 2bit, 3bit, 4bit, 216, 8bit or 16bit)");
    }
    if (!rotate && !method->rotates) {
        return usageError("--no-rotate does not apply to method " + *methodName);
    }
    if (!input) {
        return usageError("missing input file");
    }
    if (!output || output->empty()) {
        return usageError("missing output file (-o OUT.bmp)");
    }

    ClsDIB picture;
    if (!picture.LoadBitMap(*input)) {
        return fail("cannot read \"" + *input + "\": " + std::string(errorText(picture.lastError())));
    }
    ClsDIB reduced;
    if (!runMethod(method->method, rotate, picture, reduced)) {
        return fail("conversion failed: " + std::string(errorText(reduced.lastError())));
    }
    if (!reduced.SaveBMP(*output)) {
        return fail("cannot write \"" + *output + "\": " + std::string(errorText(reduced.lastError())));
    }
    return 0;
}

} // namespace kanvo::cli
