#include "cli/file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

std::string wholePath(const std::string& path) {
    char here[4096];
    if (path.empty() || path[0] == '/' || getcwd(here, sizeof here) == nullptr) return path;
    return std::string(here) + "/" + path;
}

namespace {

std::string failed(const std::string& path, int error, std::string* failure) {
    const std::string text = wholePath(path) + ": " + std::strerror(error);
    if (failure != nullptr) *failure = text;
    return text;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> readFileBytes(const std::string& path, std::size_t limit,
                                                       std::string* failure) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        failed(path, errno, failure);
        return std::nullopt;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0) {
        const int error = errno;
        close(fd);
        failed(path, error, failure);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        close(fd);
        if (failure != nullptr) *failure = wholePath(path) + ": not a regular file";
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(limit);
    std::size_t got = 0;
    while (got < limit) {
        const ssize_t n = read(fd, bytes.data() + got, limit - got);
        if (n < 0) {
            const int error = errno;
            close(fd);
            failed(path, error, failure);
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

std::string writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return failed(path, errno, nullptr);
    if (!(out << text) || !out.flush()) return failed(path, errno == 0 ? EIO : errno, nullptr);
    return {};
}
