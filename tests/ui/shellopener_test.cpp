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

TEST_F(ShellOpenerTest, DocumentComesFromTheFirstFolderThatHoldsIt) {
    const std::string program = PathOf("program dir");
    const std::string installed = PathOf("installed");
    std::filesystem::create_directories(program);
    std::filesystem::create_directories(installed);
    const std::string manual(kHelpDocuments[0].fileName);
    Put("installed/" + manual, "%PDF");

    EXPECT_TRUE(opener.OpenDocument(manual, {program + "/", installed}));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].toLocalFile().toStdString(), installed + "/" + manual);

    // Beside the program it wins; a document nowhere is still asked for beside the program,
    // where the desktop reports it missing.
    Put("program dir/" + manual, "%PDF");
    opener.OpenDocument(manual, {program + "/", installed});
    opener.OpenDocument("troubleshooting-en.pdf", {program, installed});
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[1].toLocalFile().toStdString(), program + "/" + manual);
    EXPECT_EQ(opened[2].toLocalFile().toStdString(), program + "/troubleshooting-en.pdf");

    EXPECT_FALSE(opener.OpenDocument(manual, {}));
    EXPECT_EQ(opened.size(), 3u);
}

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

TEST_F(ShellOpenerTest, LinkLabelOpensTheUserManualOfTheCurrentLanguageOnALeftClick) {
    std::filesystem::create_directories(PathOf("share"));
    Put("share/manual-en.pdf", "%PDF");
    Put("share/manual-sv.pdf", "%PDF");
    std::string language;  // none loaded yet: the English manual
    QWidget window;
    auto* link = new TWebLinkLabel(&window, opener, {PathOf("bin"), PathOf("share")},
                                   [&language] { return language; });
    link->resize(200, 20);
    EXPECT_EQ(link->text().toStdString(), std::string(kUserManualCaption));

    QTest::mouseClick(link, Qt::RightButton);
    EXPECT_TRUE(opened.empty());
    // The language is asked at each click, so a switch after construction counts.
    for (const auto& [shown, manual] : {std::pair{"", "manual-en.pdf"},
                                        {"Svenska", "manual-sv.pdf"},
                                        {"svenska", "manual-en.pdf"}}) {
        SCOPED_TRACE(shown);
        language = shown;
        opened.clear();
        QTest::mouseClick(link, Qt::LeftButton);
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_EQ(opened[0].toLocalFile().toStdString(), PathOf("share") + "/" + manual);
    }
}

}  // namespace
