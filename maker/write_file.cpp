#include "maker/write_file.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace korvane::maker {

namespace {

std::string Failure(const std::string& path, int error) {
    return "Impossible d'enregistrer le fichier " + path + " : " + std::strerror(error);
}

// Writes every byte to `fd`; false with errno set otherwise.
bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

} // namespace

std::optional<std::string> WriteFileSafely(const std::string& path, std::string_view bytes) {
    std::string target = path;
    struct stat status {};
    if (::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
        if (char* real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    const bool exists = ::stat(target.c_str(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode)) return Failure(path, EISDIR);
    if (exists && !S_ISREG(status.st_mode)) {
        // Renaming a temporary file over a device would replace the device itself.
        const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return Failure(path, errno);
        const bool written = WriteAll(fd, bytes);
        const int error = errno;
        if (::close(fd) != 0 && written) return Failure(path, errno);
        if (!written) return Failure(path, error);
        return std::nullopt;
    }

    // The temporary file: the target's name with a number after it, in the target's folder, so that
    // the rename stays within one file system.
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temporary;
    int fd = -1;
    for (int n = 0; n < 100 && fd < 0; ++n) {
        temporary = folder + "." + name + "." + std::to_string(::getpid()) + "-" + std::to_string(n) + ".tmp";
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return Failure(path, errno);
    bool done = WriteAll(fd, bytes) && (!exists || ::fchmod(fd, status.st_mode & 07777) == 0) && ::fsync(fd) == 0;
    int error = errno;
    if (::close(fd) != 0 && done) done = false, error = errno;
    if (done && ::rename(temporary.c_str(), target.c_str()) != 0) done = false, error = errno;
    if (!done) {
        ::unlink(temporary.c_str());
        return Failure(path, error);
    }
    return std::nullopt;
}

} // namespace korvane::maker
