#include "engine/LibzipArchiver.h"

#include "base/Text.h"

#include <filesystem>
#include <unistd.h>
#include <zip.h>

namespace {

constexpr int ZipErrorCode = 1;
constexpr int CancelledCode = 99;

// Suffixes of files that are compressed already: deflating them again only costs time.
bool storedWithoutCompression(const std::string& name)
{
    static const char* const Stored[] = {"gif", "png", "z", "zip", "zoo", "arc", "lzh", "arj", "taz", "tgz", "lha"};
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos)
        return false;
    const std::string suffix = UpperCase(name.substr(dot + 1));
    for (const char* s : Stored)
        if (suffix == UpperCase(s))
            return true;
    return false;
}

int cancelCallback(zip_t*, void* state)
{
    const auto* callbacks = static_cast<const ZipCallbacks*>(state);
    return callbacks->cancelled && callbacks->cancelled() ? 1 : 0;
}

} // namespace

std::optional<std::int64_t> LibzipArchiver::Write(const ZipOptions& options, const std::vector<ZipEntry>& entries,
                                                  const ZipCallbacks& callbacks)
{
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path archive = options.archivePath;
    const fs::path folder = options.temporaryFolder.empty() ? archive.parent_path() : fs::path(options.temporaryFolder);
    const fs::path temporary = folder / ("." + archive.filename().string() + ".tresorio-" + std::to_string(::getpid()));
    auto fail = [&](int code, const std::string& message) {
        callbacks.error(code, message);
        fs::remove(temporary, error);
        return std::optional<std::int64_t>();
    };

    const bool update = options.addToExisting && fs::exists(archive, error);
    if (update && !fs::copy_file(archive, temporary, fs::copy_options::overwrite_existing, error))
        return fail(ZipErrorCode, error.message());
    int openError = 0;
    zip_t* zip = zip_open(temporary.c_str(), update ? 0 : ZIP_CREATE | ZIP_TRUNCATE, &openError);
    if (zip == nullptr) {
        zip_error_t e;
        zip_error_init_with_code(&e, openError);
        const std::string message = zip_error_strerror(&e);
        zip_error_fini(&e);
        return fail(ZipErrorCode, message);
    }
    zip_register_cancel_callback_with_state(zip, cancelCallback, nullptr, const_cast<ZipCallbacks*>(&callbacks));
    for (const ZipEntry& e : entries) {
        if (callbacks.cancelled && callbacks.cancelled()) {
            zip_discard(zip);
            return fail(CancelledCode, "Abbruch durch Benutzer");
        }
        zip_source_t* source = zip_source_file(zip, e.path.c_str(), 0, -1);
        const zip_int64_t index =
            source ? zip_file_add(zip, e.name.c_str(), source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (source)
                zip_source_free(source);
            const std::string message = e.name + ": " + zip_strerror(zip);
            zip_discard(zip);
            return fail(ZipErrorCode, message);
        }
        const bool store = storedWithoutCompression(e.name);
        zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), store ? ZIP_CM_STORE : ZIP_CM_DEFLATE,
                                 store ? 0 : static_cast<zip_uint32_t>(options.level));
        if (!options.password.empty())
            zip_file_set_encryption(zip, static_cast<zip_uint64_t>(index), ZIP_EM_TRAD_PKWARE,
                                    options.password.c_str());
        if (callbacks.fileAdded)
            callbacks.fileAdded(e.name);
    }
    if (zip_close(zip) != 0) {
        const bool cancelled = callbacks.cancelled && callbacks.cancelled();
        const std::string message = zip_strerror(zip);
        zip_discard(zip);
        return cancelled ? fail(CancelledCode, "Abbruch durch Benutzer") : fail(ZipErrorCode, message);
    }
    fs::rename(temporary, archive, error);
    if (error) {
        // Another file system: copy, then remove the temporary archive.
        error.clear();
        fs::copy_file(temporary, archive, fs::copy_options::overwrite_existing, error);
        if (error)
            return fail(ZipErrorCode, error.message());
        fs::remove(temporary, error);
    }
    const auto size = fs::file_size(archive, error);
    return error ? std::optional<std::int64_t>(0) : std::optional<std::int64_t>(static_cast<std::int64_t>(size));
}
