#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace kanvo {

// A file written so that a reader sees either the old file or the complete new one: the bytes
// go to a temporary file in the same folder as they come, and commit() flushes it to disk and
// renames it over the target. Until commit() succeeds nothing at the target changes; a writer
// destroyed before that (or after any failure) removes its temporary file.
//
// Lets a large file be written in pieces as it is produced, without first building it whole in
// memory. The first failure sticks: later calls do nothing and return false, and error() holds
// a one-line reason with the system's error text.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    [[nodiscard]] bool write(std::span<const std::uint8_t> bytes);
    [[nodiscard]] bool commit();

    [[nodiscard]] const std::string& error() const { return error_; }

private:
    bool fail(const std::string& what, int code);
    void discard();

    std::string path_;
    std::string tempName_;
    std::string error_;
    int fd_ = -1;
    bool committed_ = false;
};

} // namespace kanvo
