#include "FuzzSupport.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

void Check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "property violated: %s\n", what);
    std::abort();
}

const std::string& InputFile(const std::uint8_t* data, std::size_t size) {
    // A memory file: no disk traffic, and the readers see an ordinary regular file.
    static const int fd = memfd_create("morvane-fuzz-input", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    Check(fd >= 0 && ftruncate(fd, 0) == 0, "memory file");
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = pwrite(fd, data + done, size - done, static_cast<off_t>(done));
        Check(n > 0, "writing the memory file");
        done += static_cast<std::size_t>(n);
    }
    return path;
}

const std::string& ScratchFolder() {
    // Never destroyed, so that the clean-up at exit still has it.
    static const std::string* const folder = [] {
        // Shared memory where there is some: the targets sync what they save.
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        auto* path = new std::string(std::string(base) + "/morvane-fuzz-XXXXXX");
        Check(mkdtemp(path->data()) != nullptr, "scratch folder");
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchFolder(), ignored);
        });
        return path;
    }();
    return *folder;
}
