// .reg files at the limits: key depth, deep and wide trees, text that is not clean UTF-8 or ends
// inside a value, files too large or not regular files.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <time.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>

#include "qv/platform/registry.h"
#include "qv/platform/utf.h"
#include "qv/sim/device_database.h"
#include "qv/sim/reg_key.h"
#include "qv/sim/regfile.h"
#include "sim_machine.h"

namespace qv::sim {
namespace {

using testing::EmptyMachine;
using testing::KeyExists;
namespace fs = std::filesystem;

const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";

std::string Path(const std::string& first, int levels) {
    std::string path = first;
    for (int i = 0; i < levels; ++i) path += "\\k";
    return path;
}

// The limits below are for the optimised build on an idle machine, and far below what a quadratic
// walk would take. So the body is measured in CPU time of this thread (a busy machine does not count
// against it), and a build with AddressSanitizer, which runs such code about three times slower, is
// measured against limits three times as long.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kBuildSlowdown = 3.0;
#else
constexpr double kBuildSlowdown = 1.0;
#endif

double ThreadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

double SecondsOf(const std::function<void()>& body) {
    const double start = ThreadSeconds();
    body();
    return (ThreadSeconds() - start) / kBuildSlowdown;
}

class RegFileLimits : public EmptyMachine {
  protected:
    std::string Import(const std::string& text) {
        std::string error;
        return ImportRegFile(text, &error) ? "" : error;
    }
    std::string ExportError() {
        std::ostringstream out;
        std::string error;
        return ExportRegFile(out, &error) ? "" : error;
    }
    // A chain of levels keys "k" below HKEY_LOCAL_MACHINE\Deep, written straight into the
    // database as a registry made before depth was limited could hold it.
    void WriteLegacyChain(int levels) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open((machine_ / "registry.db").c_str(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "BEGIN; INSERT INTO keys(parent, name, fold) VALUES(1, "
                               "x'4400650065007000', x'0044004500450050');",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO keys(parent, name, fold) VALUES(?1, x'6B00', x'004B')", -1,
                           &insert, nullptr);
        for (int i = 0; i < levels; ++i) {
            sqlite3_bind_int64(insert, 1, sqlite3_last_insert_rowid(db));
            ASSERT_EQ(sqlite3_step(insert), SQLITE_DONE);
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        ASSERT_EQ(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    }
};

TEST_F(RegFileLimits, KeyDepthIsLimitedOnImportAndExport) {
    EXPECT_EQ(Import(kHeader + "[HKEY_LOCAL_MACHINE\\" + Path("Deep", 512) + "]\n"),
              "line 3: the key path is deeper than 512 levels");
    ASSERT_EQ(Import(kHeader + "[HKEY_LOCAL_MACHINE\\" + Path("Deep", 511) + "]\n\"v\"=dword:1\n"), "");
    EXPECT_EQ(ExportError(), "");

    // Deeper keys that an older registry holds: export refuses them, deletion removes them.
    ASSERT_EQ(Import(kHeader + "[-HKEY_LOCAL_MACHINE\\Deep]\n"), "");
    WriteLegacyChain(12000);
    EXPECT_NE(ExportError().find("lies deeper than 512 levels and cannot be written"), std::string::npos);
    std::string result = "unset";
    EXPECT_LT(SecondsOf([&] { result = Import(kHeader + "[-HKEY_LOCAL_MACHINE\\Deep]\n"); }), 10.0);
    EXPECT_EQ(result, "");
    EXPECT_FALSE(KeyExists(u"Deep"));
}

TEST_F(RegFileLimits, WideTreesExportAndDeleteQuickly) {
    std::string text = kHeader;
    for (int i = 0; i < 20000; ++i)
        text += "[HKEY_LOCAL_MACHINE\\Wide\\" + std::to_string(i) + "\\leaf]\n\"v\"=dword:1\n";
    ASSERT_EQ(Import(text), "");
    std::ostringstream out;
    std::string error;
    EXPECT_LT(SecondsOf([&] { EXPECT_TRUE(ExportRegFile(out, &error)) << error; }), 20.0);
    const std::string exported = out.str();
    EXPECT_EQ(std::count(exported.begin(), exported.end(), '['), 2 + 2 * 20000);
    EXPECT_LT(SecondsOf([&] { EXPECT_EQ(Import(kHeader + "[-HKEY_LOCAL_MACHINE\\Wide]\n"), ""); }), 20.0);
    EXPECT_FALSE(KeyExists(u"Wide"));
}

TEST_F(RegFileLimits, TextThatCannotBeTakenAsItStandsIsRefused) {
    const std::string keyLine = "[HKEY_LOCAL_MACHINE\\T]\n";
    const std::string highSurrogate = "\xED\xA0\x80", lowSurrogate = "\xED\xBF\xBF";
    const struct {
        std::string content;
        std::string error;  // empty: imported
    } cases[] = {
        {kHeader + "[HKEY_LOCAL_MACHINE\\A" + highSurrogate + "]\n", "line 3: the line is not valid UTF-8"},
        {kHeader + keyLine + "\"" + lowSurrogate + "\"=dword:1\n", "line 4: the line is not valid UTF-8"},
        {kHeader + keyLine + "\"v\"=\"" + highSurrogate + lowSurrogate + "\"\n",
         "line 4: the line is not valid UTF-8"},
        {kHeader + keyLine + "\"v\"=\"\xF0\x9F\x98\x80\"\n", ""},  // U+1F600 as four bytes is fine
        {kHeader + keyLine + "\"v\"=hex:01\\\n", "line 4: the file ends inside a continued value"},
        {kHeader + keyLine + "\"v\"=hex:01,\\\n  \n\n", "line 4: the file ends inside a continued value"},
        {kHeader + keyLine + "\"v\"=hex:01,\\\n\n  02\n", ""},
        {kHeader + keyLine + "\"v\"=hex:01,\\\n  " + highSurrogate + "\n",
         "line 5: the line is not valid UTF-8"},
        // UTF-16 with a lone high surrogate in a key name.
        {std::string("\xFF\xFE", 2) +
             [] {
                 std::string wide;
                 for (const char c : kHeader + "[HKEY_LOCAL_MACHINE\\A") wide += {c, '\0'};
                 wide += std::string("\x00\xD8]\0\n\0", 6);
                 return wide;
             }(),
         "line 3: the line holds a lone UTF-16 surrogate"},
        {std::string(kMaxRegFileSize + 1, ';'),
         "the file is larger than 64 MiB, the most that an import takes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content.substr(0, 200));
        EXPECT_EQ(Import(c.content), c.error);
    }
    RegKey imported;
    ASSERT_EQ(RegKey::Open(u"T", kKeyRead, &imported), kErrorSuccess);
    EXPECT_EQ(imported.ReadBytes(u"v", nullptr),
              (std::vector<uint8_t>{1, 2}));  // not cut short by the blank line

    // A name with a lone surrogate cannot come back from a file, so it is not written to one; a
    // surrogate pair can.
    const struct {
        std::u16string name;
        bool written;
    } names[] = {
        {u"Pair\xD83D\xDE00", true}, {u"Lone\xD800", false},          {u"Low\xDC00x", false},
        {u"End\xD83D", false},       {u"Swapped\xDE00\xD83D", false}, {u"High\xD83D\xD83D\xDE00", false},
    };
    for (const auto& n : names) {
        SCOPED_TRACE(ToUtf8KeepingSurrogates(n.name));
        ASSERT_EQ(WriteKeyValues(n.name, {}), kErrorSuccess);
        EXPECT_EQ(ExportError().find("cannot be written") == std::string::npos, n.written);
        ASSERT_EQ(reg::DeleteKey(kHkeyLocalMachine, n.name.c_str()), kErrorSuccess);
    }
}

TEST_F(RegFileLimits, OnlyRegularFilesWithinTheLimitAreLoaded) {
    const fs::path fifo = root_ / "fifo.reg", big = root_ / "big.reg", good = root_ / "good.reg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    std::ofstream(big).close();
    fs::resize_file(big, kMaxRegFileSize + 1);
    std::ofstream(good) << kHeader;
    const struct {
        fs::path path;
        std::string error;
    } cases[] = {
        {fifo, fifo.string() + " is a FIFO, not a regular file"},
        {"/dev/zero", "/dev/zero is a device, not a regular file"},
        {root_, root_.string() + " is a directory, not a regular file"},
        {root_ / "missing.reg", "cannot read " + (root_ / "missing.reg").string()},
        {big, big.string() + " is larger than 64 MiB, the most that an import takes"},
        {good, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        std::string content, error;
        EXPECT_EQ(LoadRegFile(c.path, &content, &error), c.error.empty());
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(content, c.error.empty() ? kHeader : "");
    }
}

}  // namespace
}  // namespace qv::sim
