// Golden-file tests of quillbox-tool: run the tool in a data folder (so that
// it names the files as the expected texts do) and compare what it prints
// and writes with files kept beside the inputs, byte for byte.
//
// QUILLBOX_UPDATE_GOLDEN=1 rewrites the expected files from the tool's
// output (check the difference before committing it).
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_folder.h"

namespace golden {

namespace fs = std::filesystem;

inline std::string Slurp(const fs::path& path) {
    return testsupport::ReadText(path.string());
}

inline std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

// Runs quillbox-tool in `dir` with `arguments`; its exit status, and
// everything it printed in `output`.
inline int Tool(const fs::path& dir, const std::string& arguments, const fs::path& output) {
    const std::string command = "cd " + Quoted(dir) + " && " + std::string(QUILLBOX_TOOL_PATH) +
                                " " + arguments + " >" + Quoted(output) + " 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The names of the files in `dir` with one of `extensions` (".vcf"), sorted.
inline std::vector<std::string> FileNames(const fs::path& dir,
                                          std::initializer_list<std::string_view> extensions) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
        const std::string extension = entry.path().extension().string();
        if (std::find(extensions.begin(), extensions.end(), extension) != extensions.end()) {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Compares `actual` with the expected file, or rewrites it.
inline void Expect(const std::string& actual, const fs::path& expected) {
    if (std::getenv("QUILLBOX_UPDATE_GOLDEN") != nullptr) {
        testsupport::WriteText(expected.string(), actual);
        return;
    }
    ASSERT_TRUE(fs::exists(expected)) << expected;
    EXPECT_EQ(actual, Slurp(expected)) << expected;
}

// A test name from a file name.
inline std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
    std::string name = info.param;
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return name;
}

// A fresh folder for one test's output, removed afterwards.
class GoldenTest : public ::testing::TestWithParam<std::string> {
protected:
    testsupport::TempFolder m_folder;
    const fs::path m_dir = m_folder.Path();
};

}  // namespace golden
