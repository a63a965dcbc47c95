#pragma once
// A program of this build, given relative to the test's own folder: the build folder is elsewhere in
// every clone, and an absolute path compiled in would keep the compiler cache from serving one clone
// what another compiled.

#include <filesystem>
#include <string>

inline std::string BuiltProgram(const char *relativeToTest)
{
    static const std::filesystem::path here = std::filesystem::read_symlink("/proc/self/exe").parent_path();
    return (here / relativeToTest).lexically_normal().string();
}
