#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "core/tempfolder.h"
#include "persistence/applanguage.h"
#include "persistence/configfolder.h"
#include "persistence/languageloaderini.h"
#include "support/childprocess.h"
#include "ui/shellopener.h"

namespace {

namespace fs = std::filesystem;

bool IsFile(const std::string& path) {
    std::error_code ignored;
    return fs::is_regular_file(path, ignored);
}

// What `cmake --install` puts under a fresh prefix, as a user or a package build would run it.
class InstalledTree : public TempFolderTest {
protected:
    void Install() {
        prefix = folder / "prefix";
        const std::string log = PathOf("install.log");
        ChildProcess install(
            {SENDIBOX_CMAKE_COMMAND, "--install", SENDIBOX_BINARY_DIR, "--prefix", prefix.string()},
            log, log);
        ASSERT_EQ(install.Stop(0, std::chrono::seconds(100)), 0) << Contents(log);
    }

    std::string Installed(const std::string& relative) const {
        return (prefix / relative).string();
    }

    fs::path prefix;
};

TEST_F(InstalledTree, HoldsEveryFileTheProgramLooksForWhereItLooksForIt) {
    ASSERT_NO_FATAL_FAILURE(Install());

    const std::string share = "share/sendibox-config/";
    const std::string doc = "share/doc/sendibox-config/";
    std::vector<std::string> files = {
        share + "languages.txt",
        "share/sendibox-unitsim/unit-demo.json",
        "share/applications/sendibox-config.desktop",
        "share/icons/hicolor/scalable/apps/sendibox-config.svg",
        "share/metainfo/org.sendibox.SendiboxConfig.metainfo.xml",
        "share/man/man1/sendibox-config.1.gz",
        "share/man/man1/sendibox-cli.1.gz",
        "share/man/man1/sendibox-unitsim.1.gz",
        "share/bash-completion/completions/sendibox-cli",
        doc + "copyright",
        doc + "changelog.gz",
        doc + "examples/70-sendibox-cable.rules",
        "share/doc/sendibox-unitsim/copyright",
    };
    for (const THelpDocument& document : kHelpDocuments) {
        files.push_back(doc + std::string(document.fileName));
    }
    for (const char* program : {"sendibox-cli", "sendibox-config", "sendibox-unitsim"}) {
        files.push_back("bin/" + std::string(program));
    }
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        const std::string path = Installed(file);
        ASSERT_TRUE(IsFile(path));
        EXPECT_GT(fs::file_size(path), 0u);
        if (file.starts_with("bin/")) {
            EXPECT_EQ(::access(path.c_str(), X_OK), 0);
        }
        // No name a shell or a packaging tool has to quote.
        EXPECT_EQ(file.find(' '), std::string::npos);
    }
    // The programs alone in bin/, and no portable marker anywhere: an installed copy keeps its
    // settings in the user's configuration folder, and so does the installed command line,
    // though its bin/ is writable.
    const auto inBin = [&] {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(Installed("bin"))) {
            names.insert(entry.path().filename().string());
        }
        return names;
    };
    const std::set<std::string> programs = {"sendibox-cli", "sendibox-config", "sendibox-unitsim"};
    EXPECT_EQ(inBin(), programs);
    for (const auto& entry : fs::recursive_directory_iterator(prefix)) {
        EXPECT_NE(entry.path().filename(), kPortableMarkerName) << entry.path();
    }
    EXPECT_TRUE(HasPortableMarker(SENDIBOX_PROGRAM_DIR));
    const CConfigEnvironment env{PathOf("config"), PathOf("home")};
    EXPECT_EQ(ChooseConfigFolder(Installed("bin"), env), PathOf("config") + "/sendibox-config/");
    const std::string log = PathOf("cli.log");
    ChildProcess cli(
        {Installed("bin/sendibox-cli"), "reset", "--yes", "--port", PathOf("no-such-port")}, log,
        log, {"XDG_CONFIG_HOME=" + PathOf("config")});
    EXPECT_EQ(cli.Stop(0, std::chrono::seconds(60)), 1) << Contents(log);
    EXPECT_TRUE(IsFile(PathOf("config/sendibox-config/records.csv")));
    EXPECT_EQ(inBin(), programs);

    // The installed program, started from bin/, finds each data file in the installed share
    // folder (nothing lies beside it in bin/).
    const std::vector<std::string> folders = DataFolders(Installed("bin"));
    std::vector<std::string> wanted = {"languages.txt"};
    for (const THelpDocument& document : kHelpDocuments) {
        wanted.emplace_back(document.fileName);
    }
    for (const std::string& name : wanted) {
        SCOPED_TRACE(name);
        EXPECT_EQ(LocateDataFile(name, folders, IsFile),
                  Installed((name == "languages.txt" ? share : doc) + name));
    }

    // The installed language file is the shipped one: both languages load from it.
    CAppLanguage language(
        std::make_unique<CLanguageLoaderIni>(LocateDataFile("languages.txt", folders, IsFile)));
    std::vector<std::string> names;
    language.GetLanguages(names);
    EXPECT_EQ(names, (std::vector<std::string>{"English", "Svenska"}));
    language.SetLanguage("Svenska");
    EXPECT_EQ(language.GetText("CONNECT_TO_UNIT"), "A&nslut till enhet");

    // The desktop entry starts the installed program by name and shows the installed icon.
    const std::string entry = Contents(Installed("share/applications/sendibox-config.desktop"));
    EXPECT_TRUE(entry.starts_with("[Desktop Entry]\n"));
    for (const char* line : {"Exec=", "Icon=", "StartupWMClass="}) {
        EXPECT_NE(entry.find("\n" + std::string(line) + "sendibox-config\n"), std::string::npos);
    }
    EXPECT_NE(
        Contents(Installed("share/icons/hicolor/scalable/apps/sendibox-config.svg")).find("<svg"),
        std::string::npos);
}

// The help documents are built with the program and lie beside it, as real PDF files, one for
// each Help menu entry, each language its own.
TEST_F(InstalledTree, HelpDocumentsAreBuiltBesideTheProgramAsPdfFiles) {
    std::vector<std::string> contents;
    for (const THelpDocument& document : kHelpDocuments) {
        const std::string name(document.fileName);
        SCOPED_TRACE(name);
        const std::string path = std::string(SENDIBOX_PROGRAM_DIR) + "/" + name;
        ASSERT_TRUE(IsFile(path));
        const std::string pdf = Contents(path);
        EXPECT_TRUE(pdf.starts_with("%PDF-1."));
        const std::size_t end = pdf.find_last_not_of("\r\n ");
        ASSERT_NE(end, std::string::npos);
        EXPECT_TRUE(pdf.substr(0, end + 1).ends_with("%%EOF"));
        // A page object per page; "/Type /Pages" is the page tree, not a page.
        std::size_t pages = 0;
        for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos;
             at = pdf.find("/Type /Page", at + 1)) {
            pages += pdf.compare(at, 12, "/Type /Pages") != 0 ? 1 : 0;
        }
        EXPECT_GE(pages, 2u);
        EXPECT_GT(pdf.size(), 20000u);
        EXPECT_EQ(std::count(contents.begin(), contents.end(), pdf), 0);
        contents.push_back(pdf);
    }
}

}  // namespace
