#include "support/TreeBuilder.h"

#include "support/TempDir.h"

#include <algorithm>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>

void MakeFile(const std::filesystem::path& file, std::string_view content, std::int64_t unixSeconds)
{
    std::filesystem::create_directories(file.parent_path());
    WriteFileBytes(file, content);
    if (unixSeconds != 0)
        SetModified(file, unixSeconds);
}

void SetModified(const std::filesystem::path& file, std::int64_t unixSeconds)
{
    const timespec times[2] = {{unixSeconds, 0}, {unixSeconds, 0}};
    ::utimensat(AT_FDCWD, file.c_str(), times, 0);
}

std::int64_t ModifiedOf(const std::filesystem::path& file)
{
    struct stat st
    {
    };
    ::stat(file.c_str(), &st);
    return st.st_mtim.tv_sec;
}

std::vector<std::string> TreeOf(const std::filesystem::path& root)
{
    std::vector<std::string> entries;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(root, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        std::string rel = it->path().lexically_relative(root).string();
        if (it->is_directory(error) && !it->is_symlink(error))
            rel += "/";
        entries.push_back(rel);
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

std::string Noise(std::size_t length, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(length, '\0');
    for (char& c : bytes)
        c = static_cast<char>(generator() & 0xff);
    return bytes;
}
