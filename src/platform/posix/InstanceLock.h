#pragma once

#include <filesystem>
#include <string>

/// One running copy per data folder: an exclusive lock (flock) on tresorio.lock, held as long as
/// the object lives. A crashed copy leaves no lock behind: the system drops it with the process.
/// The copy that holds it writes into the file where its channel listens, so that a second start
/// finds it whatever its own environment says.
class InstanceLock final
{
public:
    explicit InstanceLock(const std::filesystem::path& file);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    /// Whether this process holds the lock.
    bool held() const { return m_fd >= 0; }
    /// Whether another process holds it: another copy runs on the data folder.
    bool heldElsewhere() const { return m_heldElsewhere; }
    /// Why the lock could be neither taken nor found held (no permission, a folder in its place, a
    /// read-only data folder); empty otherwise.
    const std::string& error() const { return m_error; }

    /// Writes text into the lock file (the holder only).
    void Publish(const std::string& text);
    /// What the holder of the lock file wrote into it; empty when nothing.
    static std::string Published(const std::filesystem::path& file);

private:
    int m_fd = -1;
    bool m_heldElsewhere = false;
    std::string m_error;
};
