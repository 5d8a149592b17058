#include "restore/ZipReader.h"

#include "base/ResultCodes.h"
#include "engine/FileHelpers.h"
#include "engine/Leftovers.h"
#include "engine/ZipVolumes.h"

#include <filesystem>
#include <vector>
#include <zip.h>

namespace {

constexpr zip_uint16_t ExtendedTimestampId = 0x5455;
constexpr std::uint32_t TypeMask = 0170000;
constexpr std::uint32_t UnixFolder = 0040000;
constexpr std::uint32_t UnixSymbolicLink = 0120000;
constexpr std::size_t Piece = 256 * 1024;

Status zipFailure(zip_error_t* error)
{
    const int code = zip_error_code_zip(error);
    if (code == ZIP_ER_WRONGPASSWD || code == ZIP_ER_NOPASSWD)
        return {ResultCode::AccessDenied, zip_error_strerror(error)};
    return {ResultCode::ZipError, zip_error_strerror(error)};
}

} // namespace

std::unique_ptr<ZipReader> ZipReader::Open(const std::string& path, const std::string& password, std::string& error)
{
    int code = 0;
    zip_t* zip = zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (zip == nullptr) {
        zip_error_t e;
        zip_error_init_with_code(&e, code);
        error = zip_error_strerror(&e);
        zip_error_fini(&e);
        return nullptr;
    }
    std::unique_ptr<ZipReader> reader(new ZipReader(zip, password));
    reader->readEntries();
    return reader;
}

std::unique_ptr<ZipReader> ZipReader::OpenBackup(const std::string& path, const std::string& password,
                                                 const std::string& scratchFolder, std::string& error)
{
    if (VolumesOf(path).size() == 1)
        return Open(path, password, error);
    const std::string joined = AddSlash(scratchFolder) + "." + NewWorkTag() + "-joined.zip";
    if (const auto failure = JoinVolumes(path, joined)) {
        std::error_code ignored;
        std::filesystem::remove(joined, ignored);
        error = *failure;
        return nullptr;
    }
    auto reader = Open(joined, password, error);
    if (!reader) {
        std::error_code ignored;
        std::filesystem::remove(joined, ignored);
        return nullptr;
    }
    reader->m_joined = joined;
    return reader;
}

ZipReader::~ZipReader()
{
    zip_discard(m_zip);
    if (!m_joined.empty()) {
        std::error_code ignored;
        std::filesystem::remove(m_joined, ignored);
    }
}

void ZipReader::readEntries()
{
    const zip_int64_t count = zip_get_num_entries(m_zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t st;
        zip_stat_init(&st);
        const char* name = zip_get_name(m_zip, index, ZIP_FL_ENC_RAW);
        if (name == nullptr || zip_stat_index(m_zip, index, ZIP_FL_ENC_RAW, &st) != 0)
            continue;
        Entry e;
        e.index = index;
        e.name = name;
        e.size = static_cast<std::int64_t>(st.size);
        e.encrypted = (st.valid & ZIP_STAT_ENCRYPTION_METHOD) != 0 && st.encryption_method != ZIP_EM_NONE;
        e.mtimeNs = static_cast<std::int64_t>(st.mtime) * 1'000'000'000;
        // The extended timestamp holds the time in UTC to the second, beyond the DOS years.
        zip_uint16_t length = 0;
        const zip_uint8_t* stamp = zip_file_extra_field_get_by_id(m_zip, index, ExtendedTimestampId, 0, &length,
                                                                  ZIP_FL_LOCAL | ZIP_FL_CENTRAL);
        if (stamp != nullptr && length >= 5 && (stamp[0] & 1) != 0) {
            const auto seconds = static_cast<std::int32_t>(static_cast<std::uint32_t>(stamp[1]) | stamp[2] << 8 |
                                                           stamp[3] << 16 | static_cast<std::uint32_t>(stamp[4]) << 24);
            e.mtimeNs = static_cast<std::int64_t>(seconds) * 1'000'000'000;
        }
        zip_uint8_t system = 0;
        zip_uint32_t attributes = 0;
        if (zip_file_get_external_attributes(m_zip, index, 0, &system, &attributes) == 0 && system == ZIP_OPSYS_UNIX &&
            (attributes >> 16) != 0) {
            const std::uint32_t mode = attributes >> 16;
            e.modeKnown = true;
            e.mode = mode & 07777;
            if ((mode & TypeMask) == UnixSymbolicLink)
                e.kind = EntryKind::Link;
            else if ((mode & TypeMask) == UnixFolder)
                e.kind = EntryKind::Folder;
        }
        if (!e.name.empty() && e.name.back() == '/')
            e.kind = EntryKind::Folder;
        m_entries.push_back(std::move(e));
    }
}

const ZipReader::Entry* ZipReader::Find(const std::string& name) const
{
    // Made when first asked: a listing reads every entry and never looks one up.
    if (m_byName.empty())
        for (std::size_t i = 0; i < m_entries.size(); ++i)
            m_byName.emplace(m_entries[i].name, i);
    const auto found = m_byName.find(name);
    return found == m_byName.end() ? nullptr : &m_entries[found->second];
}

Status ZipReader::Read(const Entry& entry, const std::function<bool(const char*, std::size_t)>& sink,
                       const std::function<bool()>& cancelled)
{
    zip_file_t* file = m_password.empty() ? zip_fopen_index(m_zip, entry.index, 0)
                                          : zip_fopen_index_encrypted(m_zip, entry.index, 0, m_password.c_str());
    if (file == nullptr) {
        const Status failed = zipFailure(zip_get_error(m_zip));
        zip_error_clear(m_zip);
        return failed;
    }
    std::vector<char> buffer(Piece);
    Status result;
    for (;;) {
        if (cancelled && cancelled()) {
            result = {ResultCode::Cancelled, CancelledText};
            break;
        }
        // libzip checks the CRC once the last byte is read, and fails that read when it differs.
        const zip_int64_t n = zip_fread(file, buffer.data(), buffer.size());
        if (n < 0) {
            result = zipFailure(zip_file_get_error(file));
            break;
        }
        if (n == 0)
            break;
        if (!sink(buffer.data(), static_cast<std::size_t>(n))) {
            result = {ResultCode::Unexpected, "nicht geschrieben"};
            break;
        }
    }
    zip_fclose(file);
    return result;
}

Status ZipReader::ReadAll(const Entry& entry, std::string& bytes)
{
    bytes.clear();
    return Read(entry, [&bytes](const char* data, std::size_t length) {
        bytes.append(data, length);
        return true;
    });
}
