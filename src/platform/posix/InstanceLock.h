#pragma once

#include <filesystem>

/// One running copy per data folder: an exclusive lock (flock) on tresorio.lock, held as long as
/// the object lives. A crashed copy leaves no lock behind: the system drops it with the process.
class InstanceLock final
{
public:
    explicit InstanceLock(const std::filesystem::path& file);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    /// Whether this process holds the lock (false: another copy runs on the data folder).
    bool held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};
