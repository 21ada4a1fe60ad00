#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "general/common/CFileProcess.h"
#include "platform/Paths.h"
#include "runtime/Error.h"
#include "tests/support/ErrorNumber.h"
#include "tests/support/TempProgramFolder.h"

namespace {

using testsupport::ErrorNumberOf;

namespace fs = std::filesystem;
using namespace OrbanelGeneral10;

class FileProcessTest : public ::testing::Test {
protected:
    void Write(const std::string& name, const std::string& content) {
        platform::AtomicWriteFile(home_ / name, content);
    }
    std::string Read(const std::string& name) { return platform::ReadWholeFile(home_ / name); }

    std::vector<std::string> AllLines(CFileProcess& f, const std::string& name) {
        EXPECT_EQ(f.OpenFile(name, INPUT_TYPE), "");
        std::vector<std::string> lines;
        std::string line = "unchanged";
        while (f.CurrentLine(line) == ReadSuccess) lines.push_back(line);
        EXPECT_EQ(line, lines.empty() ? "unchanged" : lines.back());  // EOF leaves it alone
        f.CloseFile();
        return lines;
    }

    testsupport::TempProgramFolder folder_{"fileprocess"};
    fs::path home_ = folder_.Path();
};

TEST_F(FileProcessTest, ReadsCrLfAndLfFilesAlike) {
    struct Case {
        std::string content;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {"a\r\nb", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\r\n\r\nc\r\n", {"a", "", "c"}},
        {"", {}},
        {"\r\n", {""}},
        {"x\ry\n", {"x\ry"}},  // a lone CR is part of the line
        {"last\r", {"last"}},
    };
    CFileProcess f;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        Write("t.txt", c.content);
        EXPECT_EQ(AllLines(f, "t.txt"), c.lines);
        EXPECT_EQ(f.NumberOfLinesInFile("t.txt"), static_cast<int32_t>(c.lines.size()));
        for (size_t i = 0; i < c.lines.size(); ++i) {
            std::string line;
            EXPECT_EQ(f.GetLine("t.txt", static_cast<int32_t>(i + 1), line), ReadSuccess);
            EXPECT_EQ(line, c.lines[i]);
        }
        std::string line = "kept";
        EXPECT_EQ(f.GetLine("t.txt", static_cast<int32_t>(c.lines.size() + 1), line), ReadFail);
        EXPECT_EQ(line, "kept");
        EXPECT_EQ(f.GetLine("t.txt", 0, line), ReadSuccess);
        EXPECT_EQ(line, "");
    }
}

TEST_F(FileProcessTest, WritesLinesWithCrLf) {
    CFileProcess f;
    EXPECT_NE(f.PutEntry("one", "\\Manage\\list.buf", APPEND_TYPE), "");  // no such folder
    fs::create_directory(home_ / "Manage");
    EXPECT_EQ(f.PutEntry("one", "\\manage\\list.buf", APPEND_TYPE), "");  // letter case ignored
    EXPECT_EQ(f.PutEntry("two", "\\manage\\list.buf", APPEND_TYPE), "");
    EXPECT_EQ(Read("Manage/list.buf"), "one\r\ntwo\r\n");
    EXPECT_EQ(f.FileName(), "\\manage\\list.buf");

    EXPECT_EQ(f.PutEntry("only", "\\manage\\list.buf", OUTPUT_TYPE), "");
    EXPECT_EQ(Read("Manage/list.buf"), "only\r\n");

    EXPECT_EQ(f.OpenFile("out.txt", OUTPUT_TYPE), "");
    f.AddEntry("a");
    f.AddEntry("");
    f.AddEntry("b,\"c\"");
    f.CloseFile();
    EXPECT_EQ(Read("out.txt"), "a\r\n\r\nb,\"c\"\r\n");

    EXPECT_EQ(f.OpenFile("out.txt", INPUT_TYPE), "");
    EXPECT_EQ(ErrorNumberOf([&] { f.AddEntry("x"); }), runtime::errc::BadFileMode);
    f.CloseFile();
    EXPECT_EQ(ErrorNumberOf([&] { f.AddEntry("x"); }), runtime::errc::BadFileName);
    EXPECT_EQ(ErrorNumberOf([&] { f.PutEntry("x", "out.txt", INPUT_TYPE); }),
              runtime::errc::BadFileMode);
    EXPECT_EQ(Read("out.txt"), "a\r\n\r\nb,\"c\"\r\n");
}

TEST_F(FileProcessTest, FailedOpensReportTextAndOpenNothing) {
    CFileProcess f;
    std::string line = "kept";
    EXPECT_NE(f.OpenFile("missing.txt", INPUT_TYPE), "");
    EXPECT_EQ(f.CurrentLine(line), ReadFail);
    EXPECT_EQ(f.CurrentEntry(line), ReadFail);

    Write("t.txt", "a\r\n");
    EXPECT_NE(f.OpenFile("t.txt", static_cast<OpenTypeEnum>(7)), "");
    EXPECT_EQ(f.CurrentLine(line), ReadFail);
    EXPECT_EQ(ErrorNumberOf([&] { f.AddEntry("x"); }), runtime::errc::BadFileName);
    EXPECT_NE(f.PutEntry("x", "t.txt", static_cast<OpenTypeEnum>(0)), "");
    EXPECT_EQ(Read("t.txt"), "a\r\n");

    fs::create_directory(home_ / "folder");
    EXPECT_NE(f.OpenFile("folder", INPUT_TYPE), "");
    EXPECT_NE(f.OpenFile("folder", APPEND_TYPE), "");
    EXPECT_NE(f.OpenFile("", OUTPUT_TYPE), "");
    EXPECT_EQ(line, "kept");
}

TEST_F(FileProcessTest, FieldsAreCommaSeparatedWithQuotes) {
    Write("f.txt", "x,\"y,z\"\r\n  lead ,  \"q\" tail,last\nnext\n");
    CFileProcess f;
    const std::vector<std::string> fields = {"x", "y,z", "lead", "q", "last", "next"};
    for (size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(f.GetEntry("f.txt", static_cast<int32_t>(i + 1)), fields[i]) << i;
    }
    EXPECT_EQ(f.GetEntry("f.txt", 0), "");
    EXPECT_EQ(ErrorNumberOf([&] { f.GetEntry("f.txt", 7); }), runtime::errc::InputPastEnd);
    EXPECT_EQ(ErrorNumberOf([&] { f.GetEntry("missing.txt", 1); }), runtime::errc::FileNotFound);
    std::string entry = "kept";
    EXPECT_EQ(f.CurrentEntry(entry), ReadFail);  // closed after the error too

    EXPECT_EQ(f.OpenFile("f.txt", INPUT_TYPE), "");
    for (const std::string& expected : fields) {
        EXPECT_EQ(f.CurrentEntry(entry), ReadSuccess);
        EXPECT_EQ(entry, expected);
    }
    EXPECT_EQ(f.CurrentEntry(entry), ReadEOF);
    EXPECT_EQ(entry, "next");
}

TEST_F(FileProcessTest, DeleteLineRewritesWithCrLf) {
    struct Case {
        std::string content;
        int32_t line;
        std::string result;
    };
    const std::vector<Case> cases = {
        {"a\r\nb\r\nc\r\n", 2, "a\r\nc\r\n"},
        {"a\r\nb\r\nc", 9, "a\r\nb\r\nc\r\n"},
        {"a\nb\nc\n", 1, "b\r\nc\r\n"},
        {"a\nb", 0, "a\r\nb\r\n"},
        {"a\nb", -1, "a\r\nb\r\n"},
        {"only", 1, ""},
        {"", 1, ""},
    };
    CFileProcess f;
    for (const Case& c : cases) {
        Write("d.txt", c.content);
        f.DeleteLine("d.txt", c.line);
        EXPECT_EQ(Read("d.txt"), c.result) << c.content << " " << c.line;
    }
    f.DeleteLine("missing.txt", 1);
    EXPECT_FALSE(fs::exists(home_ / "missing.txt"));
}

TEST_F(FileProcessTest, DeleteLineLeavesTheOldFileWhenTheRewriteFails) {
    const std::string old = "user1,pass1,1001,True\r\nuser2,pass2,1002,False\r\n";
    Write("accounts.buf", old);
    CFileProcess f;

    // Writes past 8 bytes fail (and raise no signal) while the limit holds.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = saved;
    tight.rlim_cur = 8;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const int32_t error = ErrorNumberOf([&] { f.DeleteLine("accounts.buf", 1); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_NE(error, 0);
    EXPECT_EQ(Read("accounts.buf"), old);
    std::vector<fs::path> leftovers;
    for (const auto& entry : fs::directory_iterator(home_)) leftovers.push_back(entry.path());
    EXPECT_EQ(leftovers.size(), 1u);  // no temporary file left behind
}

// The desk empties a file at start while every session appends to it with its
// own object: each step is on disk at once, whatever the order, and nothing
// lands later when an object opens another file or goes.
TEST_F(FileProcessTest, EmptyingIsSeenAtOnceByEveryObject) {
    enum Step { Clear, Append, ReadBack };
    std::vector<Step> steps{Clear, Append, ReadBack};
    do {
        Write("SAVE.BUF", "old\r\n");
        std::string expected = "old\r\n";
        {
            CFileProcess clearer, appender, reader;
            for (Step step : steps) {
                if (step == Clear) {
                    clearer.ClearFile("save.buf");
                    expected.clear();
                } else if (step == Append) {
                    EXPECT_EQ(appender.PutEntry("userA", "save.buf", APPEND_TYPE), "");
                    expected += "userA\r\n";
                } else {
                    EXPECT_EQ(reader.NumberOfLinesInFile("save.buf"),
                              std::count(expected.begin(), expected.end(), '\n'));
                }
                EXPECT_EQ(Read("SAVE.BUF"), expected) << "after step " << step;
            }
            clearer.OpenFile("other.txt", INPUT_TYPE);
        }
        EXPECT_EQ(Read("SAVE.BUF"), expected) << "steps " << steps[0] << steps[1] << steps[2];
    } while (std::next_permutation(steps.begin(), steps.end()));

    CFileProcess f;
    f.ClearFile("new.txt");
    EXPECT_EQ(Read("new.txt"), "");
}

TEST_F(FileProcessTest, OutputEmptiesAtOnceAndWritesEachLineAsItComes) {
    Write("layout.vfx", "old\r\n");
    CFileProcess f, other;
    EXPECT_EQ(f.OpenFile("layout.vfx", OUTPUT_TYPE), "");
    EXPECT_EQ(Read("layout.vfx"), "");
    f.AddEntry("new");
    EXPECT_EQ(Read("layout.vfx"), "new\r\n");
    EXPECT_EQ(other.PutEntry("from another", "layout.vfx", APPEND_TYPE), "");
    f.AddEntry("last");
    f.CloseFile();
    EXPECT_EQ(Read("layout.vfx"), "new\r\nfrom another\r\nlast\r\n");

    // A file that cannot be written (a folder where it belongs, which stops
    // root too) is neither emptied nor opened.
    fs::create_directory(home_ / "taken.vfx");
    Write("taken.vfx/inside", "kept");
    EXPECT_NE(f.OpenFile("taken.vfx", OUTPUT_TYPE), "");
    EXPECT_EQ(ErrorNumberOf([&] { f.AddEntry("x"); }), runtime::errc::BadFileName);
    EXPECT_EQ(Read("taken.vfx/inside"), "kept");
    EXPECT_EQ(std::distance(fs::directory_iterator(home_), fs::directory_iterator()), 2);
}

TEST_F(FileProcessTest, ExistsAndRemove) {
    CFileProcess f;
    Write("a.txt", "a");
    fs::create_directory(home_ / "folder");
    EXPECT_TRUE(f.IfFileExists("A.TXT"));
    EXPECT_FALSE(f.IfFileExists("folder"));
    EXPECT_FALSE(f.IfFileExists("b.txt"));
    EXPECT_FALSE(f.IfFileExists(""));
    EXPECT_EQ(ErrorNumberOf([&] { f.NumberOfLinesInFile("b.txt"); }), runtime::errc::FileNotFound);

    fs::permissions(home_ / "a.txt", fs::perms::owner_read);
    f.RemoveFile("a.txt");
    EXPECT_FALSE(fs::exists(home_ / "a.txt"));
    f.RemoveFile("a.txt");
    f.RemoveFile("folder");
    f.RemoveFile("");
    EXPECT_TRUE(fs::is_directory(home_ / "folder"));
}

}  // namespace
