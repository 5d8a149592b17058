#pragma once

#include "engine/ZipArchiver.h"

/// The archive through libzip: deflate at the chosen level, files that are compressed already
/// (by their suffix) stored, traditional PKWARE encryption that every unzip tool opens, Zip64
/// where sizes or counts need it.
class LibzipArchiver final : public ZipArchiver
{
public:
    std::optional<std::int64_t> Write(const ZipOptions& options, const std::vector<ZipEntry>& entries,
                                      const ZipCallbacks& callbacks) override;
};
