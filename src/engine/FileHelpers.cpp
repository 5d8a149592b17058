#include "engine/FileHelpers.h"

namespace {

constexpr std::int32_t ErrorAlreadyExists = 183;

bool folderExists(FileSystem& fs, const std::string& path)
{
    const auto entry = fs.Stat(path);
    return entry && entry->folder;
}

constexpr std::int32_t ErrorFileNotFound = 2;
constexpr std::int32_t ErrorPathNotFound = 3;

// The target's folder is created when the operation finds it missing (asking before every file
// would cost a look-up per file); a target that stood in the way is cleared once.
template <typename Operation> FileResult withRetry(FileSystem& fs, const std::string& target, Operation operation)
{
    FileResult first = operation();
    const std::string folder = FolderOf(target);
    const bool missing = first.code == ErrorFileNotFound || first.code == ErrorPathNotFound;
    // Another copy may have made the folder in the meantime; once it is there, try again.
    if (missing && !folder.empty() && (folderExists(fs, folder) || ForceDestination(fs, folder).ok()))
        first = operation();
    if (first.ok())
        return first;
    fs.MakeWritable(target);
    if (!fs.DeleteFile(target).ok())
        return first;
    return operation();
}

} // namespace

std::string AddSlash(const std::string& path)
{
    return !path.empty() && path.back() == '/' ? path : path + "/";
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

FileResult ForceDestination(FileSystem& fs, const std::string& path)
{
    if (folderExists(fs, path))
        return {};
    const std::string full = AddSlash(path);
    std::string current = full.front() == '/' ? "/" : "";
    std::size_t start = current.size();
    while (start < full.size()) {
        const std::size_t end = full.find('/', start);
        const std::string element = full.substr(start, end - start);
        start = end + 1;
        if (element.empty())
            continue;
        current += element + "/";
        if (folderExists(fs, current))
            continue;
        const FileResult made = fs.CreateFolder(current);
        if (!made.ok() && made.code != ErrorAlreadyExists)
            return made;
    }
    return {};
}

FileResult CopyFileRetry(FileSystem& fs, const std::string& source, const std::string& target)
{
    return withRetry(fs, target, [&] { return fs.CopyFile(source, target); });
}

FileResult MoveFileRetry(FileSystem& fs, const std::string& source, const std::string& target)
{
    return withRetry(fs, target, [&] { return fs.MoveFile(source, target); });
}

void EraseFolderContents(FileSystem& fs, const std::string& folder)
{
    for (const FileEntry& entry : fs.ListFolder(folder)) {
        const std::string path = folder + entry.name;
        if (entry.folder) {
            if (entry.hidden)
                continue;
            EraseFolderContents(fs, path + "/");
            fs.RemoveFolder(path);
        } else if (!fs.DeleteFile(path).ok()) {
            fs.MakeWritable(path);
            fs.DeleteFile(path);
        }
    }
}
