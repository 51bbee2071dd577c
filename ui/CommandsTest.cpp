#include "ui/Commands.h"

#include "core/Gb18030.h"
#include "core/testing/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

using namespace ui;
using core::Text;
namespace fs = std::filesystem;

namespace {

// Stands in for the dialog and the three displays, and records what the commands did in order.
struct FakeControls : CommandControls {
    std::optional<Text> userChooses; // nullopt: the user cancels
    Text dialogName;
    Text path = "", length = "0", address = "";
    std::vector<std::string>* log = nullptr;

    void note(const std::string& what) const
    {
        if (log)
            log->push_back(what);
    }
    void setDialogFileName(const Text& fileName) override
    {
        note("dialog name '" + fileName.str() + "'");
        dialogName = fileName;
    }
    void showDialog() override
    {
        note("dialog");
        if (userChooses)
            dialogName = *userChooses;
    }
    Text dialogFileName() const override { return dialogName; }
    void setPathDisplay(const Text& text) override
    {
        note("path");
        path = text;
    }
    void setLengthDisplay(const Text& text) override
    {
        note("length " + text.str());
        length = text;
    }
    void setAddressDisplay(const Text& text) override
    {
        note("address");
        address = text;
    }
    Text addressDisplay() const override { return address; }
};

Text gb(std::string_view utf8)
{
    return core::textFromUtf8(utf8).value();
}

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        controls.log = &log;
        services.fetchPublicAddress = [this] {
            log.push_back("lookup");
            return publicAddress;
        };
        services.dispatchPendingEvents = [this] {
            log.push_back("dispatch");
            for (auto& queued : std::exchange(queuedEvents, {}))
                queued();
        };
        services.setClipboardText = [this](const Text& text) { clipboard = text; };
    }
    Text file(const std::string& relative, const std::string& bytes)
    {
        fs::path path = m_dir / fs::u8path(relative);
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return gb(path.string());
    }
    void loadChoosing(std::optional<Text> choice)
    {
        controls.userChooses = std::move(choice);
        loadFile(controls, state, services);
    }

    core::testing::TempDir m_temp { "hedu-commands" };
    const fs::path& m_dir = m_temp.path();
    core::ShareState state;
    FakeControls controls;
    CommandServices services;
    std::vector<std::string> log;
    Text publicAddress = "203.0.113.7";
    std::vector<std::function<void()>> queuedEvents;
    std::optional<Text> clipboard;
};

TEST_F(CommandsTest, DisplaysFollowLoadAndClear)
{
    Text path = file("测/报告 1.pdf", std::string(100, 'p'));
    loadChoosing(path);
    EXPECT_EQ(controls.path, path);
    EXPECT_EQ(controls.length, Text("100"));
    EXPECT_EQ(core::utf8FromText(controls.address), "http://203.0.113.7:8090/报告 1.pdf");
    EXPECT_EQ(state.publicAddress, Text("203.0.113.7"));
    EXPECT_EQ(log,
        (std::vector<std::string> {
            "dialog name ''", "dialog", "path", "length 100", "lookup", "dispatch", "address" }));

    copyShareAddress(controls, services);
    EXPECT_EQ(clipboard, controls.address);

    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        clearFile(controls, state);
        EXPECT_EQ(controls.path, Text(""));
        EXPECT_EQ(controls.length, Text("0KB"));
        EXPECT_EQ(controls.address, Text(""));
        EXPECT_TRUE(state.fileData.isEmpty());
        EXPECT_EQ(state.fileName, gb("报告 1.pdf")); // the name stays for the next download's type
    }
    copyShareAddress(controls, services);
    EXPECT_EQ(clipboard, Text(""));
}

TEST_F(CommandsTest, CancelledDialogChangesNothing)
{
    loadChoosing(file("a.zip", "zip"));
    core::ShareState before = state;
    FakeControls displaysBefore = controls;
    log.clear();
    loadChoosing(std::nullopt);
    EXPECT_EQ(state, before);
    EXPECT_EQ(controls.path, displaysBefore.path);
    EXPECT_EQ(controls.length, displaysBefore.length);
    EXPECT_EQ(controls.address, displaysBefore.address);
    EXPECT_EQ(log, (std::vector<std::string> { "dialog name ''", "dialog" }));
}

TEST_F(CommandsTest, UnreadableFilesAndFailedLookupsStillShowAnAddress)
{
    struct Row {
        const char* what;
        Text path;
        Text publicAddress;
        const char* expectedAddress;
    };
    const Row rows[] = {
        { "empty file", file("empty.txt", ""), "198.51.100.4",
            "http://198.51.100.4:8090/empty.txt" },
        { "missing file", gb((m_dir / "gone.bin").string()), "198.51.100.4",
            "http://198.51.100.4:8090/gone.bin" },
        { "failed lookup", file("report.pdf", "%PDF"), "", "http://:8090/report.pdf" },
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        publicAddress = row.publicAddress;
        loadChoosing(row.path);
        EXPECT_EQ(controls.address, Text(row.expectedAddress));
        EXPECT_EQ(controls.length, Text(std::to_string(state.fileLength)));
    }
    EXPECT_EQ(controls.length, Text("4"));
}

TEST_F(CommandsTest, CopyTakesWhatTheBoxHolds)
{
    loadChoosing(file("x.txt", "x"));
    controls.address = "typed by the user";
    copyShareAddress(controls, services);
    EXPECT_EQ(clipboard, Text("typed by the user"));
}

TEST_F(CommandsTest, SecondLoadReplacesEverythingAndShowsTheOldAddressUntilTheEnd)
{
    loadChoosing(file("first.rar", "first"));
    Text firstAddress = controls.address;
    publicAddress = "192.0.2.9";
    services.fetchPublicAddress = [&] {
        EXPECT_EQ(controls.address, firstAddress);
        return publicAddress;
    };
    loadChoosing(file("second.iso", "second!"));
    EXPECT_EQ(state.fileName, Text("second.iso"));
    EXPECT_EQ(state.fileExtension, Text("iso"));
    EXPECT_EQ(state.fileData.view(), "second!");
    EXPECT_EQ(state.fileLength, 7);
    EXPECT_EQ(state.publicAddress, Text("192.0.2.9"));
    EXPECT_EQ(controls.address, Text("http://192.0.2.9:8090/second.iso"));
}

TEST_F(CommandsTest, ClicksQueuedDuringTheBlockingStepsRunBeforeTheAddressIsShown)
{
    // A clear clicked while the file was read and the address looked up.
    queuedEvents.push_back([this] { clearFile(controls, state); });
    loadChoosing(file("movie.mkv", "frames"));
    EXPECT_TRUE(state.fileData.isEmpty());
    EXPECT_EQ(controls.path, Text(""));
    EXPECT_EQ(controls.length, Text("0KB"));
    // The address is composed afterwards, from the fields as they then stand.
    EXPECT_EQ(controls.address, Text("http://203.0.113.7:8090/movie.mkv"));
}

TEST_F(CommandsTest, WindowGoneDuringDispatchIsLeftAlone)
{
    struct Vanishing : FakeControls {
        bool alive = true;
        bool isAlive() const override { return alive; }
    } vanishing;
    vanishing.userChooses = file("a.txt", "a");
    services.dispatchPendingEvents = [&] { vanishing.alive = false; };
    loadFile(vanishing, state, services);
    EXPECT_EQ(vanishing.address, Text(""));
    EXPECT_EQ(state.fileData.view(), "a");
}

} // namespace
