#include "core/ShareState.h"

#include "core/Gb18030.h"
#include "core/TextBytes.h"
#include "core/testing/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

using namespace core;
namespace fs = std::filesystem;

namespace {

Text gb(std::string_view utf8)
{
    auto text = textFromUtf8(utf8);
    EXPECT_TRUE(text.has_value()) << utf8;
    return text.value_or(Text());
}

class ShareStateTest : public ::testing::Test {
protected:
    // Writes `bytes` to dir/relative (UTF-8) and returns the full path as a Text.
    Text write(const std::string& relative, std::string_view bytes)
    {
        fs::path path = m_dir / fs::u8path(relative);
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return gb(path.string());
    }

    core::testing::TempDir m_temp { "hedu-share" };
    const fs::path& m_dir = m_temp.path();
};

TEST(Gb18030Test, RoundTripsChineseAndRefusesInvalidInput)
{
    EXPECT_EQ(gb("报告 1.pdf"), Text("\xb1\xa8\xb8\xe6 1.pdf"));
    EXPECT_EQ(gb("测/"), Text("\xb2\xe2/"));
    EXPECT_EQ(utf8FromText(Text("\xb1\xa8\xb8\xe6 1.pdf")), "报告 1.pdf");
    // Outside GBK: GB18030's four-byte form keeps every character.
    EXPECT_EQ(utf8FromText(gb("😀x")), "😀x");
    EXPECT_EQ(gb("a\0b"), Text("a"));
    EXPECT_FALSE(textFromUtf8("\xff\xfe").has_value());
    EXPECT_FALSE(utf8FromText(Text("\xff")).has_value());
}

TEST_F(ShareStateTest, AdoptsChineseNamedFileInOneCharacterFolder)
{
    std::string content(100, 'x');
    Text path = write("测/报告 1.pdf", content);

    ShareState state;
    adoptFile(state, path);
    EXPECT_EQ(state.fileName, gb("报告 1.pdf"));
    EXPECT_EQ(state.fileExtension, Text("pdf"));
    EXPECT_EQ(state.fileData.view(), content);
    EXPECT_EQ(state.fileLength, 100);

    state.publicAddress = "203.0.113.7";
    EXPECT_EQ(utf8FromText(composeShareAddress(state)), "http://203.0.113.7:8090/报告 1.pdf");
    state.publicAddress = Text();
    EXPECT_EQ(utf8FromText(composeShareAddress(state)), "http://:8090/报告 1.pdf");
}

TEST_F(ShareStateTest, NameAndExtensionComeFromTheLastPieces)
{
    struct Row {
        const char* name;
        const char* extension;
    };
    const Row rows[] = {
        { "report.pdf", "pdf" },
        { "README", "README" },
        { "name.", "name" },
        { ".cfg", "cfg" },
        { "a.tar.gz", "gz" },
        { "my file.txt", "txt" },
        { "a.ZIP", "ZIP" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ShareState state;
        state.publicAddress = "203.0.113.7";
        adoptFile(state, write(std::string("d/") + row.name, "1"));
        EXPECT_EQ(state.fileName, Text(row.name));
        EXPECT_EQ(state.fileExtension, Text(row.extension));
        EXPECT_EQ(
            composeShareAddress(state), concatText("http://203.0.113.7:8090/", Text(row.name)));
    }
}

TEST_F(ShareStateTest, UnreadableFilesGiveEmptyData)
{
    Text empty = write("empty.bin", "");
    Text locked = write("locked.bin", "secret");
    ::chmod((m_dir / "locked.bin").c_str(), 0);
    bool rootReadsAnyway = ::geteuid() == 0;
    fs::create_directories(m_dir / "folder");
    ASSERT_EQ(::mkfifo((m_dir / "fifo").c_str(), 0600), 0);

    struct Row {
        const char* what;
        Text path;
    };
    const Row rows[] = {
        { "empty", empty },
        { "missing", gb((m_dir / "missing.bin").string()) },
        { "folder", gb((m_dir / "folder").string()) },
        { "fifo, which must not block", gb((m_dir / "fifo").string()) },
        { "empty path", Text() },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_TRUE(readWholeFile(row.path).isEmpty());
    }
    if (!rootReadsAnyway) {
        EXPECT_TRUE(readWholeFile(locked).isEmpty());
    }

    ShareState state;
    adoptFile(state, gb((m_dir / "missing.txt").string()));
    EXPECT_EQ(state.fileName, Text("missing.txt"));
    EXPECT_EQ(state.fileExtension, Text("txt"));
    EXPECT_TRUE(state.fileData.isEmpty());
    EXPECT_EQ(state.fileLength, 0);
}

TEST_F(ShareStateTest, ReadsEveryByteOfALargeFileIntoASealedMemfd)
{
    std::string content(3 * 1024 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 131 + (i >> 12));
    ByteBuffer data = readWholeFile(write("big.bin", content));
    ASSERT_EQ(data.size(), content.size());
    EXPECT_TRUE(data.view() == content);
    ASSERT_GE(data.memfd(), 0);
    // Sealed: nobody can change the bytes a download is sending.
    EXPECT_EQ(::pwrite(data.memfd(), "x", 1, 0), -1);
    EXPECT_EQ(::ftruncate(data.memfd(), 1), -1);
}

TEST_F(ShareStateTest, FilesOf2GiBOrMoreGiveEmptyData)
{
    Text path = write("sparse.bin", "");
    ASSERT_EQ(::truncate((m_dir / "sparse.bin").c_str(), off_t(1) << 31), 0);
    EXPECT_TRUE(readWholeFile(path).isEmpty());
}

TEST_F(ShareStateTest, ClearKeepsEverythingButTheData)
{
    ShareState state;
    clearFileData(state);
    clearFileData(state);
    EXPECT_EQ(state, ShareState());

    adoptFile(state, write("a.zip", "zipbytes"));
    state.publicAddress = "198.51.100.1";
    ByteBuffer held = state.fileData; // a download under way keeps its bytes
    ShareState before = state;
    clearFileData(state);
    EXPECT_TRUE(state.fileData.isEmpty());
    EXPECT_EQ(state.fileName, before.fileName);
    EXPECT_EQ(state.fileExtension, before.fileExtension);
    EXPECT_EQ(state.fileLength, 8);
    EXPECT_EQ(state.publicAddress, before.publicAddress);
    EXPECT_EQ(held.view(), "zipbytes");

    adoptFile(state, write("b.tar.gz", "gz!"));
    EXPECT_EQ(state.fileName, Text("b.tar.gz"));
    EXPECT_EQ(state.fileExtension, Text("gz"));
    EXPECT_EQ(state.fileData.view(), "gz!");
    EXPECT_EQ(state.fileLength, 3);
}

} // namespace
