#pragma once

#include <atomic>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

/// Gives the new file or folder to (an open descriptor) what from has besides its content: owner
/// and group where the user may set them, the extended attributes of the user's namespace, the
/// POSIX ACLs (access, and default of a folder) and, as root, the security attributes; then the
/// permission bits with setuid, setgid and sticky, and last the times. What the destination or
/// the user's rights did not allow is added to losses (the FileSystem's MetadataLoss bits); the
/// copy itself never fails for it.
void CopyMetadata(int from, const struct stat& st, int to, std::atomic<unsigned>& losses);

/// The extended attributes of from that a copy keeps, as name and value.
std::vector<std::pair<std::string, std::string>> KeptAttributes(int from);
