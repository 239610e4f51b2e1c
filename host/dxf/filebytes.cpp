#include "filebytes.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hostdxf {
namespace {

// Owns a file descriptor for the length of a read.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

}  // namespace

bool readFileBytes(const std::filesystem::path& path, std::string& data) {
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || st.st_size < 0) return false;
    data.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::read(fd.get(), data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;  // the file shrank while being read
        done += static_cast<std::size_t>(n);
    }
    data.resize(done);
    return true;
}

std::shared_ptr<const FileBytes> FileBytes::open(const std::filesystem::path& path) {
    std::shared_ptr<FileBytes> bytes(new FileBytes());
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0) return nullptr;
    if (S_ISREG(st.st_mode) && st.st_size > 0) {
        const auto size = static_cast<std::size_t>(st.st_size);
        void* at = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd.get(), 0);
        if (at != MAP_FAILED) {
            bytes->m_mapped = at;
            bytes->m_mappedSize = size;
            bytes->m_view = std::string_view(static_cast<const char*>(at), size);
            return bytes;
        }
    }
    // Not mappable (empty, or not a regular file): read it.
    if (!readFileBytes(path, bytes->m_buffer)) return nullptr;
    bytes->m_view = bytes->m_buffer;
    return bytes;
}

std::shared_ptr<const FileBytes> FileBytes::copy(std::string_view data) {
    std::shared_ptr<FileBytes> bytes(new FileBytes());
    bytes->m_buffer.assign(data);
    bytes->m_view = bytes->m_buffer;
    return bytes;
}

void FileBytes::release(std::size_t from, std::size_t to) const {
    if (!m_mapped) return;
    static const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    from = (from + page - 1) / page * page;
    to = std::min(to, m_mappedSize) / page * page;
    // Only a hint: the bytes read the same whether or not the pages went.
    if (from < to) ::madvise(static_cast<char*>(m_mapped) + from, to - from, MADV_DONTNEED);
}

FileBytes::~FileBytes() {
    if (m_mapped) ::munmap(m_mapped, m_mappedSize);
}

}  // namespace hostdxf
