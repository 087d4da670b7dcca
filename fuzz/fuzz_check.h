// What the fuzz targets share: a check that stops the run with a message
// (libFuzzer keeps the input that broke it) and a private scratch folder
// for the targets that go through files.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#define FUZZ_CHECK(condition)                                                              \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

namespace fuzz {

// A folder of this process, made on first use and removed when the run ends
// normally (a crash leaves it for inspection).
inline const std::string& scratchDirectory() {
    struct Folder {
        Folder() {
            const char* base = std::getenv("TMPDIR");
            path = std::string(base && base[0] == '/' ? base : "/tmp") + "/hv-fuzz-XXXXXX";
            if (::mkdtemp(path.data()) == nullptr) std::abort();
        }
        ~Folder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
        std::string path;
    };
    static const Folder folder;
    return folder.path;
}

}  // namespace fuzz
