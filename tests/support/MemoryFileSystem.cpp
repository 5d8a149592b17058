#include "support/MemoryFileSystem.h"

#include "base/ResultCodes.h"

#include <algorithm>
#include <filesystem>

namespace {

constexpr std::uint64_t Device = 64769;
constexpr std::int64_t UnixEpochDay = 25569; // 01.01.1970 as a DateTime

// Paths name nodes without the trailing "/" of a folder, and with "." and ".." resolved.
std::string keyOf(const std::string& path)
{
    std::string key = std::filesystem::path(path).lexically_normal().string();
    while (key.size() > 1 && key.back() == '/')
        key.pop_back();
    return key;
}

std::string parentOf(const std::string& key)
{
    const std::size_t slash = key.find_last_of('/');
    return slash == 0 || slash == std::string::npos ? "/" : key.substr(0, slash);
}

std::string nameOf(const std::string& key)
{
    return key == "/" ? std::string() : key.substr(key.find_last_of('/') + 1);
}

std::string prefixOf(const std::string& key)
{
    return key == "/" ? key : key + "/";
}

std::int64_t floorDivide(std::int64_t a, std::int64_t b)
{
    return a / b - (a % b < 0 ? 1 : 0);
}

// Unix time read as local time at the two-second resolution of a DOS date-time, as the POSIX
// file system reports it.
DateTime localDosTime(std::int64_t ns)
{
    const std::int64_t ms = floorDivide(floorDivide(ns, 1'000'000), 2000) * 2000;
    return FromLinearMs(UnixEpochDay * MsPerDay + ms);
}

const Status NotFound{ResultCode::FileNotFound, "No such file or directory"};
const Status NoFolder{ResultCode::PathNotFound, "No such file or directory"};
const Status IsAFolder{ResultCode::AccessDenied, "Is a directory"};

} // namespace

void MemoryFileSystem::failOn(const std::string& path, Operation op, Status status)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_failures[{keyOf(path), op}] = std::move(status);
}

void MemoryFileSystem::addFile(const std::string& path, const std::string& content, std::int64_t mtimeUnixSeconds)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const std::string key = keyOf(path);
    makeFolders(parentOf(key));
    Node& node = m_nodes[key];
    if (node.inode == 0)
        node.inode = m_nextInode++;
    node.folder = false;
    node.content = content;
    node.mtimeNs = mtimeUnixSeconds != 0 ? mtimeUnixSeconds * 1'000'000'000 : nowNs;
    node.ctimeNs = nowNs;
}

void MemoryFileSystem::addFolder(const std::string& path)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    makeFolders(keyOf(path));
}

std::optional<std::string> MemoryFileSystem::content(const std::string& path)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const Node* node = find(keyOf(path));
    return node != nullptr && !node->folder ? std::optional(node->content) : std::nullopt;
}

bool MemoryFileSystem::exists(const std::string& path)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return find(keyOf(path)) != nullptr;
}

void MemoryFileSystem::setReadOnly(const std::string& path, bool readOnly)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (Node* node = find(keyOf(path))) {
        node->readOnly = readOnly;
        node->ctimeNs = nowNs;
    }
}

std::vector<std::string> MemoryFileSystem::tree(const std::string& root)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const std::string prefix = prefixOf(keyOf(root));
    std::vector<std::string> entries;
    for (auto it = m_nodes.lower_bound(prefix); it != m_nodes.end() && it->first.starts_with(prefix); ++it)
        if (it->first != "/")
            entries.push_back(it->first.substr(prefix.size()) + (it->second.folder ? "/" : ""));
    std::sort(entries.begin(), entries.end());
    return entries;
}

FolderListing MemoryFileSystem::ListFolder(const std::string& folder)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const std::string key = keyOf(folder);
    if (const auto failure = injected(key, Operation::List))
        return {*failure, {}};
    const Node* node = find(key);
    if (node == nullptr)
        return {NotFound, {}};
    if (!node->folder)
        return {{ResultCode::PathNotFound, "Not a directory"}, {}};
    FolderListing listing;
    const std::string prefix = prefixOf(key);
    for (auto it = m_nodes.lower_bound(prefix); it != m_nodes.end() && it->first.starts_with(prefix); ++it)
        if (it->first != "/" && it->first.find('/', prefix.size()) == std::string::npos)
            listing.entries.push_back(entryOf(it->first, it->second));
    std::sort(listing.entries.begin(), listing.entries.end(),
              [](const FileEntry& a, const FileEntry& b) { return a.name < b.name; });
    return listing;
}

std::optional<FileEntry> MemoryFileSystem::Stat(const std::string& path)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const std::string key = keyOf(path);
    const Node* node = find(key);
    if (node == nullptr || injected(key, Operation::Stat))
        return std::nullopt;
    return entryOf(key, *node);
}

std::optional<std::string> MemoryFileSystem::RealPath(const std::string& path)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const std::string key = keyOf(path);
    return find(key) != nullptr ? std::optional(key) : std::nullopt;
}

Status MemoryFileSystem::CreateFolder(const std::string& path)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const std::string key = keyOf(path);
    calls.push_back("mkdir " + prefixOf(key));
    if (const auto failure = injected(key, Operation::CreateFolder))
        return *failure;
    if (find(key) != nullptr)
        return {ResultCode::AlreadyExists, "File exists"};
    if (!isFolder(parentOf(key)))
        return NoFolder;
    m_nodes[key] = Node{true, {}, false, nowNs, nowNs, m_nextInode++};
    return {};
}

Status MemoryFileSystem::CopyFile(const std::string& source, const std::string& target)
{
    const std::string from = keyOf(source);
    const std::string to = keyOf(target);
    Node read;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        calls.push_back("copy " + from + " -> " + to);
        if (const auto failure = injected(from, Operation::Copy))
            return *failure;
        const Node* node = find(from);
        if (node == nullptr)
            return NotFound;
        if (node->folder)
            return IsAFolder;
        // The target is opened before a byte is read, as Windows does.
        if (const Status status = checkTarget(to); !status.ok())
            return status;
        read = *node;
    }
    if (beforeCopy)
        beforeCopy(source);
    const std::lock_guard<std::mutex> lock(m_mutex);
    const Node* now = find(from);
    if (now == nullptr || now->content != read.content || now->mtimeNs != read.mtimeNs)
        return {ResultCode::InUse, "während des Kopierens geändert"};
    if (const Status status = checkTarget(to); !status.ok())
        return status;
    Node& copy = m_nodes[to];
    copy = read;
    copy.ctimeNs = nowNs;
    copy.inode = m_nextInode++; // a new file, renamed into place
    return {};
}

Status MemoryFileSystem::MoveFile(const std::string& source, const std::string& target)
{
    const std::string from = keyOf(source);
    const std::string to = keyOf(target);
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        calls.push_back("move " + from + " -> " + to);
        if (const auto failure = injected(from, Operation::Move))
            return *failure;
        const Node* node = find(from);
        if (node == nullptr)
            return NotFound;
        if (node->folder) {
            if (find(to) != nullptr)
                return {145, "Directory not empty"};
            if (!isFolder(parentOf(to)))
                return NoFolder;
            moveNode(from, to);
            return {};
        }
        if (!acrossDevices) {
            if (const Status status = checkTarget(to); !status.ok())
                return status;
            moveNode(from, to);
            return {};
        }
    }
    const Status copied = CopyFile(source, target);
    return copied.ok() ? DeleteFile(source) : copied;
}

Status MemoryFileSystem::DeleteFile(const std::string& path)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const std::string key = keyOf(path);
    calls.push_back("delete " + key);
    if (const auto failure = injected(key, Operation::Delete))
        return *failure;
    const Node* node = find(key);
    if (node == nullptr)
        return NotFound;
    if (node->folder)
        return IsAFolder;
    m_nodes.erase(key);
    return {};
}

Status MemoryFileSystem::RemoveFolder(const std::string& path)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const std::string key = keyOf(path);
    calls.push_back("rmdir " + prefixOf(key));
    if (const auto failure = injected(key, Operation::Delete))
        return *failure;
    const Node* node = find(key);
    if (node == nullptr)
        return NotFound;
    if (!node->folder)
        return {ResultCode::PathNotFound, "Not a directory"};
    const auto next = m_nodes.lower_bound(prefixOf(key));
    if (key == "/" || (next != m_nodes.end() && next->first.starts_with(prefixOf(key))))
        return {145, "Directory not empty"};
    m_nodes.erase(key);
    return {};
}

Status MemoryFileSystem::MakeWritable(const std::string& path)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const std::string key = keyOf(path);
    calls.push_back("writable " + key);
    Node* node = find(key);
    if (node == nullptr)
        return NotFound;
    node->readOnly = false;
    node->ctimeNs = nowNs;
    return {};
}

Status MemoryFileSystem::MoveToTrash(const std::string& path)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const std::string key = keyOf(path);
    calls.push_back("trash " + key);
    if (const auto failure = injected(key, Operation::Trash))
        return *failure;
    if (find(key) == nullptr || key == "/")
        return NotFound;
    std::erase_if(m_nodes, [&key](const auto& n) { return n.first == key || n.first.starts_with(key + "/"); });
    return {};
}

bool MemoryFileSystem::CompareFiles(const std::string& source, const std::string& copy, bool bytewise)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const std::string from = keyOf(source);
    const Node* a = find(from);
    const Node* b = find(keyOf(copy));
    if (injected(from, Operation::Compare) || a == nullptr || b == nullptr || a->folder || b->folder)
        return false;
    return a->content.size() == b->content.size() && (!bytewise || a->content == b->content);
}

bool MemoryFileSystem::IsFileSystemRoot(const std::string& folder)
{
    return keyOf(folder) == "/";
}

void MemoryFileSystem::SyncFileSystem(const std::string&)
{
}

std::optional<std::int64_t> MemoryFileSystem::FreeSpace(const std::string&)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return freeSpace;
}

std::optional<Status> MemoryFileSystem::injected(const std::string& key, Operation op) const
{
    const auto it = m_failures.find({key, op});
    return it != m_failures.end() ? std::optional(it->second) : std::nullopt;
}

MemoryFileSystem::Node* MemoryFileSystem::find(const std::string& key)
{
    const auto it = m_nodes.find(key);
    return it != m_nodes.end() ? &it->second : nullptr;
}

bool MemoryFileSystem::isFolder(const std::string& key)
{
    const Node* node = find(key);
    return node != nullptr && node->folder;
}

void MemoryFileSystem::makeFolders(const std::string& key)
{
    if (find(key) != nullptr)
        return;
    makeFolders(parentOf(key));
    m_nodes[key] = Node{true, {}, false, nowNs, nowNs, m_nextInode++};
}

FileEntry MemoryFileSystem::entryOf(const std::string& key, const Node& node) const
{
    FileEntry e;
    e.name = nameOf(key);
    e.hidden = !e.name.empty() && e.name.front() == '.';
    e.folder = node.folder;
    e.readOnly = node.readOnly;
    e.size = node.folder ? 0 : static_cast<std::int64_t>(node.content.size());
    e.modified = node.folder ? 0.0 : localDosTime(node.mtimeNs);
    e.device = Device;
    e.inode = node.inode;
    e.mtimeNs = node.mtimeNs;
    e.ctimeNs = node.ctimeNs;
    return e;
}

// Where a file is written or moved to: its folder must exist, and a read-only file there stands
// in the way as it does on Windows (POSIX would replace it).
Status MemoryFileSystem::checkTarget(const std::string& key)
{
    if (!isFolder(parentOf(key)))
        return NoFolder;
    const Node* node = find(key);
    if (node != nullptr && node->folder)
        return IsAFolder;
    if (node != nullptr && node->readOnly)
        return {ResultCode::AccessDenied, "Zugriff verweigert", /*targetInTheWay=*/true};
    return {};
}

void MemoryFileSystem::moveNode(const std::string& from, const std::string& to)
{
    const std::string below = from + "/";
    std::vector<std::pair<std::string, Node>> moved;
    for (auto it = m_nodes.begin(); it != m_nodes.end();) {
        if (it->first == from || it->first.starts_with(below)) {
            moved.emplace_back(to + it->first.substr(from.size()), it->second);
            it = m_nodes.erase(it);
        } else {
            ++it;
        }
    }
    for (auto& [key, node] : moved)
        m_nodes[key] = std::move(node);
    m_nodes[to].ctimeNs = nowNs;
}
