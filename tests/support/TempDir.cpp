#include "support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <sys/stat.h>

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tresorio-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code error;
    // Tests take write permission away from folders; give it back so that everything goes.
    for (auto it = std::filesystem::recursive_directory_iterator(m_path, error);
         it != std::filesystem::recursive_directory_iterator(); it.increment(error))
        if (it->is_directory(error))
            ::chmod(it->path().c_str(), 0700);
    ::chmod(m_path.c_str(), 0700);
    std::filesystem::remove_all(m_path, error);
}

std::string ReadFileBytes(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::filesystem::path& file, std::string_view bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
