// ziptool run as a program on archives written by python3's zipfile.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "archive_support.h"

using namespace ziptest;

namespace {

std::vector<std::string> Split(const std::string &text, char separator) {
    std::vector<std::string> parts;
    std::istringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

class Ziptool : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directory(out);
        facts = MakeZip(zip, R"([{"name": "dir/"},
                                 {"name": "dir/sub/file.txt", "text": "squeeze me ", "repeat": 100},
                                 {"name": "Nightjar.exe", "text": "MZ launcher", "stored": true,
                                  "date": [2003, 2, 1, 7, 5, 0]},
                                 {"name": "Nightjar.htm", "text": "help"}])");
    }
    RunResult Tool(const std::string &arguments) {
        return RunProgram(Quote(ZIPTOOL) + " " + arguments + " 2>/dev/null");
    }

    ScratchFolder scratch;
    std::filesystem::path zip = scratch / "kit.zip";
    std::filesystem::path out = scratch / "game";
    std::vector<MemberFacts> facts;
};

TEST_F(Ziptool, ListPrintsOneTabSeparatedLinePerMember) {
    RunResult listed = Tool("list " + Quote(zip.string()));
    EXPECT_EQ(listed.exitCode, 0);
    std::vector<std::string> lines = Split(listed.output, '\n');
    ASSERT_EQ(lines.size(), 3u) << listed.output;
    std::vector<std::string> nested = Split(lines[0], '\t'), root = Split(lines[1], '\t');
    ASSERT_EQ(nested.size(), 8u) << lines[0];
    ASSERT_EQ(root.size(), 8u) << lines[1];
    EXPECT_FALSE(nested[4].empty()) << "the method text";
    nested[3] = std::stoi(nested[3]) > 50 ? "ratio" : nested[3];
    nested[4] = root[4] = "method";
    EXPECT_EQ(nested,
              std::vector<std::string>({"dir\\sub", "file.txt", std::to_string(facts[0].compressedSize),
                                        "ratio", "method", "2004-06-15 13:45", facts[0].crc, "0"}));
    EXPECT_EQ(root, std::vector<std::string>(
                        {"", "Nightjar.exe", "11", "0", "method", "2003-02-01 07:05", facts[1].crc, "0"}));

    EXPECT_EQ(Tool("list " + Quote((scratch / "absent.zip").string())).exitCode, 1);
}

TEST_F(Ziptool, ExtractTakesTheNamedMembersOrAll) {
    RunResult extracted =
        Tool("extract " + Quote(zip.string()) + " " + Quote(out.string()) + " Nightjar.exe file.txt");
    EXPECT_EQ(extracted.exitCode, 0) << extracted.output;
    std::vector<std::string> names = FileNames(out);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Nightjar.exe"), 1);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Nightjar.htm"), 0);
    EXPECT_EQ(ReadFile(out / "Nightjar.exe"), "MZ launcher");

    EXPECT_EQ(Tool("extract " + Quote(zip.string()) + " " + Quote(out.string())).exitCode, 0);
    EXPECT_EQ(ReadFile(out / "Nightjar.htm"), "help");
}

TEST_F(Ziptool, ExtractFailsWhenNoNameMatchesOrTheArchiveIsBad) {
    EXPECT_EQ(Tool("extract " + Quote(zip.string()) + " " + Quote(out.string()) + " nothing.txt").exitCode,
              1);
    EXPECT_TRUE(FileNames(out).empty());
    EXPECT_EQ(
        Tool("extract " + Quote((scratch / "absent.zip").string()) + " " + Quote(out.string())).exitCode, 1);
}

TEST_F(Ziptool, AWrongCommandLineIsRefused) {
    EXPECT_EQ(Tool("").exitCode, 2);
    EXPECT_EQ(Tool("list").exitCode, 2);
    EXPECT_EQ(Tool("unpack " + Quote(zip.string())).exitCode, 2);
}

} // namespace
