#include "core/ShareState.h"

#include "core/Gb18030.h"
#include "core/TextBytes.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace core {

namespace {

constexpr std::int64_t kMaxFileBytes = INT32_MAX; // the length is a 32-bit signed count

// Reads up to `size` bytes from `fd` into `into`, going on after short reads: one read() on
// Linux returns at most about 2 GiB - 4 KiB, and a short read of a regular file is not its end.
// Returns the count read, or -1 on a read error.
std::int64_t readFully(int fd, char* into, std::size_t size)
{
    std::size_t done = 0;
    while (done < size) {
        ssize_t got = ::read(fd, into + done, size - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

// The file's bytes go into a sealed memfd, so downloads can sendfile() them without a copy in
// user space. Returns the empty buffer where that fails.
ByteBuffer readIntoMemfd(int fd, std::size_t size)
{
    UniqueFd memfd(::memfd_create("hedu-share", MFD_CLOEXEC | MFD_ALLOW_SEALING));
    if (!memfd)
        return {};
    if (::ftruncate(memfd.get(), static_cast<off_t>(size)) != 0)
        return {};
    void* mapping = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, memfd.get(), 0);
    if (mapping == MAP_FAILED)
        return {};
    std::int64_t got = readFully(fd, static_cast<char*>(mapping), size);
    ::munmap(mapping, size);
    if (got <= 0)
        return {};
    auto length = static_cast<std::size_t>(got);
    if (length < size && ::ftruncate(memfd.get(), static_cast<off_t>(length)) != 0)
        return {};
    constexpr int kSeals = F_SEAL_SHRINK | F_SEAL_GROW | F_SEAL_WRITE | F_SEAL_SEAL;
    if (::fcntl(memfd.get(), F_ADD_SEALS, kSeals) != 0)
        return {};
    return ByteBuffer::fromSealedMemfd(std::move(memfd), length);
}

} // namespace

ByteBuffer readWholeFile(const Text& path)
{
    if (path.isEmpty())
        return {};
    auto nativePath = utf8FromText(path);
    if (!nativePath)
        return {};
    // O_NONBLOCK keeps a FIFO or device from holding the window up at open(); such files are
    // refused below anyway.
    UniqueFd fd(::open(nativePath->c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (!fd)
        return {};
    struct stat info { };
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    if (info.st_size <= 0 || info.st_size > kMaxFileBytes)
        return {};
    return readIntoMemfd(fd.get(), static_cast<std::size_t>(info.st_size));
}

void adoptFile(ShareState& state, const Text& path)
{
    state.fileName = lastItem(splitText(path, "/"));
    state.fileExtension = lastItem(splitText(state.fileName, "."));
    state.fileData = readWholeFile(path);
    state.fileLength = byteLength(state.fileData);
}

void clearFileData(ShareState& state)
{
    state.fileData = ByteBuffer();
}

Text composeShareAddress(const ShareState& state)
{
    return concatText("http://", state.publicAddress, ":8090/", state.fileName);
}

} // namespace core
