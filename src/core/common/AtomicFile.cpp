#include "core/common/AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kanvo {

namespace {

void setError(std::string* error, const std::string& what, int code)
{
    if (error != nullptr) {
        *error = what + ": " + std::strerror(code);
    }
}

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

} // namespace

bool writeFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes, std::string* error)
{
    if (path.empty() || path.back() == '/') {
        setError(error, "cannot write \"" + path + "\"", EISDIR);
        return false;
    }
    // The temporary file must live in the target's folder: rename() is atomic only within one
    // file system.
    std::string pattern = path + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        setError(error, "cannot create a file in \"" + folderOf(path) + "\"", errno);
        return false;
    }
    const std::string tempName(name.data());

    auto fail = [&](const std::string& what, int code) {
        ::close(fd);
        ::unlink(tempName.c_str());
        setError(error, what, code);
        return false;
    };

    // mkstemp makes the file private (0600); a saved picture should get the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd, 0666 & ~mask) != 0) {
        return fail("cannot set the permissions of \"" + tempName + "\"", errno);
    }

    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return fail("cannot write \"" + path + "\"", errno);
        }
        written += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) {
        return fail("cannot flush \"" + path + "\"", errno);
    }
    if (::close(fd) != 0) {
        const int code = errno;
        ::unlink(tempName.c_str());
        setError(error, "cannot close \"" + path + "\"", code);
        return false;
    }
    if (::rename(tempName.c_str(), path.c_str()) != 0) {
        const int code = errno;
        ::unlink(tempName.c_str());
        setError(error, "cannot replace \"" + path + "\"", code);
        return false;
    }
    return true;
}

} // namespace kanvo
