#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace kanvo::test {

// The hostile-input corpus of tests/data/hostile/make_hostile.py, generated into a fresh temp
// folder (removed on destruction), and a fingerprint of everything in it to prove that no
// entry point changed, added or removed a file.
class HostileCorpus {
public:
    struct Entry {
        std::string name;
        bool bmpDecodes = false;     // the program's own BMP reader must decode it
        bool pictureDecodes = false; // the picture loader (BMP, JPEG, GIF) must decode it
        bool pictureEither = false;  // the loader may decode or refuse it
        [[nodiscard]] std::filesystem::path path(const std::filesystem::path& folder) const
        {
            return folder / std::filesystem::u8path(name);
        }
    };

    HostileCorpus();
    ~HostileCorpus();
    HostileCorpus(const HostileCorpus&) = delete;
    HostileCorpus& operator=(const HostileCorpus&) = delete;

    [[nodiscard]] const std::filesystem::path& folder() const { return folder_; }
    [[nodiscard]] const std::vector<Entry>& entries() const { return entries_; }
    // Path -> (size, FNV-1a of the bytes) of every file below folder(); folders map to (-1, 0).
    [[nodiscard]] std::map<std::string, std::pair<std::int64_t, std::uint64_t>> fingerprint() const;

private:
    std::filesystem::path folder_;
    std::vector<Entry> entries_;
};

// Keeps the process under `bytes` of address space (RLIMIT_AS), so an entry point that tries to
// allocate a giant picture fails the test instead of swapping. Not applied under AddressSanitizer,
// whose shadow memory needs terabytes of address space.
void limitAddressSpace(std::uint64_t bytes);

} // namespace kanvo::test
