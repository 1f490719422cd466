#include "TextFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "TextCodec.h"

std::optional<std::vector<std::string>> ReadTextLines(const std::string& path,
                                                      std::size_t maxLineBytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;

    // One decision for the whole file: a file that is valid UTF-8 was written by a UTF-8 editor.
    const bool utf8 = IsValidUtf8(bytes);
    std::vector<std::string> lines;
    std::size_t pos = 0;
    if (utf8 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) pos = 3;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        const std::size_t next = end == std::string::npos ? bytes.size() : end + 1;
        if (end == std::string::npos) end = bytes.size();
        std::size_t stop = end;
        if (stop > pos && bytes[stop - 1] == '\r') --stop;
        if (stop - pos > maxLineBytes) break;
        const std::string_view raw(bytes.data() + pos, stop - pos);
        lines.push_back(utf8 ? std::string(raw) : Cp932ToUtf8(raw));
        pos = next;
    }
    return lines;
}

bool WriteTextFileAtomically(const std::string& path, const std::vector<std::string>& lines) {
    std::string content;
    for (const auto& line : lines) {
        content += Utf8ToCp932(line);
        content += "\r\n";
    }

    static std::atomic<unsigned> counter{0};
    const std::string temp =
        path + ".tmp" + std::to_string(getpid()) + "-" + std::to_string(counter.fetch_add(1));
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return false;

    bool ok = true;
    const char* p = content.data();
    std::size_t left = content.size();
    while (ok && left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            ok = errno == EINTR;
            continue;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) std::remove(temp.c_str());
    return ok;
}
