// Builds a help document: a Markdown file laid out on A4 pages and written as a PDF file.
//   makepdf <source.md> <target.pdf>
// Runs at build time on machines without a display, so it asks for the offscreen platform
// unless the caller chose one.
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QString>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <cstdio>

namespace {

constexpr int kResolution = 300;  // dots per inch of the PDF's drawing space
// QTextDocument::print lays the text out 2 cm inside the printable area and puts the page
// numbers in that margin; the paper's own margin only keeps them off the edge, about 22 mm in all.
constexpr qreal kMarginMm = 2.0;
constexpr int kBodyPointSize = 10;

int Fail(const QString& message) {
    std::fprintf(stderr, "makepdf: %s\n", qPrintable(message));
    return 1;
}

// The document's title is its first top-level heading; the file name when it has none.
QString TitleOf(const QString& markdown, const QString& fallback) {
    static const QRegularExpression heading(QStringLiteral("^#\\s+(.+)$"),
                                            QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = heading.match(markdown);
    return match.hasMatch() ? match.captured(1).trimmed() : fallback;
}

// Print styling that Markdown cannot express: room above headings, code set off from the
// text, and tables with single thin rules and a shaded header row instead of the default
// double frames.
void DressForPrint(QTextDocument& document) {
    QTextCursor cursor(&document);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (format.headingLevel() > 0) {
            format.setTopMargin(format.headingLevel() <= 2 ? 14 : 8);
            format.setBottomMargin(4);
        } else if (format.hasProperty(QTextFormat::BlockCodeLanguage) ||
                   format.hasProperty(QTextFormat::BlockCodeFence)) {
            format.setLeftMargin(16);
            format.setBackground(QColor(0xF0, 0xF0, 0xF0));
        } else {
            continue;
        }
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        if (table == nullptr) {
            continue;
        }
        QTextTableFormat format = table->format();
        format.setBorderCollapse(true);
        format.setBorder(1);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
        format.setBorderBrush(QColor(0x90, 0x90, 0x90));
        format.setCellSpacing(0);
        format.setCellPadding(3);
        format.setTopMargin(4);
        format.setBottomMargin(8);
        table->setFormat(format);
        for (int column = 0; column < table->columns(); ++column) {
            QTextTableCell cell = table->cellAt(0, column);
            QTextCharFormat header = cell.format();
            header.setBackground(QColor(0xE6, 0xE6, 0xE6));
            cell.setFormat(header);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    }
    QGuiApplication app(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    if (args.size() != 3) {
        return Fail(QStringLiteral("usage: makepdf <source.md> <target.pdf>"));
    }
    const QString sourcePath = args.at(1);
    const QString targetPath = args.at(2);

    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly)) {
        return Fail(QStringLiteral("cannot read %1: %2").arg(sourcePath, source.errorString()));
    }
    const QString markdown = QString::fromUtf8(source.readAll());
    if (markdown.trimmed().isEmpty()) {
        return Fail(QStringLiteral("%1 is empty").arg(sourcePath));
    }

    QTextDocument document;
    QFont body(QStringLiteral("DejaVu Sans"), kBodyPointSize);
    body.setStyleHint(QFont::SansSerif);
    document.setDefaultFont(body);
    document.setMarkdown(markdown, QTextDocument::MarkdownDialectGitHub);
    DressForPrint(document);

    // A half-written file must not pass for a built document: write beside it, then rename.
    const QString partPath = targetPath + QStringLiteral(".part");
    QFile::remove(partPath);
    {
        QPdfWriter writer(partPath);
        writer.setResolution(kResolution);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                         QPageLayout::Millimeter));
        writer.setTitle(TitleOf(markdown, QFileInfo(targetPath).completeBaseName()));
        writer.setCreator(QStringLiteral("Sendibox Config Tool"));
        document.print(&writer);
    }
    if (QFileInfo(partPath).size() <= 0) {
        QFile::remove(partPath);
        return Fail(QStringLiteral("nothing was written to %1").arg(partPath));
    }
    QFile::remove(targetPath);
    if (!QFile::rename(partPath, targetPath)) {
        QFile::remove(partPath);
        return Fail(QStringLiteral("cannot write %1").arg(targetPath));
    }
    return 0;
}
