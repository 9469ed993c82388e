#include "HostileCorpus.h"

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__)
#define KANVO_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KANVO_UNDER_ASAN 1
#endif
#endif

namespace kanvo::test {

namespace fs = std::filesystem;

HostileCorpus::HostileCorpus()
{
    folder_ = fs::temp_directory_path() / ("kanvo-hostile-" + std::to_string(std::random_device{}()));
    const std::string command = "/usr/bin/python3 '" KANVO_HOSTILE_GENERATOR "' '" + folder_.string() + "'";
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("cannot generate the hostile corpus: " + command);
    std::ifstream manifest(folder_ / "MANIFEST.tsv");
    std::string line;
    while (std::getline(manifest, line)) {
        std::istringstream fields(line);
        Entry e;
        std::string bmp;
        std::string picture;
        std::getline(fields, e.name, '\t');
        std::getline(fields, bmp, '\t');
        std::getline(fields, picture, '\t');
        e.bmpDecodes = bmp == "ok";
        e.pictureDecodes = picture == "ok";
        e.pictureEither = picture == "any";
        if (bmp != "ok" && bmp != "no")
            throw std::runtime_error("the program's BMP reader has one right answer for " + e.name);
        entries_.push_back(e);
    }
    if (entries_.size() < 30)
        throw std::runtime_error("the hostile corpus manifest is incomplete");
}

HostileCorpus::~HostileCorpus()
{
    std::error_code ec;
    fs::remove_all(folder_, ec);
}

std::map<std::string, std::pair<std::int64_t, std::uint64_t>> HostileCorpus::fingerprint() const
{
    std::map<std::string, std::pair<std::int64_t, std::uint64_t>> out;
    for (const auto& item : fs::recursive_directory_iterator(folder_)) {
        const std::string key = item.path().string();
        if (item.is_directory()) {
            out[key] = {-1, 0};
            continue;
        }
        std::ifstream in(item.path(), std::ios::binary);
        std::uint64_t hash = 14695981039346656037ull;
        std::int64_t size = 0;
        char c;
        while (in.get(c)) {
            hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
            ++size;
        }
        out[key] = {size, hash};
    }
    return out;
}

void limitAddressSpace(std::uint64_t bytes)
{
#if defined(KANVO_UNDER_ASAN)
    (void)bytes;
#else
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_AS, &limit);
#endif
}

} // namespace kanvo::test
