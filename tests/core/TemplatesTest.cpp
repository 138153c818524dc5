// Template names, the template folder and the starter templates.
#include "core/app/Templates.h"
#include "core/base/Paths.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>

namespace mireka {
namespace {

namespace fs = std::filesystem;

class TemplatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = GetProgramDirectories();
        root_ = fs::temp_directory_path() /
                ("mireka-templates-" + std::to_string(std::random_device()()));
        fs::create_directories(root_ / "exe" / "template");
        fs::create_directories(root_ / "user");
    }
    void TearDown() override {
        SetProgramDirectories(saved_);
        std::error_code ec;
        fs::remove_all(root_, ec);
    }
    std::string Dir(const char* name) const { return (root_ / name).string(); }
    static void Write(const fs::path& p, const std::string& bytes) {
        std::ofstream(p, std::ios::binary) << bytes;
    }

    fs::path root_;
    ProgramDirectories saved_;
};

TEST_F(TemplatesTest, ScanListsTplFilesCutAtTheirLastDot) {
    const fs::path folder = root_ / "exe" / "template";
    for (const char* f : {"b.tpl", "A.tpl", "notes.txt", "a.b.tpl", ".tpl", "x.tpl.bak"})
        Write(folder / f, "x");
    fs::create_directories(folder / "dir.tpl");
    std::vector<std::string> names = ScanTemplateNames(folder.string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"A", "a.b", "b"}));
    EXPECT_TRUE(ScanTemplateNames((root_ / "missing").string()).empty());

    SetProgramDirectories({Dir("exe"), Dir("exe"), {Dir("exe")}, {}});
    EXPECT_EQ(TemplatePath("hello"), Dir("exe") + "/template/hello.tpl");
}

TEST_F(TemplatesTest, NamesSuggestedAndRefused) {
    EXPECT_EQ(SuggestTemplateName("hello.c"), "hello");
    EXPECT_EQ(SuggestTemplateName("main.test.c"), "main");
    EXPECT_EQ(SuggestTemplateName("untitled"), "untitled");
    EXPECT_EQ(SuggestTemplateName("\x95\x5c.c"), "\x95\x5c"); // 表: no dot inside a character
    for (const char* good : {"hello", "a b", "\xe9\x85\x8d\xe5\x88\x97", "x.y", "..a"})
        EXPECT_EQ(TemplateNameProblem(good), "") << good;
    for (const std::string& bad : {std::string(), std::string("."), std::string(".."),
                                   std::string("../x"), std::string("a/b"), std::string("a\0b", 3)})
        EXPECT_NE(TemplateNameProblem(bad), "") << bad;
}

TEST_F(TemplatesTest, RenameRules) {
    EXPECT_EQ(CheckTemplateRename("a", "b", false), TemplateRename::Rename);
    EXPECT_EQ(CheckTemplateRename("a", "b", true), TemplateRename::Duplicate);
    EXPECT_EQ(CheckTemplateRename("abc", "ABC", true), TemplateRename::Nothing);
    EXPECT_EQ(CheckTemplateRename("abc", "abc", true), TemplateRename::Nothing);
    std::string text("int x;\0junk", 11);
    CutAtNul(text);
    EXPECT_EQ(text, "int x;");
}

TEST_F(TemplatesTest, StarterTemplatesAreCopiedOnceIntoTheUsersFolder) {
    Write(root_ / "exe" / "template" / "hello.tpl", "H");
    Write(root_ / "exe" / "template" / "readme.txt", "R");
    // Writing beside the program: its own folder is the template folder, nothing to copy.
    SetProgramDirectories({Dir("exe"), Dir("exe"), {Dir("exe")}, {}});
    EXPECT_FALSE(InstallStarterTemplates());
    // An installed program writes to the user's folder: the shipped templates are copied once.
    SetProgramDirectories({Dir("exe"), Dir("user"), {Dir("exe")}, Dir("user")});
    EXPECT_TRUE(InstallStarterTemplates());
    EXPECT_TRUE(fs::exists(root_ / "user" / "template" / "hello.tpl"));
    EXPECT_FALSE(fs::exists(root_ / "user" / "template" / "readme.txt"));
    // A template the user deleted stays deleted.
    fs::remove(root_ / "user" / "template" / "hello.tpl");
    EXPECT_FALSE(InstallStarterTemplates());
    EXPECT_FALSE(fs::exists(root_ / "user" / "template" / "hello.tpl"));
}

} // namespace
} // namespace mireka
