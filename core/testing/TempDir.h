#pragma once

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace core::testing {

// A fresh folder under the system's temporary folder, removed with everything in it when the
// object goes (permissions restored first, for tests that take them away).
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "hedu-test")
    {
        std::string pattern
            = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(m_path, ignored))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

} // namespace core::testing
