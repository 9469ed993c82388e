#include "core/common/AtomicFileWriter.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kanvo {

namespace {

std::string folderOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

} // namespace

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path))
{
    if (path_.empty() || path_.back() == '/') {
        (void)fail("cannot write \"" + path_ + "\"", EISDIR);
        return;
    }
    // The temporary file must live in the target's folder: rename() is atomic only within one
    // file system.
    const std::string pattern = path_ + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkstemp(name.data());
    if (fd_ < 0) {
        (void)fail("cannot create a file in \"" + folderOf(path_) + "\"", errno);
        return;
    }
    tempName_ = name.data();
    // mkstemp makes the file private (0600); a saved picture should get the usual permissions.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (::fchmod(fd_, 0666 & ~mask) != 0)
        (void)fail("cannot set the permissions of \"" + tempName_ + "\"", errno);
}

AtomicFileWriter::~AtomicFileWriter()
{
    if (!committed_)
        discard();
}

bool AtomicFileWriter::write(std::span<const std::uint8_t> bytes)
{
    if (fd_ < 0)
        return false;
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail("cannot write \"" + path_ + "\"", errno);
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

bool AtomicFileWriter::commit()
{
    if (fd_ < 0)
        return committed_;
    if (::fsync(fd_) != 0)
        return fail("cannot flush \"" + path_ + "\"", errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        const int code = errno;
        discard();
        error_ = "cannot close \"" + path_ + "\": " + std::strerror(code);
        return false;
    }
    if (::rename(tempName_.c_str(), path_.c_str()) != 0) {
        const int code = errno;
        discard();
        error_ = "cannot replace \"" + path_ + "\": " + std::strerror(code);
        return false;
    }
    committed_ = true;
    return true;
}

bool AtomicFileWriter::fail(const std::string& what, int code)
{
    error_ = what + ": " + std::strerror(code);
    discard();
    return false;
}

void AtomicFileWriter::discard()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!tempName_.empty()) {
        ::unlink(tempName_.c_str());
        tempName_.clear();
    }
}

} // namespace kanvo
