// Named shared memory blocks (POSIX shm_open), the replacement of named file
// mappings.
//
// A block is created by one process (the front end) and opened by name by
// others (the viewers). Objects are created with mode 0600, so only the same
// user can open them. Because a POSIX object outlives its handles, the
// creating SharedMemory unlinks the name when it is destroyed (or earlier via
// unlink()); it is also registered for removal on SIGINT/SIGTERM/SIGHUP (see
// termination_cleanup.h). Opening never unlinks.
//
// Names are given without the leading '/', as the blocks are named
// ("FData1234", "PData0_1234"); a name must be 1..250 bytes without '/'.
//
// A new object is all zero bytes. The mapping is MAP_SHARED, read-write, and
// page-aligned.
//
// Thread-safety: one object per thread, or external locking.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

class SharedMemory {
public:
    // Creates the object exclusively and maps it. An object of the same name
    // left behind by a dead process is unlinked and created afresh. On
    // failure returns nullopt and sets *error to the errno value.
    static std::optional<SharedMemory> create(const std::string& name, std::size_t size, int* error = nullptr);

    // Opens an existing object and maps mapLength bytes of it; 0 maps the
    // whole object. Fails (EINVAL) when mapLength exceeds the object's size
    // or the object is empty.
    static std::optional<SharedMemory> open(const std::string& name, std::size_t mapLength = 0,
                                            int* error = nullptr);

    // Removes the object's name (only for the creator; the mapping stays
    // valid). Returns false when the name was already gone.
    bool unlink();

    // True when the object of that name exists (for tests and diagnostics).
    static bool exists(const std::string& name);
    // Unlinks the object of that name, whoever created it (stale objects).
    static bool unlinkName(const std::string& name);

    void* data() const { return data_; }
    std::size_t size() const { return size_; }              // mapped length
    std::size_t objectSize() const { return objectSize_; }  // size of the object when mapped
    const std::string& name() const { return name_; }
    bool isCreator() const { return creator_; }

    SharedMemory(SharedMemory&& other) noexcept;
    SharedMemory& operator=(SharedMemory&& other) noexcept;
    SharedMemory(const SharedMemory&) = delete;
    SharedMemory& operator=(const SharedMemory&) = delete;
    ~SharedMemory();

private:
    SharedMemory() = default;
    void release() noexcept;

    std::string name_;
    void* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t objectSize_ = 0;
    bool creator_ = false;
    bool linked_ = false;
    int cleanupToken_ = -1;
};

// Where the objects appear in the file system.
inline constexpr const char* SHARED_MEMORY_DIRECTORY = "/dev/shm";

// Path of the object in the file system ("/dev/shm/<name>"), as the signal
// cleanup removes it.
std::string sharedMemoryPath(const std::string& name);

}  // namespace platform
