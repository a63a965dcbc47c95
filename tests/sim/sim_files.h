#pragma once
// Scratch folders and whole files, for what the virtual boards write (logs, memory dumps).

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace simtest {

struct TempDir {
    std::filesystem::path path;
    TempDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "simtest-XXXXXX").string();
        path = ::mkdtemp(tmpl.data());
    }
    ~TempDir() { std::filesystem::remove_all(path); }
};

inline std::string slurp(const std::filesystem::path &path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace simtest
