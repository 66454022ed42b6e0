#include "ui/shellopener.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "persistence/tempfolder.h"

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
    EXPECT_TRUE(opened[0].isLocalFile());
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

    // A folder (the records' folder) opens as itself.
    EXPECT_TRUE(opener.OpenFolder(program + "/"));
    ASSERT_EQ(opened.size(), 4u);
    EXPECT_EQ(opened[3].toLocalFile().toStdString(), program + "/");
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
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 128));

    QTest::mouseClick(link, Qt::RightButton);
    EXPECT_TRUE(opened.empty());
    // The language is asked at each click, so a switch after construction counts.
    const struct {
        const char* language;
        const char* manual;
    } cases[] = {
        {"", "manual-en.pdf"},
        {"Svenska", "manual-sv.pdf"},
        {"svenska", "manual-en.pdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.language);
        language = c.language;
        opened.clear();
        QTest::mouseClick(link, Qt::LeftButton);
        ASSERT_EQ(opened.size(), 1u);
        EXPECT_EQ(opened[0].toLocalFile().toStdString(), PathOf("share") + "/" + c.manual);
    }
}

}  // namespace
