#include "persistence/configfolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/tempfolder.h"

namespace {

TEST(ConfigFolder, ProgramFolderWhenPortableElseUserConfigurationFolder) {
    struct Case {
        const char* name;
        bool programPortable;
        CConfigEnvironment env;
        const char* expected;
    };
    const Case cases[] = {
        {"portable program folder", true, {"/x", "/home/u"}, "/opt/tool/"},
        {"xdg folder", false, {"/x/cfg", "/home/u"}, "/x/cfg/sendibox-config/"},
        {"xdg folder with slash", false, {"/x/cfg/", "/home/u"}, "/x/cfg/sendibox-config/"},
        {"xdg unset", false, {"", "/home/u"}, "/home/u/.config/sendibox-config/"},
        {"relative xdg is ignored", false, {"cfg", "/home/u"}, "/home/u/.config/sendibox-config/"},
        {"nothing usable", false, {"", ""}, "/opt/tool/"},
        {"relative home", false, {"", "home"}, "/opt/tool/"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> asked;
        const auto portable = [&](const std::string& folder) {
            asked.push_back(folder);
            return c.programPortable;
        };
        EXPECT_EQ(ChooseConfigFolder("/opt/tool", c.env, portable), c.expected);
        EXPECT_EQ(asked, std::vector<std::string>{"/opt/tool/"});
    }
}

using ConfigFolderFiles = TempFolderTest;

TEST_F(ConfigFolderFiles, RealFoldersAreCheckedAndCreated) {
    const std::string file = Put("file", "x");
    // A writable folder alone is not portable: only the marker makes it so.
    EXPECT_FALSE(HasPortableMarker(folder.string()));
    EXPECT_EQ(ChooseConfigFolder(folder.string(), CConfigEnvironment{"/x", "/y"}),
              "/x/sendibox-config/");
    Put(kPortableMarkerName, "");
    EXPECT_TRUE(HasPortableMarker(folder.string()));
    EXPECT_FALSE(HasPortableMarker(PathOf("missing")));
    EXPECT_FALSE(HasPortableMarker(""));
    EXPECT_EQ(ChooseConfigFolder(folder.string(), CConfigEnvironment{"/x", "/y"}),
              folder.string() + "/");

    const std::string nested = PathOf("a/b/sendibox-config/");
    EXPECT_TRUE(EnsureFolder(nested));
    EXPECT_TRUE(std::filesystem::is_directory(nested));
    EXPECT_TRUE(EnsureFolder(nested));
    EXPECT_FALSE(EnsureFolder(file + "/sendibox-config/"));
    EXPECT_FALSE(EnsureFolder(""));
}

TEST_F(ConfigFolderFiles, DataFileIsTakenFromTheFirstFolderThatHoldsIt) {
    std::filesystem::create_directories(folder / "bin");
    std::filesystem::create_directories(folder / "share");
    Put("share/languages.txt", "[English]\r\n");
    const auto exists = [](const std::string& path) { return std::filesystem::exists(path); };
    const std::vector<std::string> folders = {PathOf("bin"), PathOf("share/")};

    EXPECT_EQ(LocateDataFile("languages.txt", folders, exists), PathOf("share/languages.txt"));
    Put("bin/languages.txt", "[Svenska]\r\n");
    EXPECT_EQ(LocateDataFile("languages.txt", folders, exists), PathOf("bin/languages.txt"));
    EXPECT_EQ(LocateDataFile("manual.pdf", folders, exists), PathOf("bin/manual.pdf"));
    EXPECT_EQ(LocateDataFile("manual.pdf", {}, exists), "");
}

}  // namespace
