#pragma once

#include "engine/ZipArchiver.h"

/// The archive through libzip: deflate at the chosen level, files that are compressed already
/// (by their suffix) stored, traditional PKWARE encryption that every unzip tool opens, Zip64
/// where sizes or counts need it.
class LibzipArchiver final : public ZipArchiver
{
public:
    /// fs copies an archive where a rename cannot move it, and an old archive the run adds to.
    explicit LibzipArchiver(FileSystem& fs) : m_fs(fs) {}
    std::optional<std::int64_t> Write(const ZipOptions& options, const std::vector<ZipEntry>& entries,
                                      const ZipCallbacks& callbacks) override;

private:
    FileSystem& m_fs;
};
