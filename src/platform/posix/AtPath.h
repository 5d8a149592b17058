#pragma once

#include "platform/posix/FileDescriptor.h"

#include <fcntl.h>
#include <string>

/// Where a *at system call finds a file: a path the system takes as it is while it is shorter
/// than PATH_MAX; a longer one (a deep tree, a long name beside a long path) through its folder,
/// opened piece by piece, and its name. So every path the file system holds can be read and
/// written, not only those the system calls take whole.
class AtPath final
{
public:
    explicit AtPath(const std::string& path);
    /// The entry name in folder (ending with "/").
    AtPath(const std::string& folder, const std::string& name);
    AtPath(const AtPath&) = delete;
    AtPath& operator=(const AtPath&) = delete;

    int dir() const { return m_folder.get() >= 0 ? m_folder.get() : AT_FDCWD; }
    const char* name() const { return m_name.c_str(); }
    /// 0, or the errno of the folder that could not be opened (then every call must fail).
    int error() const { return m_error; }

private:
    Descriptor m_folder{-1};
    std::string m_name;
    int m_error = 0;
};
