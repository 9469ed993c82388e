#pragma once

#include <QIcon>
#include <QString>

namespace kanvo {

// What the program says about itself: its name and version (the same as kanvo-cli's), its
// homepage and its icon, for "--version", "关于十字绣Kanvo" and every window's frame.
class ProgramInfo {
public:
    // "kanvo", the name "--version" prints.
    [[nodiscard]] static QString commandName();
    // "0.1.0": the project's version, as kanvo-cli --version prints it.
    [[nodiscard]] static QString version();
    // The project's homepage, as the package names it.
    [[nodiscard]] static QString homepage();
    // The program's icon in every size it ships (16 to 256 pixels), built into the program so
    // that windows have it wherever the program runs from.
    [[nodiscard]] static QIcon icon();
};

} // namespace kanvo
