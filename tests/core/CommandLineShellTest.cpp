// The command lines and run files given to a real /bin/sh: hostile file names arrive as single
// arguments and inject nothing. Runs the stand-in toolchains of tests/fixtures and, when it is
// installed, the real gcc.
#include "core/toolchain/CommandLine.h"
#include "core/toolchain/RunFile.h"

#include "FakeFiles.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#ifndef _WIN32

namespace mireka {
namespace {

namespace fs = std::filesystem;
constexpr auto P = PathStyle::Posix;
constexpr int kBcc = 0, kLsi = 1, kVctk = 2, kGcc = 3;

class TempDir {
public:
    TempDir() {
        std::random_device rd;
        path_ = fs::temp_directory_path() / ("mireka-shell-" + std::to_string(rd()));
        fs::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    [[nodiscard]] std::string Dir() const { return path_.string() + "/"; }

private:
    fs::path path_;
};

std::string Q(std::string_view s) {
    return *QuoteWord(s, ShellSyntax::Posix);
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct Call {
    std::string tool;
    std::string cwd;
    std::vector<std::string> args;
};

// Reads the records the stand-ins append (see tests/fixtures/fixture-lib.sh).
std::vector<Call> ReadLog(const std::string& path) {
    const std::string log = ReadFile(path);
    std::vector<Call> calls;
    std::size_t pos = 0;
    auto line = [&]() {
        const std::size_t nl = log.find('\n', pos);
        std::string l = log.substr(pos, nl - pos);
        pos = nl == std::string::npos ? log.size() : nl + 1;
        return l;
    };
    auto counted = [&](const std::string& head) {
        const std::size_t n = std::stoul(head.substr(head.find(' ') + 1));
        std::string value = log.substr(pos, n);
        pos += n + 1;
        return value;
    };
    while (pos < log.size()) {
        Call c;
        c.tool = line().substr(5);
        c.cwd = counted(line());
        const std::size_t argc = std::stoul(line().substr(5));
        for (std::size_t i = 0; i < argc; ++i)
            c.args.push_back(counted(line()));
        EXPECT_EQ(line(), "end");
        calls.push_back(std::move(c));
    }
    return calls;
}

class ShellRun : public ::testing::Test {
protected:
    void SetUp() override {
        fixtures_ = MIREKA_FIXTURES;
        log_ = tmp_.Dir() + "calls.log";
        src_ = tmp_.Dir() + "src/";
        bin_ = tmp_.Dir() + "bin/";
        fs::create_directories(src_);
        fs::create_directories(bin_);
        // A gcc that only records, for the quoting checks.
        WriteFile(bin_ + "gcc", "#!/bin/sh\n. " + Q(fixtures_ + "/fixture-lib.sh") +
                                    "\nfixture_record gcc \"$@\"\n");
        fs::permissions(bin_ + "gcc", fs::perms::owner_all);
        settings_.m_strLccPath = fixtures_ + "/LCC.EXE";
        settings_.m_strBccPath = fixtures_ + "/BCC32.EXE";
        settings_.m_strVctkClPath = fixtures_ + "/cl.exe";
        settings_.m_strGccPath = bin_ + "gcc";
        settings_.m_strLccOption = "-O";
        settings_.m_strVctkOption = "/Za";
        settings_.m_strGccOption = "-Wall";
        settings_.m_strGccLibrary = "-lm";
    }

    // Runs the command as the runner does: the interpreter gets the text as one argument, in
    // the command's directory, with `pathHead` in front of PATH.
    int Run(const BuildCommand& c, const std::string& pathHead) {
        const std::string line = "cd " + Q(c.directory) + " && PATH=" + Q(pathHead) +
                                 ":\"$PATH\" MIREKA_FIXTURE_LOG=" + Q(log_) + " /bin/sh -c " +
                                 Q(c.command) + " >/dev/null 2>&1";
        return std::system(line.c_str());
    }
    int Run(const BuildCommand& c) { return Run(c, fixtures_ + ":" + bin_); }

    TempDir tmp_;
    std::string fixtures_, log_, src_, bin_;
    BuildSettings settings_;
};

const std::vector<std::string>& HostileNames() {
    static const std::vector<std::string> names = {
        "plain.c",
        "my prog.c",
        "it's.c",
        "a\"b.c",
        "$(touch pwned).c",
        "`touch pwned`.c",
        "a;touch pwned;.c",
        "a&touch pwned&.c",
        "a|touch pwned.c",
        "a\ntouch pwned\n.c",
        "x$HOME.c",
        "a\\b.c",
        "~x.c",
        "#x.c",
        "*.c",
        "a>b.c",
    };
    return names;
}

TEST_F(ShellRun, EveryToolchainGetsHostileNamesAsSingleArguments) {
    const CommandInterpreter sh = GetCommandInterpreter(MemoryEnvironment{}, P);
    for (const std::string& name : HostileNames())
        WriteFile(src_ + name, "int main(void) { return 0; }\n");
    const std::string cwd = src_.substr(0, src_.size() - 1);
    for (const std::string& name : HostileNames()) {
        for (int kind : {kBcc, kLsi, kVctk, kGcc}) {
            fs::remove(log_);
            const auto c = MakeCompileCommand(kind, settings_, src_ + name, false, sh, {}, P);
            ASSERT_TRUE(c);
            Run(*c);
            const std::vector<Call> calls = ReadLog(log_);
            ASSERT_EQ(calls.size(), 1u) << name << " " << kind << ": " << c->line;
            EXPECT_EQ(calls[0].cwd, cwd);
            std::vector<std::string> expected;
            switch (kind) {
            case kBcc:
                expected = {name};
                break;
            case kLsi:
                expected = {"-O", name};
                break;
            case kVctk:
                expected = {"/Za", name};
                break;
            default:
                expected = {"-Wall", name, "-lm", "-o", name.substr(0, name.size() - 2)};
            }
            EXPECT_EQ(calls[0].args, expected) << c->line;
        }
        EXPECT_FALSE(fs::exists(src_ + "pwned")) << name;
        EXPECT_FALSE(fs::exists("pwned")) << name;
    }
}

TEST_F(ShellRun, ResponseFileCompilesNameTheProgramAfterTheResponseFile) {
    const CommandInterpreter sh = GetCommandInterpreter(MemoryEnvironment{}, P);
    WriteFile(src_ + "hello.c", "int main(void) { return 0; }\n");
    WriteFile(src_ + "my list.rsp", "hello.c\n");
    const auto lsi = MakeResponseCompileCommand(kLsi, settings_, src_ + "my list.rsp", sh, {}, P);
    ASSERT_TRUE(lsi);
    Run(*lsi);
    const auto bcc = MakeResponseCompileCommand(kBcc, settings_, src_ + "my list.rsp", sh, {}, P);
    Run(*bcc);
    const auto cl = MakeResponseCompileCommand(kVctk, settings_, src_ + "my list.rsp", sh, {}, P);
    Run(*cl);
    const std::vector<Call> calls = ReadLog(log_);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].args, (std::vector<std::string>{"-O", "-o", "my list.exe", "@my list.rsp"}));
    EXPECT_EQ(calls[1].args, (std::vector<std::string>{"-emy list.exe", "@my list.rsp"}));
    EXPECT_EQ(calls[2].args, (std::vector<std::string>{"/Za", "/Femy list.exe", "@my list.rsp"}));
    // The stand-ins built the program under that name.
    EXPECT_TRUE(fs::exists(src_ + "my list.exe"));
}

// Runs a POSIX run file from "/" with `input` as its standard input; gives what it printed.
std::string RunScript(const std::string& script, const std::string& dir,
                      const std::string& input = {}) {
    WriteFile(dir + "do_exe.sh", script);
    WriteFile(dir + "in.txt", input);
    const std::string out = dir + "out.txt";
    std::system(
        ("cd / && /bin/sh " + Q(dir + "do_exe.sh") + " >" + Q(out) + " 2>&1 <" + Q(dir + "in.txt"))
            .c_str());
    return ReadFile(out);
}

TEST_F(ShellRun, RunFileStartsTheProgramInItsFolderWithTheArguments) {
    const CommandInterpreter sh = GetCommandInterpreter(MemoryEnvironment{}, P);
    const std::string name = "it's $(touch pwned) a;b.c";
    WriteFile(src_ + name, "int main(void) { return 0; }\n");
    const auto c = MakeCompileCommand(kBcc, settings_, src_ + name, false, sh, {}, P);
    ASSERT_EQ(Run(*c), 0);
    const RunTarget target = MakeRunTarget(kBcc, src_ + name, {}, P);
    ASSERT_TRUE(fs::exists(target.programPath));
    fs::remove(log_);
    // The script is run from "/", so only its own "cd" brings it to the program. The stand-in
    // program records its call only when the log variable reaches it.
    const std::optional<std::string> script =
        RunFileContent(kBcc, target, std::string("one 'two three'"), false, P);
    ASSERT_TRUE(script);
    const std::string withLog = "MIREKA_FIXTURE_LOG=" + Q(log_) + "\nexport MIREKA_FIXTURE_LOG\n" +
                                script->substr(script->find('\n') + 1);
    const std::string out = RunScript(withLog, tmp_.Dir());
    EXPECT_EQ(out, "Hello from it's $(touch pwned) a;b.exe [one] [two three]\n");
    const std::vector<Call> calls = ReadLog(log_);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].cwd, src_.substr(0, src_.size() - 1));
    EXPECT_FALSE(fs::exists(src_ + "pwned"));
}

TEST_F(ShellRun, PauseWaitsForOneKeyAndNeverHangsWithoutInput) {
    WriteFile(src_ + "p.exe", "#!/bin/sh\necho ran\n");
    fs::permissions(src_ + "p.exe", fs::perms::owner_all);
    const RunTarget target{src_, "p.exe", src_ + "p.exe"};
    const std::optional<std::string> script = RunFileContent(kBcc, target, std::nullopt, true, P);
    ASSERT_TRUE(script);
    // One key is taken; what follows stays unread (the script ends after the prompt).
    const std::string prompt = "続行するには何かキーを押してください . . . ";
    EXPECT_EQ(RunScript(*script + "cat\n", tmp_.Dir(), "kx"), "ran\n" + prompt + "\nx");
    // No input at all (no terminal, end of file): the script ends all the same.
    EXPECT_EQ(RunScript(*script, tmp_.Dir(), ""), "ran\n" + prompt + "\n");
}

TEST_F(ShellRun, RealGccCompilesAndTheRunFileRunsTheProgram) {
    MemoryEnvironment env{{"PATH", std::getenv("PATH") ? std::getenv("PATH") : ""}};
    const std::string gcc = DetectGcc(env, RealFileProbe().executable, P);
    if (gcc.empty()) GTEST_SKIP() << "no gcc on PATH";
    settings_.m_strGccPath = gcc;
    const CommandInterpreter sh = GetCommandInterpreter(MemoryEnvironment{}, P);
    const std::string name = "hello $world's.c";
    WriteFile(src_ + name, "#include <stdio.h>\n#include <math.h>\nint main(int argc, char **argv) "
                           "{ printf(\"%d %g\\n\", argc, sqrt(16.0)); return 0; }\n");
    const auto c = MakeCompileCommand(kGcc, settings_, src_ + name, true, sh, {}, P);
    ASSERT_TRUE(c);
    EXPECT_EQ(Run(*c, ToolchainDirForPath(gcc, {}, P)), 0) << c->line;
    const RunTarget target = MakeRunTarget(kGcc, src_ + name, {}, P);
    EXPECT_EQ(target.programName, "hello $world's");
    ASSERT_TRUE(fs::exists(target.programPath));
    test::FakeFiles disk; // the program as the build would read it
    std::ifstream program(target.programPath, std::ios::binary);
    disk.files[target.programPath].assign(std::istreambuf_iterator<char>(program), {});
    EXPECT_FALSE(IsWindowsGuiExecutableFile(target.programPath, disk.Reader()));
    const std::optional<std::string> script =
        RunFileContent(kGcc, target, std::string("a b"), false, P);
    ASSERT_TRUE(script);
    EXPECT_EQ(RunScript(*script, tmp_.Dir()), "3 4\n");
}

} // namespace
} // namespace mireka

#endif
