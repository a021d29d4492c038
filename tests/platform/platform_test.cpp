// What the operating system is asked through the platform files, the same on Linux and Windows.
#include "platform/platform.h"

#include "build_paths.h"
#include "support/files.h"

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

TEST(Platform, TheProgramFolderIsWhereTheTestsProgramLives) {
    std::string folder = programFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.find('\\'), std::string::npos) << folder;
    EXPECT_NE(folder.back(), '/') << folder;
    EXPECT_TRUE(std::filesystem::equivalent(folder, GRAZEWELL_BUILD_DIR "/tests")) << folder;
}

TEST(Platform, FoldersAndFilesAreToldApartMadeOnceAndNeverReplaced) {
    WorkDir dir("platform");
    EXPECT_TRUE(makeFolder("made"));
    EXPECT_TRUE(makeFolder("made")) << "a folder already there is no failure";
    ASSERT_TRUE(writeBytes("file", {1, 2, 3}));
    EXPECT_FALSE(makeFolder("file"));
    EXPECT_TRUE(isFolder("made"));
    EXPECT_FALSE(isFolder("file"));
    EXPECT_TRUE(isRegularFile("file"));
    EXPECT_FALSE(isRegularFile("made"));
    EXPECT_FALSE(isRegularFile("missing"));

    FILE *file = createNewFile("new");
    ASSERT_NE(file, nullptr);
    EXPECT_GE(fputs("a\nb\n", file), 0);
    fclose(file);
    EXPECT_EQ(readBytes("new"), (Bytes{'a', '\n', 'b', '\n'})) << "written byte for byte";
    for (const char *taken : {"new", "file", "made"}) {
        errno = 0;
        EXPECT_EQ(createNewFile(taken), nullptr) << taken;
        EXPECT_EQ(errno, EEXIST) << taken;
    }
    EXPECT_EQ(readBytes("file"), (Bytes{1, 2, 3}));

    file = openRegularFile("file");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(regularFileSize(file), 3);
    EXPECT_EQ(fgetc(file), 1);
    fclose(file);
    EXPECT_EQ(openRegularFile("made"), nullptr);
    EXPECT_EQ(openRegularFile("missing"), nullptr);
    Bytes bytes = {1, 2, 3};
    file = memoryStream(bytes);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(regularFileSize(file), -1) << "a stream with no size to look up";
    fclose(file);

    // Moved to a new name only: whatever holds the name stays, and so does the file moved.
    ASSERT_TRUE(writeBytes("moved", {4}));
    for (const char *taken : {"file", "made"}) {
        errno = 0;
        EXPECT_FALSE(moveToNewName("moved", taken)) << taken;
        EXPECT_EQ(errno, EEXIST) << taken;
    }
    EXPECT_EQ(readBytes("file"), (Bytes{1, 2, 3}));
    EXPECT_TRUE(moveToNewName("moved", "free"));
    EXPECT_FALSE(pathExists("moved"));
    EXPECT_EQ(readBytes("free"), Bytes{4});
}

// Every fault the crash line is armed for says its line, makes its mark and still ends the
// process by its signal; armed again, the line says what it was armed with last.
TEST(Platform, EveryFaultHandledSaysTheCrashLineAndStillDiesOfItsSignal) {
    WorkDir dir("crash-line");
    if (crashSignals().empty()) GTEST_SKIP() << "no signals here: the Wine tests crash the game";
    for (const auto &[number, name] : crashSignals()) {
        std::string errors;
        int died = runDying(
            [number = number] {
                armCrashLine("first (", ") line\n", "never.mark");
                armCrashLine("crashed (", "); said\n", "crash.mark");
                raise(number);
            },
            &errors);
        EXPECT_EQ(died, number) << name;
        EXPECT_EQ(errors, "crashed (" + name + "); said\n");
        Bytes mark = readBytes("crash.mark");
        EXPECT_EQ(std::string(mark.begin(), mark.end()), name + "\n");
        EXPECT_FALSE(fileExists("never.mark"));
        remove("crash.mark");
    }
}

// An extension is named by a whole word of the GL's list, never by a part of a longer name.
TEST(Platform, AnExtensionIsNamedOnlyByAWholeWordOfTheList) {
    const char *list = "GLX_ARB_create_context GLX_EXT_swap_control_tear GLX_MESA_swap_control";
    EXPECT_TRUE(namesExtension(list, "GLX_MESA_swap_control"));
    EXPECT_TRUE(namesExtension(list, "GLX_ARB_create_context"));
    EXPECT_FALSE(namesExtension(list, "GLX_EXT_swap_control")) << "only _tear is there";
    EXPECT_FALSE(namesExtension(list, "swap_control"));
    EXPECT_FALSE(namesExtension("", "GLX_EXT_swap_control"));
    EXPECT_FALSE(namesExtension(nullptr, "GLX_EXT_swap_control"));
    EXPECT_TRUE(namesExtension("WGL_EXT_swap_control ", "WGL_EXT_swap_control"));
}

} // namespace
