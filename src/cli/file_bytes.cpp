#include "cli/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::optional<std::vector<std::uint8_t>> readFileBytes(const std::string& path, std::size_t limit) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(limit);
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t n = read(fd, bytes.data() + got, limit - got);
        if (n < 0) {
            close(fd);
            return std::nullopt;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    close(fd);
    bytes.resize(got);
    return bytes;
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
