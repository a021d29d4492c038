// Where data files are found: the order of the folders, the override, and what the player is
// told when there are no pictures.
#include "assets/assets.h"

#include "support/files.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace {

typedef std::vector<std::string> Folders;

TEST(DataFolders, WorkingFolderThenProgramFolderThenInstalledShareUnlessOverridden) {
    EXPECT_EQ(dataFolderCandidates(nullptr, "/opt/game/bin"),
              (Folders{"", "/opt/game/bin", "/opt/game/share/grazewell"}));
    EXPECT_EQ(dataFolderCandidates("", "/home/me/grazewell/build"),
              (Folders{"", "/home/me/grazewell/build", "/home/me/grazewell/share/grazewell"}));
    // An installed program in /usr/bin, and one at the root of the file system.
    EXPECT_EQ(dataFolderCandidates(nullptr, "/usr/bin")[2], "/usr/share/grazewell");
    EXPECT_EQ(dataFolderCandidates(nullptr, "/")[2], "/share/grazewell");
    // A program whose place cannot be told still looks in the working folder.
    EXPECT_EQ(dataFolderCandidates(nullptr, ""), (Folders{""}));
    // GRAZEWELL_DATA stands alone, a trailing slash dropped.
    EXPECT_EQ(dataFolderCandidates("/srv/pictures/", "/usr/bin"), (Folders{"/srv/pictures"}));
    EXPECT_EQ(inDataFolder("", "tex/sky.tga"), "tex/sky.tga");
    EXPECT_EQ(inDataFolder("/", "tex/sky.tga"), "/tex/sky.tga");
    EXPECT_EQ(inDataFolder("/a/b", "tex/sky.tga"), "/a/b/tex/sky.tga");
}

TEST(DataFolders, EachFileComesFromTheFirstFolderThatHoldsIt) {
    WorkDir dir("folders");
    for (const char *folder : {"own", "own/tex", "build", "build/tex", "share", "share/tex"})
        ASSERT_TRUE(makeDir(folder)) << folder;
    ASSERT_TRUE(writeBytes("own/tex/sky.tga", {1}));
    ASSERT_TRUE(writeBytes("build/tex/sky.tga", {2}));
    ASSERT_TRUE(writeBytes("build/tex/tree.tga", {2}));
    ASSERT_TRUE(writeBytes("share/tex/tree.tga", {3}));
    ASSERT_TRUE(writeBytes("share/tex/fur.tga", {3}));
    ASSERT_TRUE(makeDir("build/tex/fur.tga")); // not a file: passed over
    dataFolders = {dir.path + "/own", dir.path + "/build", dir.path + "/share"};
    EXPECT_EQ(dataPath("tex/sky.tga"), dir.path + "/own/tex/sky.tga");
    EXPECT_EQ(dataPath("tex/tree.tga"), dir.path + "/build/tex/tree.tga");
    EXPECT_EQ(dataPath("tex/fur.tga"), dir.path + "/share/tex/fur.tga");
    // Found nowhere: where the first folder would have it, so opening it fails plainly.
    EXPECT_EQ(dataPath("tex/lava.tga"), dir.path + "/own/tex/lava.tga");
    // A name given with its whole path is taken as it is.
    EXPECT_EQ(dataPath("/elsewhere/x.tga"), "/elsewhere/x.tga");
    dataFolders = {""};
    EXPECT_EQ(dataPath("own/tex/sky.tga"), "own/tex/sky.tga");
}

TEST(DataFolders, NoPicturesFolderAnywhereIsOneLineNamingWhereItLooked) {
    WorkDir dir("nopictures");
    std::string missing = dir.path + "/nothing";
    setEnvironment("GRAZEWELL_DATA", missing.c_str());
    ::testing::internal::CaptureStderr();
    chooseDataFolders();
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(dataFolderFound);
    EXPECT_EQ(dataFolders, (Folders{missing}));
    EXPECT_EQ(said, "grazewell: no pictures folder found (looked in " + missing +
                        "/tex); the meadow is drawn without pictures. GRAZEWELL_DATA may name "
                        "the folder that holds tex/.\n");
    // Then a missing picture adds nothing: the line has said it.
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(loadTGA("tex/sky.tga"), 0u);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");

    // With the folder there, nothing is said at start, and a picture missing from it is told
    // once, however often it is asked for.
    ASSERT_TRUE(makeDir(missing));
    ASSERT_TRUE(makeDir(missing + "/tex"));
    ::testing::internal::CaptureStderr();
    chooseDataFolders();
    EXPECT_TRUE(dataFolderFound);
    EXPECT_EQ(loadTGA("tex/tree.tga"), 0u);
    EXPECT_EQ(loadTGA("tex/tree.tga"), 0u);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "grazewell: tex/tree.tga: picture not found (looked in " + missing + "/tex)\n");
    setEnvironment("GRAZEWELL_DATA", nullptr);
    dataFolders = {""};
}

} // namespace
