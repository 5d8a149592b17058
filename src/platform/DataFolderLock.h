#pragma once

#include <string>

/// One running copy per data folder: a lock on a file in it, held as long as the object lives and
/// dropped by the system when the process ends, however it ends. The copy that holds it writes
/// into the file where its channel listens, so that a second start finds it whatever its own
/// environment says.
class DataFolderLock
{
public:
    virtual ~DataFolderLock() = default;
    /// Whether this process holds the lock.
    virtual bool held() const = 0;
    /// Whether another process holds it: another copy runs on the data folder.
    virtual bool heldElsewhere() const = 0;
    /// Why the lock could be neither taken nor found held (no permission, a folder in its place, a
    /// read-only data folder); empty otherwise.
    virtual const std::string& error() const = 0;
    /// Writes text into the lock file (the holder only).
    virtual void Publish(const std::string& text) = 0;
};
