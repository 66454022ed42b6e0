#include "ui/qttranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <cstring>

// A catalogue that also answers the standard buttons' texts, which Qt 6 asks for under
// "QPlatformTheme", from "QDialogButtonBox", where catalogues made for older Qt versions keep
// them.
class CQtTranslations::CBridgingTranslator : public QTranslator {
public:
    explicit CBridgingTranslator(std::map<std::string, QString> supplement)
        : supplement(std::move(supplement)) {}

    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override {
        QString text = QTranslator::translate(context, sourceText, disambiguation, n);
        if (text.isEmpty() && context != nullptr && std::strcmp(context, "QPlatformTheme") == 0) {
            text = QTranslator::translate("QDialogButtonBox", sourceText, disambiguation, n);
        }
        if (text.isEmpty() && context != nullptr && sourceText != nullptr) {
            const auto found = supplement.find(std::string(context) + '|' + sourceText);
            if (found != supplement.end()) {
                text = found->second;
            }
        }
        return text;
    }

    bool isEmpty() const override { return QTranslator::isEmpty() && supplement.empty(); }

private:
    const std::map<std::string, QString> supplement;
};

CQtTranslations::CQtTranslations() : folder(QLibraryInfo::path(QLibraryInfo::TranslationsPath)) {}

CQtTranslations::~CQtTranslations() {
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
    }
}

bool CQtTranslations::Apply(const QString& locale) {
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
    const QString name = locale.trimmed();
    if (name.isEmpty() || name == QStringLiteral("en") || name.startsWith(QStringLiteral("en_"))) {
        return false;
    }
    auto loaded = std::make_unique<CBridgingTranslator>(supplement);
    for (const char* catalogue : {"qtbase_", "qt_"}) {
        if (loaded->load(QLatin1String(catalogue) + name, folder)) {
            QCoreApplication::installTranslator(loaded.get());
            translator = std::move(loaded);
            return true;
        }
    }
    return false;
}

QString CQtTranslations::InstalledFile() const {
    return translator ? translator->filePath() : QString();
}
