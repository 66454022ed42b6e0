#include "ui/shellopener.h"

#include <filesystem>
#include <utility>

#include "uitesting.h"

namespace {

class ShellOpenerTest : public TempFolderTest {
protected:
    CShellOpener opener{[this](const QUrl& url) {
        opened.push_back(url);
        return true;
    }};
    std::vector<QUrl> opened;
};

// Asked to, the opener tells when a document is missing or no program could show it, with
// its path, so the user can be told where it is; a late answer (a viewer that is still
// starting) counts too.
TEST_F(ShellOpenerTest, SaysWhereADocumentIsWhenNoProgramShowsIt) {
    std::filesystem::create_directories(PathOf("share"));
    const std::string manual(kHelpDocuments[1].fileName);
    Put("share/" + manual, "%PDF");
    std::vector<std::pair<std::string, bool>> told;
    const auto tell = [&told](const std::string& path, bool exists) {
        told.emplace_back(path, exists);
    };
    TOpenedFunction later;
    bool answer = false;
    const CShellOpener opener = CShellOpener::Reporting([&](const QUrl&, TOpenedFunction done) {
        if (answer) {
            done(false);
        } else {
            later = std::move(done);
        }
    });
    // Missing: told at once, nothing handed on.
    EXPECT_FALSE(opener.OpenDocument("Troubleshooting SWE.pdf", {PathOf("share")}, tell));
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0], std::make_pair(PathOf("share") + "/Troubleshooting SWE.pdf", false));
    // No viewer, answered at once.
    answer = true;
    EXPECT_FALSE(opener.OpenDocument(manual, {PathOf("share")}, tell));
    ASSERT_EQ(told.size(), 2u);
    EXPECT_EQ(told[1], std::make_pair(PathOf("share") + "/" + manual, true));
    // No viewer, answered after the call.
    answer = false;
    EXPECT_TRUE(opener.OpenDocument(manual, {PathOf("share")}, tell));
    EXPECT_EQ(told.size(), 2u);
    ASSERT_TRUE(later);
    later(false);
    ASSERT_EQ(told.size(), 3u);
    EXPECT_TRUE(told[2].second);
}

// The manual of the language shown, from the first folder that holds it; one that is nowhere
// is still asked for in the first folder, where the desktop reports it missing.
TEST_F(ShellOpenerTest, LinkLabelOpensTheUserManualOfTheCurrentLanguageOnALeftClick) {
    std::filesystem::create_directories(PathOf("bin"));
    std::filesystem::create_directories(PathOf("share"));
    Put("share/manual-en.pdf", "%PDF");
    std::string language;  // none loaded yet: the English manual
    QWidget window;
    auto* link = new TWebLinkLabel(&window, opener, {PathOf("bin") + "/", PathOf("share")},
                                   [&language] { return language; });
    link->resize(200, 20);
    EXPECT_EQ(link->text().toStdString(), std::string(kUserManualCaption));

    QTest::mouseClick(link, Qt::RightButton);
    EXPECT_TRUE(opened.empty());
    // The language is asked at each click, so a switch after construction counts.
    const struct {
        const char *shown, *added, *manual;
    } cases[] = {
        {"", "", "share/manual-en.pdf"},
        {"Svenska", "", "bin/manual-sv.pdf"},
        {"Svenska", "share/manual-sv.pdf", "share/manual-sv.pdf"},
        {"svenska", "", "share/manual-en.pdf"},
        {"", "bin/manual-en.pdf", "bin/manual-en.pdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.shown) + " " + c.manual);
        if (*c.added != 0) {
            Put(c.added, "%PDF");
        }
        language = c.shown;
        opened.clear();
        QTest::mouseClick(link, Qt::LeftButton);
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_EQ(opened[0].toLocalFile().toStdString(), PathOf(c.manual));
    }
    EXPECT_FALSE(opener.OpenDocument("manual-en.pdf", {}));
}

}  // namespace
