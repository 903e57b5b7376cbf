#pragma once
// A fresh folder per test, removed afterwards, and whole-file helpers for byte comparisons.

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace quarrow::test {

class TempDir {
public:
    TempDir() {
        static std::atomic<int> counter{0};
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = info ? std::string(info->test_suite_name()) + "." + info->name()
                                : std::string("quarrow");
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.')
                c = '_';
        path_ =
            std::filesystem::temp_directory_path() / ("quarrow-test-" + std::to_string(::getpid()) +
                                                      "-" + std::to_string(counter++) + "-" + name);
#ifdef _WIN32
        // "C:/Users/..." : Windows takes "/" too, and the expected texts of the tests use it.
        path_ = path_.generic_string();
#endif
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
#ifdef _WIN32
        // A read-only file cannot be removed there, and its folder would stay.
        for (const auto& entry : std::filesystem::recursive_directory_iterator(path_, ec))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ec);
#endif
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const {
        return path_;
    }
    std::string operator/(const std::string& name) const {
        return (path_ / name).generic_string();
    }

private:
    std::filesystem::path path_;
};

inline std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteFileBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace quarrow::test
