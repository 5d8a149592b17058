#include "platform/posix/PosixFileSystem.h"

#include "base/ResultCodes.h"
#include "platform/MountTable.h"
#include "platform/posix/AtPath.h"
#include "platform/posix/FileDescriptor.h"
#include "platform/posix/FullIo.h"
#include "platform/posix/Metadata.h"

#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <linux/fs.h>
#include <memory>
#include <mutex>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/xattr.h>
#include <system_error>
#include <unistd.h>

namespace {

// The nearest Windows code for an errno value, so that the program's messages apply.
std::int32_t windowsCodeOf(int error)
{
    switch (error) {
    case ENOENT:
        return ResultCode::FileNotFound;
    case ENOTDIR:
        return ResultCode::PathNotFound;
    case EMFILE:
    case ENFILE:
        return 4; // too many open files
    case EACCES:
    case EPERM:
    case EISDIR:
        return 5; // access denied
    case ENOMEM:
        return 8;
    case EROFS:
        return 19; // write protected
    case EXDEV:
        return 17; // not the same device
    case EBUSY:
    case ETXTBSY:
        return 32; // in use by another process
    case EEXIST:
        return ResultCode::AlreadyExists;
    case EINVAL:
        return 87;
    case ENOSPC:
        return ResultCode::DiskFull;
    case ENOTEMPTY:
        return 145;
    case ENAMETOOLONG:
        return ResultCode::PathTooLong;
    case EFBIG:
        return 223;
    case EIO:
        return 1117;
    case EDQUOT:
        return 1295;
    case ELOOP:
        return 1921;
    case ECANCELED:
        return ResultCode::Cancelled;
    default:
        return 1000 + error; // no Windows equivalent: the system's text says what it is
    }
}

// Local time of t at the two-second resolution of a DOS date-time.
DateTime localDosTime(const timespec& t)
{
    std::tm local{};
    const std::time_t seconds = t.tv_sec;
    if (localtime_r(&seconds, &local) == nullptr)
        return 0.0;
    const auto date = TryEncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    const auto time = TryEncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59) & ~1);
    return date && time ? ComposeDateTime(*date, *time) : 0.0;
}

std::int64_t nanoseconds(const timespec& t)
{
    return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

// A failure while the copy is put in place. Only a target the system will not replace stands
// in the way; a file where a folder of the target's path should be is the last copy of a file
// that became a folder in the source, and stays.
Status targetFailure(int error)
{
    Status status = error == ENOENT ? Status{ResultCode::PathNotFound, FailureOf(error).message} : FailureOf(error);
    status.targetInTheWay = error == EBUSY || error == ETXTBSY;
    return status;
}

FileEntry entryOf(std::string name, const struct stat& st)
{
    FileEntry e;
    e.hidden = !name.empty() && name.front() == '.';
    e.name = std::move(name);
    e.kind = S_ISDIR(st.st_mode)    ? EntryKind::Folder
             : S_ISLNK(st.st_mode)  ? EntryKind::Link
             : S_ISFIFO(st.st_mode) ? EntryKind::Fifo
             : S_ISSOCK(st.st_mode) ? EntryKind::Socket
             : S_ISREG(st.st_mode)  ? EntryKind::File
                                    : EntryKind::Device;
    e.folder = S_ISDIR(st.st_mode);
    e.readOnly = (st.st_mode & S_IWUSR) == 0;
    e.size = e.folder ? 0 : static_cast<std::int64_t>(st.st_size);
    e.modified = e.folder ? 0.0 : localDosTime(st.st_mtim);
    e.device = st.st_dev;
    e.inode = st.st_ino;
    e.links = static_cast<std::uint32_t>(st.st_nlink);
    e.mode = st.st_mode & 07777;
    e.uid = st.st_uid;
    e.gid = st.st_gid;
    e.mtimeNs = nanoseconds(st.st_mtim);
    e.ctimeNs = nanoseconds(st.st_ctim);
    return e;
}

// Whether name in the folder dirfd (or a path, with AT_FDCWD) is the root of a mount: another
// file system, or a folder bind-mounted there from elsewhere on the same disk, which the device
// number alone would not tell.
bool isMountRoot(int dirfd, const char* name)
{
    struct statx st
    {
    };
    if (::statx(dirfd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_TYPE, &st) != 0)
        return false;
    return (st.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0 && (st.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0;
}

// The *at calls on an AtPath, failing with the error of a folder that could not be opened.
int openAt(const AtPath& at, int flags, mode_t mode = 0)
{
    if (at.error() != 0) {
        errno = at.error();
        return -1;
    }
    return ::openat(at.dir(), at.name(), flags, mode);
}

int statAt(const AtPath& at, struct stat* st, int flags)
{
    if (at.error() != 0) {
        errno = at.error();
        return -1;
    }
    return ::fstatat(at.dir(), at.name(), st, flags);
}

template <typename Call> int callAt(const AtPath& at, Call call)
{
    if (at.error() != 0) {
        errno = at.error();
        return -1;
    }
    return call(at.dir(), at.name());
}

int renameAt(const AtPath& from, const AtPath& to)
{
    if (from.error() != 0 || to.error() != 0) {
        errno = from.error() != 0 ? from.error() : to.error();
        return -1;
    }
    return ::renameat(from.dir(), from.name(), to.dir(), to.name());
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A broken lease is told with SIGIO, whose default would end the program. The lease is held
// only for a moment, and a writer that breaks it simply waits for that moment to end.
void ignoreLeaseSignal()
{
    static std::once_flag once;
    std::call_once(once, [] { ::signal(SIGIO, SIG_IGN); });
}

// Copies by hand from the current offset of to (where the kernel stopped) to the end of from.
template <typename Stopped> bool copyRest(int from, int to, Stopped stopped)
{
    std::array<char, 256 * 1024> buffer{};
    const off_t done = ::lseek(to, 0, SEEK_CUR);
    if (done < 0 || ::lseek(from, done, SEEK_SET) < 0)
        return false;
    for (;;) {
        if (stopped()) {
            errno = ECANCELED;
            return false;
        }
        const ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!WriteFully(to, buffer.data(), static_cast<std::size_t>(n)))
            return false;
    }
}

} // namespace

namespace {

// Copies length bytes at offset of from to the same offset of to: in the kernel where it can,
// else by hand.
template <typename Stopped> bool copyRange(int from, int to, off_t offset, std::int64_t length, Stopped stopped)
{
    std::array<char, 256 * 1024> buffer{};
    bool byHand = false;
    while (length > 0) {
        if (stopped()) {
            errno = ECANCELED;
            return false;
        }
        const std::size_t piece = static_cast<std::size_t>(std::min<std::int64_t>(length, 64 << 20));
        ssize_t n = -1;
        if (!byHand) {
            off_t in = offset;
            off_t out = offset;
            n = ::copy_file_range(from, &in, to, &out, piece, 0);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
                return false;
            byHand = n <= 0;
        }
        if (byHand) {
            n = ::pread(from, buffer.data(), std::min(piece, buffer.size()), offset);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 || (n > 0 && ::pwrite(to, buffer.data(), static_cast<std::size_t>(n), offset) != n))
                return false;
        }
        if (n == 0)
            return true; // the file got shorter: the check after the copy tells
        offset += n;
        length -= n;
    }
    return true;
}

// A sparse file keeps its holes: only the parts that hold data are copied, the rest of the copy
// stays a hole. False with errno EINVAL where the file system cannot tell the parts apart.
template <typename Stopped> bool copySparse(int from, int to, std::int64_t size, Stopped stopped)
{
    off_t at = 0;
    while (at < size) {
        const off_t data = ::lseek(from, at, SEEK_DATA);
        if (data < 0 && errno == ENXIO)
            break; // only a hole is left
        if (data < 0)
            return false;
        off_t hole = ::lseek(from, data, SEEK_HOLE);
        if (hole < 0)
            return false;
        hole = std::min<off_t>(hole, size);
        if (!copyRange(from, to, data, hole - data, stopped))
            return false;
        at = hole;
    }
    return ::ftruncate(to, size) == 0;
}

} // namespace

// The kernel copies without the data passing through this process: a reflink where the file
// system shares blocks, else copy_file_range, else plain reads and writes.
bool PosixFileSystem::copyContent(int from, int to, const struct stat& st, const std::string& folder)
{
    const std::int64_t size = st.st_size;
    bool tryReflink = false;
    {
        const std::lock_guard<std::mutex> lock(m_reflinkMutex);
        tryReflink = folder != m_noReflinkFolder;
    }
    if (tryReflink) {
        if (::ioctl(to, FICLONE, from) == 0)
            return true;
        // Asking again for every file of a folder on a file system without reflinks costs a
        // system call each.
        const std::lock_guard<std::mutex> lock(m_reflinkMutex);
        m_noReflinkFolder = folder;
    }
    if (static_cast<std::int64_t>(st.st_blocks) * 512 < size) {
        if (copySparse(from, to, size, [this] { return stopped(); }))
            return true;
        if (errno != EINVAL && errno != EOPNOTSUPP)
            return false;
        ::lseek(from, 0, SEEK_SET);
        ::lseek(to, 0, SEEK_SET);
    }
    // In pieces, so that a cancelled run does not wait for the rest of a large file.
    constexpr std::int64_t Piece = std::int64_t{64} << 20;
    std::int64_t left = size;
    while (left > 0) {
        if (stopped()) {
            errno = ECANCELED;
            return false;
        }
        const ssize_t n =
            ::copy_file_range(from, nullptr, to, nullptr, static_cast<std::size_t>(std::min(left, Piece)), 0);
        if (n > 0) {
            left -= n;
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            return false;
        break; // the file got shorter, or the kernel cannot: the rest by hand
    }
    // The copy holds the file as it was when it was opened; a file that changes meanwhile keeps
    // its archive bit (its state was read before) and is taken again by the next run.
    return left == 0 || copyRest(from, to, [this] { return stopped(); });
}

bool PosixFileSystem::stopped() const
{
    const std::atomic<bool>* flag = m_stop.load();
    return flag != nullptr && flag->load();
}

void PosixFileSystem::StopCopiesWhen(const std::atomic<bool>* flag)
{
    m_stop = flag;
}

Status FailureOf(int error)
{
    return {windowsCodeOf(error), std::error_code(error, std::generic_category()).message()};
}

FolderListing PosixFileSystem::ListFolder(const std::string& folder)
{
    FolderListing listing;
    const int opened = openAt(AtPath(folder), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = opened < 0 ? nullptr : ::fdopendir(opened);
    if (dir == nullptr) {
        listing.status = FailureOf(errno);
        if (opened >= 0)
            ::close(opened);
        return listing;
    }
    const int fd = ::dirfd(dir);
    for (;;) {
        errno = 0;
        const dirent* d = ::readdir(dir);
        if (d == nullptr) {
            if (errno != 0)
                listing.status = FailureOf(errno);
            break;
        }
        const std::string name = d->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st
        {
        };
        // An entry that cannot be examined (a folder that may be listed but not entered) is
        // a failure of the listing; one that vanished meanwhile is not.
        if (::fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT && listing.status.ok())
                listing.status = FailureOf(errno);
            continue;
        }
        listing.entries.push_back(entryOf(name, st));
        listing.entries.back().mountPoint = S_ISDIR(st.st_mode) && isMountRoot(fd, d->d_name);
    }
    ::closedir(dir);
    // In name order, as the walk and its report should be, whatever order the directory keeps.
    std::sort(listing.entries.begin(), listing.entries.end(),
              [](const FileEntry& a, const FileEntry& b) { return a.name < b.name; });
    return listing;
}

std::optional<FileEntry> PosixFileSystem::Stat(const std::string& path)
{
    struct stat st
    {
    };
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    const AtPath at(p);
    if (statAt(at, &st, 0) != 0 || !(S_ISREG(st.st_mode) || S_ISDIR(st.st_mode)))
        return std::nullopt;
    FileEntry entry = entryOf(nameOf(p), st);
    entry.mountPoint = entry.folder && p != "/" && isMountRoot(at.dir(), at.name());
    return entry;
}

std::optional<FileEntry> PosixFileSystem::LinkStat(const std::string& path)
{
    struct stat st
    {
    };
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    if (statAt(AtPath(p), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return entryOf(nameOf(p), st);
}

std::optional<std::string> PosixFileSystem::ReadLink(const std::string& path)
{
    const AtPath at(path);
    std::string target(4096, '\0');
    const ssize_t n = at.error() != 0 ? -1 : ::readlinkat(at.dir(), at.name(), target.data(), target.size());
    if (n < 0 || static_cast<std::size_t>(n) == target.size())
        return std::nullopt;
    target.resize(static_cast<std::size_t>(n));
    return target;
}

std::optional<std::string> PosixFileSystem::RealPath(const std::string& path)
{
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (resolved == nullptr)
        return std::nullopt;
    std::string real = resolved;
    std::free(resolved);
    return real;
}

Status PosixFileSystem::CreateFolder(const std::string& path)
{
    // Private until the run gives it its source's mode, once its contents are written: a copy of
    // ~/.ssh is never readable by others on the backup disk, not even for a moment.
    if (callAt(AtPath(path), [](int dir, const char* name) { return ::mkdirat(dir, name, 0700); }) != 0) {
        const int error = errno;
        return error == ENOENT ? Status{ResultCode::PathNotFound, FailureOf(error).message} : FailureOf(error);
    }
    return {};
}

Status PosixFileSystem::CopyFile(const std::string& source, const std::string& target)
{
    struct stat copied
    {
    };
    return copyFile(source, target, copied);
}

Status PosixFileSystem::copyFile(const std::string& source, const std::string& target, struct stat& st)
{
    // A link is kept as a link, a FIFO as a FIFO: what they point to or carry is no file of the
    // tree. A file is opened without following a link put in its place meanwhile.
    const AtPath from(source);
    if (statAt(from, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return FailureOf(errno);
    if (S_ISLNK(st.st_mode) || S_ISFIFO(st.st_mode))
        return copySpecial(from, st, target);
    return copyRegular(source, target, st);
}

Status PosixFileSystem::copySpecial(const AtPath& from, const struct stat& st, const std::string& target)
{
    std::string link;
    if (S_ISLNK(st.st_mode)) {
        link.resize(static_cast<std::size_t>(st.st_size) + 1);
        const ssize_t n = ::readlinkat(from.dir(), from.name(), link.data(), link.size());
        if (n < 0)
            return FailureOf(errno);
        if (static_cast<std::size_t>(n) == link.size())
            return {ResultCode::InUse, "während des Kopierens geändert"};
        link.resize(static_cast<std::size_t>(n));
    }
    const std::string folder = folderOf(target);
    std::unique_ptr<AtPath> temporary;
    for (int attempt = 0;; ++attempt) {
        temporary = std::make_unique<AtPath>(folder, "." + nameOf(target).substr(0, 200) + "." + WorkTag() + "-" +
                                                         std::to_string(m_temporaryNumber.fetch_add(1)));
        const int made = callAt(*temporary, [&](int dir, const char* name) {
            return link.empty() && S_ISFIFO(st.st_mode) ? ::mkfifoat(dir, name, 0600)
                                                        : ::symlinkat(link.c_str(), dir, name);
        });
        if (made == 0)
            break;
        if (errno != EEXIST || attempt > 100)
            return targetFailure(errno);
    }
    // A link carries its owner and times; its permission bits mean nothing.
    if (::fchownat(temporary->dir(), temporary->name(), st.st_uid, st.st_gid, AT_SYMLINK_NOFOLLOW) != 0 &&
        errno == EPERM)
        m_losses |= OwnersNotKept;
    if (S_ISFIFO(st.st_mode))
        ::fchmodat(temporary->dir(), temporary->name(), st.st_mode & 07777, 0);
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ::utimensat(temporary->dir(), temporary->name(), times, AT_SYMLINK_NOFOLLOW);
    if (renameAt(*temporary, AtPath(target)) != 0) {
        const int error = errno;
        callAt(*temporary, [](int dir, const char* name) { return ::unlinkat(dir, name, 0); });
        return targetFailure(error);
    }
    return {};
}

Status PosixFileSystem::copyRegular(const std::string& source, const std::string& target, struct stat& st)
{
    // Without waiting: a FIFO put where a file was would block the run for ever.
    Descriptor from(openAt(AtPath(source), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    if (from.get() < 0)
        return FailureOf(errno);
    if (::fstat(from.get(), &st) != 0)
        return FailureOf(errno);
    if (!S_ISREG(st.st_mode))
        return FailureOf(EISDIR);

    // The copy is its owner's alone until it is complete; then it gets the source's owner,
    // attributes and permission bits.
    // Made in the target's folder, reached through it when the path beside the target would be
    // too long for the system: every target the file system takes can be written.
    const std::string folder = folderOf(target);
    std::unique_ptr<AtPath> temporary;
    Descriptor to(-1);
    for (int attempt = 0; to.get() < 0; ++attempt) {
        temporary = std::make_unique<AtPath>(folder, "." + nameOf(target).substr(0, 200) + "." + WorkTag() + "-" +
                                                         std::to_string(m_temporaryNumber.fetch_add(1)));
        to = Descriptor(openAt(*temporary, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
        if (to.get() < 0 && (errno != EEXIST || attempt > 100))
            return targetFailure(errno);
    }
    auto fail = [&temporary](Status status) {
        callAt(*temporary, [](int dir, const char* name) { return ::unlinkat(dir, name, 0); });
        return status;
    };
    if (!copyContent(from.get(), to.get(), st, folder))
        return fail(FailureOf(errno));
    // A file written while it was read gives a copy that never existed as such: the last good
    // copy stays, and the file keeps its archive bit for the next run.
    struct stat after
    {
    };
    if (::fstat(from.get(), &after) != 0)
        return fail(FailureOf(errno));
    if (after.st_size != st.st_size || nanoseconds(after.st_mtim) != nanoseconds(st.st_mtim) ||
        nanoseconds(after.st_ctim) != nanoseconds(st.st_ctim))
        return fail({ResultCode::InUse, "während des Kopierens geändert"});
    CopyMetadata(from.get(), st, to.get(), m_losses);
    if (::close(to.release()) != 0)
        return fail(FailureOf(errno));
    if (renameAt(*temporary, AtPath(target)) != 0)
        return fail(targetFailure(errno));
    return {};
}

Status PosixFileSystem::HardLink(const std::string& existing, const std::string& target)
{
    // Made under a name of the run's own and renamed into place, as a copy is.
    const std::string folder = folderOf(target);
    const AtPath from(existing);
    for (int attempt = 0;; ++attempt) {
        const AtPath temporary(folder, "." + nameOf(target).substr(0, 200) + "." + WorkTag() + "-" +
                                           std::to_string(m_temporaryNumber.fetch_add(1)));
        if (from.error() != 0 || temporary.error() != 0)
            return FailureOf(from.error() != 0 ? from.error() : temporary.error());
        if (::linkat(from.dir(), from.name(), temporary.dir(), temporary.name(), 0) == 0) {
            if (renameAt(temporary, AtPath(target)) == 0)
                return {};
            const int error = errno;
            ::unlinkat(temporary.dir(), temporary.name(), 0);
            return targetFailure(error);
        }
        if (errno != EEXIST || attempt > 100)
            return FailureOf(errno);
    }
}

Status PosixFileSystem::MoveFile(const std::string& source, const std::string& target)
{
    // A link is backed up as the file it names: moving it moves the content, not the link.
    struct stat link
    {
    };
    const AtPath from(source);
    if (statAt(from, &link, AT_SYMLINK_NOFOLLOW) != 0)
        return FailureOf(errno);
    if (renameAt(from, AtPath(target)) == 0)
        return {};
    if (errno != EXDEV)
        return targetFailure(errno);
    return moveAcross(source, target);
}

// Across file systems a move is a copy and a deletion. The source goes only once its copy is on
// the medium, and only as it was copied: a file that was written meanwhile, or is open for
// writing now, stays where it is (its copy, complete as it was read, stays too).
Status PosixFileSystem::moveAcross(const std::string& source, const std::string& target)
{
    struct stat copied
    {
    };
    const Status copy = copyFile(source, target, copied);
    if (!copy.ok())
        return copy;
    // A link or a FIFO holds no data that could change: once made, the old one goes.
    if (S_ISLNK(copied.st_mode) || S_ISFIFO(copied.st_mode)) {
        Descriptor folder(openAt(AtPath(folderOf(target)), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.get() < 0 || ::fsync(folder.get()) != 0)
            return FailureOf(errno);
        return DeleteFile(source);
    }
    if (!syncFileAndFolder(target))
        return FailureOf(errno);
    const AtPath at(source);
    Descriptor held(openAt(at, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
    if (held.get() < 0)
        return FailureOf(errno);
    // A read lease is granted only while nobody has the file open for writing, and while it is
    // held a writer that opens the file waits: between the last look and the deletion nothing
    // can be written. Where leases are not to be had (network file systems, other owners) the
    // last look has to do.
    ignoreLeaseSignal();
    const bool leased = ::fcntl(held.get(), F_SETLEASE, F_RDLCK) == 0;
    if (!leased && errno == EAGAIN)
        return {ResultCode::InUse, "wird gerade geschrieben; die Quelle bleibt, die Kopie ist gesichert"};
    struct stat now
    {
    };
    Status result;
    if (::fstat(held.get(), &now) != 0)
        result = FailureOf(errno);
    else if (now.st_size != copied.st_size || nanoseconds(now.st_mtim) != nanoseconds(copied.st_mtim) ||
             nanoseconds(now.st_ctim) != nanoseconds(copied.st_ctim) || now.st_ino != copied.st_ino)
        result = {ResultCode::InUse, "während des Verschiebens geändert; die Quelle bleibt, die Kopie ist gesichert"};
    else if (!leased)
        result = DeleteFile(source);
    else
        result = deleteUnlessOpened(at, held.get());
    if (leased)
        ::fcntl(held.get(), F_SETLEASE, F_UNLCK);
    return result;
}

// A writer that opens the file while the lease is held waits, but it has found the file by its
// name already: deleted now, its lines would go into a file that no name leads to. So the file
// first leaves its name; a writer waiting for it then shows in the lease, and the file goes back
// to its name. A writer that comes later finds no file and makes a new one, which stays.
Status PosixFileSystem::deleteUnlessOpened(const AtPath& at, int held)
{
    if (at.error() != 0)
        return FailureOf(at.error());
    const std::string name = at.name();
    const std::size_t slash = name.find_last_of('/');
    const std::string aside =
        name.substr(0, slash + 1) + "." + name.substr(slash + 1).substr(0, 200) + "." + WorkTag() + "-old";
    if (::renameat(at.dir(), at.name(), at.dir(), aside.c_str()) != 0)
        return FailureOf(errno);
    if (::fcntl(held, F_GETLEASE) != F_RDLCK) {
        ::renameat2(at.dir(), aside.c_str(), at.dir(), at.name(), RENAME_NOREPLACE);
        return {ResultCode::InUse, "wird gerade geschrieben; die Quelle bleibt, die Kopie ist gesichert"};
    }
    return ::unlinkat(at.dir(), aside.c_str(), 0) == 0 ? Status{} : FailureOf(errno);
}

bool PosixFileSystem::syncFileAndFolder(const std::string& path)
{
    Descriptor file(openAt(AtPath(path), O_RDONLY | O_CLOEXEC));
    if (file.get() < 0 || ::fdatasync(file.get()) != 0)
        return false;
    Descriptor folder(openAt(AtPath(folderOf(path)), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return folder.get() >= 0 && ::fsync(folder.get()) == 0;
}

Status PosixFileSystem::DeleteFile(const std::string& path)
{
    return callAt(AtPath(path), [](int dir, const char* name) { return ::unlinkat(dir, name, 0); }) == 0
               ? Status{}
               : FailureOf(errno);
}

Status PosixFileSystem::RemoveFolder(const std::string& path)
{
    return callAt(AtPath(path), [](int dir, const char* name) { return ::unlinkat(dir, name, AT_REMOVEDIR); }) == 0
               ? Status{}
               : FailureOf(errno);
}

Status PosixFileSystem::MakeWritable(const std::string& path)
{
    struct stat st
    {
    };
    // A link is left as it is: its file may lie anywhere.
    const AtPath at(path);
    if (statAt(at, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return FailureOf(errno);
    if (S_ISLNK(st.st_mode))
        return FailureOf(EPERM);
    return ::fchmodat(at.dir(), at.name(), (st.st_mode & 07777) | S_IWUSR, 0) == 0 ? Status{} : FailureOf(errno);
}

Status PosixFileSystem::MoveToTrash(const std::string& path)
{
    struct stat st
    {
    };
    if (::lstat(path.c_str(), &st) != 0)
        return FailureOf(errno);
    // Qt moves the file into a "files" folder of the current folder when the home trash does
    // not exist yet; it must exist before the first deletion.
    const std::filesystem::path home =
        std::filesystem::path(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString()) /
        "Trash";
    std::error_code error;
    std::filesystem::create_directories(home / "files", error);
    std::filesystem::create_directories(home / "info", error);
    std::filesystem::permissions(home, std::filesystem::perms::owner_all, error);
    if (error)
        return FailureOf(error.value());
    QFile file(QString::fromStdString(path));
    if (!file.moveToTrash())
        return {5, file.errorString().toStdString()};
    return {};
}

Status PosixFileSystem::CopyFolderMetadata(const std::string& source, const std::string& target)
{
    Descriptor from(openAt(AtPath(source), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
    Descriptor to(openAt(AtPath(target), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW));
    struct stat st
    {
    };
    if (from.get() < 0 || to.get() < 0 || ::fstat(from.get(), &st) != 0)
        return FailureOf(errno);
    CopyMetadata(from.get(), st, to.get(), m_losses);
    return {};
}

Status PosixFileSystem::SetMetadata(const std::string& path, const StoredMetadata& metadata)
{
    const AtPath at(path);
    struct stat st
    {
    };
    if (statAt(at, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return FailureOf(errno);
    if (metadata.owner && (st.st_uid != metadata.owner->first || st.st_gid != metadata.owner->second)) {
        // Another's owner only root may give; the user's own groups the user may.
        if (::fchownat(at.dir(), at.name(), metadata.owner->first, metadata.owner->second, AT_SYMLINK_NOFOLLOW) != 0 &&
            ::fchownat(at.dir(), at.name(), static_cast<uid_t>(-1), metadata.owner->second, AT_SYMLINK_NOFOLLOW) != 0)
            m_losses |= OwnersNotKept;
    }
    if (!S_ISLNK(st.st_mode)) {
        // Attributes and bits through a descriptor of the entry itself, never through a link put
        // in its place; a FIFO is opened without waiting for a writer.
        Descriptor fd(openAt(at, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
        if (fd.get() >= 0) {
            for (const auto& [name, value] : metadata.attributes)
                if (::fsetxattr(fd.get(), name.c_str(), value.data(), value.size(), 0) != 0 &&
                    (errno == ENOTSUP || errno == EOPNOTSUPP))
                    m_losses |= AttributesNotKept;
            // After the owner: a change of owner clears setuid and setgid.
            if (::fchmod(fd.get(), metadata.mode & 07777) != 0)
                return FailureOf(errno);
        } else if (callAt(at, [&](int dir, const char* name) {
                       return ::fchmodat(dir, name, metadata.mode & 07777, 0);
                   }) != 0) {
            return FailureOf(errno);
        }
    }
    if (!metadata.mtimeNs)
        return {};
    const timespec times[2] = {
        {0, UTIME_OMIT},
        {static_cast<time_t>(*metadata.mtimeNs / 1'000'000'000), static_cast<long>(*metadata.mtimeNs % 1'000'000'000)}};
    if (callAt(at, [&](int dir, const char* name) { return ::utimensat(dir, name, times, AT_SYMLINK_NOFOLLOW); }) != 0)
        return FailureOf(errno);
    return {};
}

Status PosixFileSystem::MakeSpecial(const std::string& path, EntryKind kind, const std::string& linkTarget)
{
    if (kind != EntryKind::Link && kind != EntryKind::Fifo)
        return FailureOf(EINVAL);
    const int made = callAt(AtPath(path), [&](int dir, const char* name) {
        return kind == EntryKind::Fifo ? ::mkfifoat(dir, name, 0600) : ::symlinkat(linkTarget.c_str(), dir, name);
    });
    return made == 0 ? Status{} : targetFailure(errno);
}

MetadataSupport PosixFileSystem::ProbeMetadata(const std::string& folder)
{
    MetadataSupport support;
    const std::string base = folder + (folder.empty() || folder.back() != '/' ? "/" : "") + "." + WorkTag() + "-probe";
    Descriptor file(::open((base + "1").c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    struct stat st
    {
    };
    if (file.get() < 0)
        return support; // nothing can be told: as on any disk
    support.modes = ::fchmod(file.get(), 0640) == 0 && ::fstat(file.get(), &st) == 0 && (st.st_mode & 07777) == 0640;
    support.attributes =
        !(::fsetxattr(file.get(), "user.tresorio", "1", 1, 0) != 0 && (errno == ENOTSUP || errno == EOPNOTSUPP));
    support.links = ::symlink("1", (base + "2").c_str()) == 0;
    support.specials = ::mkfifo((base + "3").c_str(), 0600) == 0;
    for (const char* n : {"1", "2", "3"})
        ::unlink((base + n).c_str());
    return support;
}

std::vector<std::pair<std::string, std::string>> PosixFileSystem::Attributes(const std::string& path)
{
    Descriptor fd(openAt(AtPath(path), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW));
    if (fd.get() < 0)
        return {};
    return KeptAttributes(fd.get());
}

unsigned PosixFileSystem::TakeMetadataLosses()
{
    return m_losses.exchange(0);
}

bool PosixFileSystem::CompareFiles(const std::string& source, const std::string& copy, bool bytewise)
{
    struct stat linkA
    {
    };
    struct stat linkB
    {
    };
    const AtPath atA(source);
    const AtPath atB(copy);
    if (statAt(atA, &linkA, AT_SYMLINK_NOFOLLOW) != 0 || statAt(atB, &linkB, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (S_ISLNK(linkA.st_mode) || S_ISLNK(linkB.st_mode) || S_ISFIFO(linkA.st_mode) || S_ISFIFO(linkB.st_mode)) {
        if ((linkA.st_mode & S_IFMT) != (linkB.st_mode & S_IFMT))
            return false;
        if (!S_ISLNK(linkA.st_mode))
            return true;
        std::string a(4097, '\0');
        std::string b(4097, '\0');
        const ssize_t na = ::readlinkat(atA.dir(), atA.name(), a.data(), a.size());
        const ssize_t nb = ::readlinkat(atB.dir(), atB.name(), b.data(), b.size());
        return na >= 0 && na == nb &&
               a.compare(0, static_cast<std::size_t>(na), b, 0, static_cast<std::size_t>(nb)) == 0;
    }
    Descriptor a(openAt(AtPath(source), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    Descriptor b(openAt(AtPath(copy), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat sa
    {
    };
    struct stat sb
    {
    };
    if (a.get() < 0 || b.get() < 0 || ::fstat(a.get(), &sa) != 0 || ::fstat(b.get(), &sb) != 0)
        return false;
    if (sa.st_size != sb.st_size)
        return false;
    if (!bytewise)
        return true;
    // Read the copy from the medium, not from the page cache that still holds what was written.
    ::fdatasync(b.get());
    ::posix_fadvise(b.get(), 0, 0, POSIX_FADV_DONTNEED);
    std::vector<char> bufferA(256 * 1024);
    std::vector<char> bufferB(256 * 1024);
    auto same = [&](off_t offset, off_t end) {
        while (offset < end) {
            const std::size_t piece = static_cast<std::size_t>(std::min<off_t>(end - offset, bufferA.size()));
            const ssize_t gotA = ::pread(a.get(), bufferA.data(), piece, offset);
            const ssize_t gotB = ::pread(b.get(), bufferB.data(), piece, offset);
            if (gotA <= 0 || gotA != gotB ||
                std::memcmp(bufferA.data(), bufferB.data(), static_cast<std::size_t>(gotA)) != 0)
                return false;
            offset += gotA;
        }
        return true;
    };
    // A sparse file is compared where it holds data; in its holes the copy must hold a hole too
    // or zeros, which only reading tells.
    const off_t size = sa.st_size;
    if (static_cast<std::int64_t>(sa.st_blocks) * 512 >= size)
        return same(0, size);
    for (off_t at = 0; at < size;) {
        off_t data = ::lseek(a.get(), at, SEEK_DATA);
        if (data < 0 && errno != ENXIO)
            return same(at, size);
        data = data < 0 ? size : data;
        const off_t copyData = ::lseek(b.get(), at, SEEK_DATA);
        if (copyData >= 0 && copyData < data && !same(copyData, data))
            return false;
        if (data == size)
            return true;
        const off_t hole = std::min<off_t>(::lseek(a.get(), data, SEEK_HOLE), size);
        if (hole <= data || !same(data, hole))
            return false;
        at = hole;
    }
    return true;
}

bool PosixFileSystem::IsFileSystemRoot(const std::string& folder)
{
    struct stat self
    {
    };
    struct stat parent
    {
    };
    std::string p = folder;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    if (::stat(p.c_str(), &self) != 0 || ::stat((p + "/..").c_str(), &parent) != 0)
        return false;
    return self.st_dev != parent.st_dev || self.st_ino == parent.st_ino;
}

std::vector<std::string> PosixFileSystem::MountPointsBelow(const std::string& folder)
{
    std::vector<std::string> below;
    const auto real = RealPath(folder);
    if (!real)
        return below;
    const std::string root = *real == "/" ? "/" : *real + "/";
    std::ifstream in("/proc/self/mountinfo");
    const std::string table{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (const MountEntry& mount : ParseMountInfo(table)) {
        const std::string point = mount.mountPoint == "/" ? "/" : mount.mountPoint + "/";
        if (point.size() > root.size() && point.compare(0, root.size(), root) == 0 &&
            std::find(below.begin(), below.end(), point) == below.end())
            below.push_back(point);
    }
    return below;
}

void PosixFileSystem::SyncFileSystem(const std::string& path)
{
    std::filesystem::path p = path;
    std::error_code error;
    while (!p.empty() && !std::filesystem::exists(p, error) && p.has_parent_path() && p != p.parent_path())
        p = p.parent_path();
    Descriptor fd(::open(p.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::syncfs(fd.get());
}

std::optional<std::int64_t> PosixFileSystem::FreeSpace(const std::string& path)
{
    struct statvfs status
    {
    };
    if (::statvfs(path.c_str(), &status) != 0)
        return std::nullopt;
    return static_cast<std::int64_t>(status.f_bavail) * static_cast<std::int64_t>(status.f_frsize);
}
