#include "platform/posix/PosixTextFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/Cp1252.h"

namespace platform {
namespace {

Error SystemError(const char* call, const std::string& path, int code) {
    Error error;
    error.call = call;
    error.path = path;
    error.code = static_cast<std::uint32_t>(code);
    error.reason = std::strerror(code);
    error.reason += '.';
    return error;
}

// Closes the descriptor at scope exit unless released.
class UniqueFd {
  public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

Result<std::string> Encode(std::string_view text, const std::string& path) {
    cp1252::Unencodable failure;
    std::optional<std::string> bytes = cp1252::Encode(text, &failure);
    if (!bytes) {
        Error error;
        error.kind = ErrorKind::Unrepresentable;
        error.call = "Encode";
        error.path = path;
        error.code = 1252;
        error.reason = failure.character;
        return error;
    }
    return std::move(*bytes);
}

}  // namespace

PosixFileOps DefaultPosixFileOps() {
    return {&::write, &::fsync, &::rename};
}

bool PosixTextFiles::Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

Result<std::string> PosixTextFiles::ReadText(const std::string& path) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        return SystemError("open", path, errno);
    }
    std::string bytes;
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return SystemError("read", path, errno);
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
        if (bytes.size() > kLargestTextFile) {
            return SystemError("read", path, EFBIG);
        }
    }
    return cp1252::Decode(bytes);
}

Status PosixTextFiles::WriteAll(int fd, std::string_view bytes, const std::string& path) {
    while (!bytes.empty()) {
        const ssize_t done = ops_.write(fd, bytes.data(), bytes.size());
        if (done < 0) {
            if (errno == EINTR) {
                continue;
            }
            return SystemError("write", path, errno);
        }
        if (done == 0) {
            return SystemError("write", path, ENOSPC);
        }
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return Status::Ok();
}

Status PosixTextFiles::AppendText(const std::string& path, std::string_view text) {
    Result<std::string> bytes = Encode(text, path);
    if (!bytes) {
        return bytes.error();
    }
    const bool existed = Exists(path);
    UniqueFd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
        return SystemError("open", path, errno);
    }
    struct stat before {};
    if (::fstat(fd.get(), &before) != 0) {
        return SystemError("fstat", path, errno);
    }
    Status written = WriteAll(fd.get(), bytes.value(), path);
    if (written && ops_.fsync(fd.get()) != 0) {
        written = SystemError("fsync", path, errno);
    }
    if (!written) {
        // A half-written line would corrupt the list: put the file back as it was.
        if (existed) {
            (void)::ftruncate(fd.get(), before.st_size);
        } else {
            ::unlink(path.c_str());
        }
    }
    return written;
}

Status PosixTextFiles::ReplaceText(const std::string& path, std::string_view text) {
    Result<std::string> bytes = Encode(text, path);
    if (!bytes) {
        return bytes.error();
    }
    std::string temp = path + std::string(kTemporaryMark) +
                       std::string(kTemporaryUniqueLength, 'X') + std::string(kTemporaryEnd);
    UniqueFd fd(::mkstemps(temp.data(), static_cast<int>(kTemporaryEnd.size())));
    if (fd.get() < 0) {
        return SystemError("mkstemps", path, errno);
    }
    struct stat original {};
    if (::stat(path.c_str(), &original) == 0) {
        (void)::fchmod(fd.get(), original.st_mode & 07777);
    } else {
        (void)::fchmod(fd.get(), 0644);
    }
    Status status = WriteAll(fd.get(), bytes.value(), path);
    if (status && ops_.fsync(fd.get()) != 0) {
        status = SystemError("fsync", path, errno);
    }
    if (status && ::close(fd.release()) != 0) {
        status = SystemError("close", path, errno);
    }
    if (status && ops_.rename(temp.c_str(), path.c_str()) != 0) {
        status = SystemError("rename", path, errno);
    }
    if (!status) {
        ::unlink(temp.c_str());
    }
    return status;
}

Status PosixTextFiles::Recover(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::vector<std::pair<std::string, struct timespec>> leftovers;
    if (DIR* dir = ::opendir(folder.c_str()); dir != nullptr) {
        while (const dirent* entry = ::readdir(dir)) {
            struct stat info {};
            const std::string found = folder + '/' + entry->d_name;
            if (IsTemporaryOf(entry->d_name, name) && ::stat(found.c_str(), &info) == 0) {
                leftovers.emplace_back(found, info.st_mtim);
            }
        }
        ::closedir(dir);
    }
    if (leftovers.empty()) {
        return Status::Ok();
    }
    if (!Exists(path)) {
        const auto newest =
            std::max_element(leftovers.begin(), leftovers.end(), [](const auto& a, const auto& b) {
                return std::pair(a.second.tv_sec, a.second.tv_nsec) <
                       std::pair(b.second.tv_sec, b.second.tv_nsec);
            });
        if (::rename(newest->first.c_str(), path.c_str()) != 0) {
            return SystemError("rename", path, errno);  // every copy stays for the next try
        }
        leftovers.erase(newest);
    }
    Status status;
    for (const auto& leftover : leftovers) {
        if (::unlink(leftover.first.c_str()) != 0 && status) {
            status = SystemError("unlink", leftover.first, errno);
        }
    }
    return status;
}

}  // namespace platform
