#include "core/common/AtomicFile.h"

#include "core/common/AtomicFileWriter.h"

namespace kanvo {

bool writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, std::string* error)
{
    AtomicFileWriter file(path);
    const bool ok = file.write(bytes) && file.commit();
    if (!ok && error != nullptr)
        *error = file.error();
    return ok;
}

} // namespace kanvo
