#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

namespace hostdxf {

// The bytes of a drawing file. Mapped into memory where the file allows it: the pages
// are then the file system's own, with nothing copied and no fresh memory touched,
// which is most of the cost of reading a large file into a buffer. A drawing keeps
// them while block contents are still to be made from them. Saving never writes into
// the file (it renames a new one over it), so the mapped bytes stay as they were read.
class FileBytes {
public:
    // Null when the file cannot be read.
    static std::shared_ptr<const FileBytes> open(const std::filesystem::path& path);
    static std::shared_ptr<const FileBytes> copy(std::string_view bytes);

    ~FileBytes();
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    std::string_view view() const { return m_view; }

    // Gives the mapped pages wholly inside [from, to) back to the system once read: they
    // stay readable, and a later look into them (a deferred block made) takes them from
    // the file system's cache again. Nothing for bytes that were read into a buffer.
    void release(std::size_t from, std::size_t to) const;

private:
    FileBytes() = default;

    void* m_mapped = nullptr;
    std::size_t m_mappedSize = 0;
    std::string m_buffer;
    std::string_view m_view;
};

// The whole file in one buffer, sized once from the file's length. False when the file
// cannot be read.
bool readFileBytes(const std::filesystem::path& path, std::string& data);

}  // namespace hostdxf
