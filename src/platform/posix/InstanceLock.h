#pragma once

#include "platform/DataFolderLock.h"

#include <filesystem>
#include <string>

/// The data folder's lock on POSIX systems: an exclusive flock on tresorio.lock.
class InstanceLock final : public DataFolderLock
{
public:
    explicit InstanceLock(const std::filesystem::path& file);
    ~InstanceLock() override;
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    bool held() const override { return m_fd >= 0; }
    bool heldElsewhere() const override { return m_heldElsewhere; }
    const std::string& error() const override { return m_error; }
    void Publish(const std::string& text) override;
    /// What the holder of the lock file wrote into it; empty when nothing.
    static std::string Published(const std::filesystem::path& file);

private:
    int m_fd = -1;
    bool m_heldElsewhere = false;
    std::string m_error;
};
