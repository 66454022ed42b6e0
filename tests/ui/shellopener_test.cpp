#include "ui/shellopener.h"

#include <gtest/gtest.h>

#include <QTest>
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
    opener.OpenDocument("Troubleshooting ENG.pdf", {program, installed});
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_EQ(opened[1].toLocalFile().toStdString(), program + "/" + manual);
    EXPECT_EQ(opened[2].toLocalFile().toStdString(), program + "/Troubleshooting ENG.pdf");

    EXPECT_FALSE(opener.OpenDocument(manual, {}));
    EXPECT_EQ(opened.size(), 3u);
}

TEST_F(ShellOpenerTest, LinkLabelOpensItsAddressOnALeftClick) {
    QWidget window;
    auto* link = new TWebLinkLabel(&window, opener);
    link->resize(200, 20);
    EXPECT_EQ(link->text().toStdString(), std::string(kMakerWebAddress));
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(0, 0, 128));

    QTest::mouseClick(link, Qt::RightButton);
    EXPECT_TRUE(opened.empty());
    QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl(QString::fromStdString(std::string(kMakerWebAddress))));

    TWebLinkLabel bare(nullptr, opener, "www.example.com");
    bare.resize(200, 20);
    QTest::mouseClick(&bare, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[1].scheme(), "http");
    EXPECT_EQ(opened[1].host(), "www.example.com");
}

}  // namespace
