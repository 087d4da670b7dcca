#include "platform/shared_memory.h"

#include "platform/termination_cleanup.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {
namespace {

constexpr std::size_t MAX_NAME_BYTES = 250;
constexpr mode_t BLOCK_MODE = 0600;

bool validName(const std::string& name) {
    return !name.empty() && name.size() <= MAX_NAME_BYTES && name.find('/') == std::string::npos;
}

void setError(int* error, int value) {
    if (error) *error = value;
}

}  // namespace

std::string sharedMemoryPath(const std::string& name) { return std::string(SHARED_MEMORY_DIRECTORY) + "/" + name; }

std::optional<SharedMemory> SharedMemory::create(const std::string& name, std::size_t size, int* error) {
    if (!validName(name) || size == 0) {
        setError(error, EINVAL);
        return std::nullopt;
    }
    const std::string objectName = "/" + name;
    int fd = ::shm_open(objectName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, BLOCK_MODE);
    if (fd < 0 && errno == EEXIST) {
        // Names carry the creator's pid: an existing object was left by a
        // dead process that had the same pid.
        ::shm_unlink(objectName.c_str());
        fd = ::shm_open(objectName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, BLOCK_MODE);
    }
    if (fd < 0) {
        setError(error, errno);
        return std::nullopt;
    }
    SharedMemory block;
    block.name_ = name;
    block.creator_ = true;
    block.linked_ = true;
    block.cleanupToken_ = registerCleanupPath(sharedMemoryPath(name));
    // The umask may only have removed bits; make the mode exact anyway.
    if (::fchmod(fd, BLOCK_MODE) != 0 || ::ftruncate(fd, static_cast<off_t>(size)) != 0) {
        setError(error, errno);
        ::close(fd);
        return std::nullopt;  // the destructor of block unlinks the name
    }
    void* data = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    const int mapError = errno;
    ::close(fd);
    if (data == MAP_FAILED) {
        setError(error, mapError);
        return std::nullopt;
    }
    block.data_ = data;
    block.size_ = size;
    block.objectSize_ = size;
    setError(error, 0);
    return block;
}

std::optional<SharedMemory> SharedMemory::open(const std::string& name, std::size_t mapLength, int* error) {
    if (!validName(name)) {
        setError(error, EINVAL);
        return std::nullopt;
    }
    const std::string objectName = "/" + name;
    const int fd = ::shm_open(objectName.c_str(), O_RDWR | O_CLOEXEC, 0);
    if (fd < 0) {
        setError(error, errno);
        return std::nullopt;
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        setError(error, errno);
        ::close(fd);
        return std::nullopt;
    }
    const auto objectSize = static_cast<std::size_t>(status.st_size);
    const std::size_t length = mapLength == 0 ? objectSize : mapLength;
    if (length == 0 || length > objectSize) {
        // Mapping beyond the object's end would fault on access.
        setError(error, EINVAL);
        ::close(fd);
        return std::nullopt;
    }
    void* data = ::mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    const int mapError = errno;
    ::close(fd);
    if (data == MAP_FAILED) {
        setError(error, mapError);
        return std::nullopt;
    }
    SharedMemory block;
    block.name_ = name;
    block.data_ = data;
    block.size_ = length;
    block.objectSize_ = objectSize;
    setError(error, 0);
    return block;
}

bool SharedMemory::unlink() {
    if (!creator_ || !linked_) return false;
    linked_ = false;
    unregisterCleanupPath(cleanupToken_);
    cleanupToken_ = -1;
    return ::shm_unlink(("/" + name_).c_str()) == 0;
}

bool SharedMemory::exists(const std::string& name) {
    if (!validName(name)) return false;
    struct stat status {};
    return ::stat(sharedMemoryPath(name).c_str(), &status) == 0;
}

bool SharedMemory::unlinkName(const std::string& name) {
    return validName(name) && ::shm_unlink(("/" + name).c_str()) == 0;
}

SharedMemory::SharedMemory(SharedMemory&& other) noexcept { *this = std::move(other); }

SharedMemory& SharedMemory::operator=(SharedMemory&& other) noexcept {
    if (this != &other) {
        release();
        name_ = std::move(other.name_);
        data_ = std::exchange(other.data_, nullptr);
        size_ = std::exchange(other.size_, 0);
        objectSize_ = std::exchange(other.objectSize_, 0);
        creator_ = std::exchange(other.creator_, false);
        linked_ = std::exchange(other.linked_, false);
        cleanupToken_ = std::exchange(other.cleanupToken_, -1);
    }
    return *this;
}

SharedMemory::~SharedMemory() { release(); }

void SharedMemory::release() noexcept {
    if (data_) ::munmap(data_, size_);
    data_ = nullptr;
    size_ = 0;
    if (creator_ && linked_) unlink();
    creator_ = false;
    linked_ = false;
}

}  // namespace platform
