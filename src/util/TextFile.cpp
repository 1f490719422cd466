#include "TextFile.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string_view>

#include "TextCodec.h"

namespace {

// Closes a file descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int Get() const { return fd_; }
    // Closes now, reporting whether the close (which may flush) succeeded.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

// Up to limit bytes from the current offset of a file of about sizeHint bytes; nullopt on a read
// error.
std::optional<std::string> ReadUpTo(int fd, std::size_t limit, std::size_t sizeHint) {
    std::string bytes;
    std::size_t have = 0;
    while (have < limit) {
        if (have == bytes.size()) bytes.resize(std::min(limit, std::max(sizeHint + 1, have * 2)));
        const ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        have += static_cast<std::size_t>(n);
    }
    bytes.resize(have);
    return bytes;
}

bool WriteAllAt(int fd, std::string_view bytes, off_t offset) {
    while (!bytes.empty()) {
        const ssize_t n = ::pwrite(fd, bytes.data(), bytes.size(), offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
        offset += n;
    }
    return true;
}

// Where reading ends in bytes (the first kMaxTextFileBytes + 1 of a file): before the first line
// over the limit, or at the end of the file. nullopt when the file runs past kMaxTextFileBytes
// before that.
std::optional<std::size_t> EndOfReading(const std::string& bytes, std::size_t maxLineBytes) {
    const bool cutOff = bytes.size() > kMaxTextFileBytes;
    for (std::size_t pos = 0;;) {
        const std::size_t newline = bytes.find('\n', pos);
        const std::size_t stop = newline == std::string::npos ? bytes.size() : newline;
        std::size_t length = stop - pos;
        if (length > 0 && bytes[stop - 1] == '\r') --length;
        if (length > maxLineBytes) return pos;
        if (newline == std::string::npos) {
            if (cutOff) return std::nullopt;
            return bytes.size();
        }
        pos = newline + 1;
    }
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a chain of symbolic links ends at (which need not exist yet); nullopt for a loop.
std::optional<std::string> FollowLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
        std::string link(4096, '\0');
        const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= link.size()) return std::nullopt;
        link.resize(static_cast<std::size_t>(n));
        path = link[0] == '/' ? link : FolderOf(path) + "/" + link;
    }
    return std::nullopt;
}

// A new file with a short name in folder, so that a file name near the system's limit still
// leaves room; -1 with errno set when the folder takes no new file.
int CreateTemporary(const std::string& folder, std::string& name) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const auto seed = static_cast<unsigned>(
            std::chrono::steady_clock::now().time_since_epoch().count() ^ (::getpid() << 12));
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", (seed + 2654435761u * ++counter));
        name = folder + "/.morvane-" + suffix + ".tmp";
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

// Fsyncs a folder after a rename so that the new name survives a crash. Best effort where the
// folder cannot be opened or the file system does not sync folders; an I/O error is a failure.
bool SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return true;
    Descriptor guard(fd);
    return ::fsync(fd) == 0 || errno != EIO;
}

// For a writable file in a folder that takes no new file: overwrites it where it is. Space is
// reserved first where the file system can, and the old contents (when they are ours to hold) go
// back if the write fails all the same.
bool WriteInPlace(const std::string& path, const std::string& bytes) {
    int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    Descriptor file(fd);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    std::optional<std::string> old;
    const auto oldSize = static_cast<std::size_t>(info.st_size);
    if (oldSize <= kMaxTextFileBytes) old = ReadUpTo(fd, kMaxTextFileBytes, oldSize);
    const auto size = static_cast<off_t>(bytes.size());
    if (size > info.st_size && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
        errno != EOPNOTSUPP) {
        return false;
    }
    if (WriteAllAt(fd, bytes, 0) && ::ftruncate(fd, size) == 0 && ::fsync(fd) == 0) {
        return file.Close();
    }
    if (old && WriteAllAt(fd, *old, 0) && ::ftruncate(fd, static_cast<off_t>(old->size())) == 0) {
        ::fsync(fd);
    }
    return false;
}

}  // namespace

std::optional<std::vector<std::string>> ReadTextLines(const std::string& path,
                                                      std::size_t maxLineBytes) noexcept {
    try {
        // Non-blocking, so that a pipe in the file's place cannot hang the open.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd < 0) return std::nullopt;
        Descriptor file(fd);
        struct stat info {};
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
        const auto bytes =
            ReadUpTo(fd, kMaxTextFileBytes + 1, static_cast<std::size_t>(info.st_size));
        if (!bytes) return std::nullopt;
        const auto end = EndOfReading(*bytes, maxLineBytes);
        if (!end) return std::nullopt;

        // Line ends are the same bytes in both encodings and never part of a character.
        const std::string text = DecodeFileText(std::string_view(*bytes).substr(0, *end));
        std::vector<std::string> lines;
        for (std::size_t pos = 0; pos < text.size();) {
            std::size_t stop = text.find('\n', pos);
            const std::size_t next = stop == std::string::npos ? text.size() : stop + 1;
            if (stop == std::string::npos) stop = text.size();
            if (stop > pos && text[stop - 1] == '\r') --stop;
            lines.emplace_back(text, pos, stop - pos);
            pos = next;
        }
        return lines;
    } catch (...) {  // out of memory: as unreadable
        return std::nullopt;
    }
}

bool WriteTextFileAtomically(const std::string& path,
                             const std::vector<std::string>& lines) noexcept {
    try {
        std::string text;
        for (const std::string& line : lines) {
            for (const char c : line)
                text += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? '?' : c;
            text += "\r\n";
        }
        const std::string bytes = EncodeFileText(text);

        // A write past the file-size limit would end the program with SIGXFSZ half-way.
        rlimit limit{};
        if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
            bytes.size() > limit.rlim_cur) {
            return false;
        }

        const auto target = FollowLinks(path);
        if (!target) return false;
        struct stat old {};
        const bool exists = ::stat(target->c_str(), &old) == 0;
        if (exists && !S_ISREG(old.st_mode)) return false;
        if (exists && ::faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0) return false;

        const std::string folder = FolderOf(*target);
        std::string temporary;
        const int fd = CreateTemporary(folder, temporary);
        if (fd < 0) {
            return exists && (errno == EACCES || errno == EPERM) && WriteInPlace(*target, bytes);
        }
        Descriptor file(fd);
        // Best effort: some file systems keep no permission bits.
        if (exists) ::fchmod(fd, old.st_mode & 07777);
        bool ok = WriteAllAt(fd, bytes, 0) && ::fsync(fd) == 0;
        ok = file.Close() && ok;
        ok = ok && ::rename(temporary.c_str(), target->c_str()) == 0;
        if (!ok) {
            ::unlink(temporary.c_str());
            return false;
        }
        return SyncFolder(folder);
    } catch (...) {  // out of memory before anything was written
        return false;
    }
}
