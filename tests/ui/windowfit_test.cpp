// The window in the shipped languages: nothing of it stays English in Svenska, Qt's own
// buttons included, and it fits 1024 x 600 with every text whole and every control reachable.
#include <QAction>
#include <QGroupBox>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTabWidget>
#include <map>
#include <set>

#include "core/win1252.h"
#include "ui/layoutfit.h"
#include "uitesting.h"

namespace {

// Where a text sits: the object names from the window down, or class and index where a
// widget has no name.
QString Id(const QObject* object, const QObject* top) {
    if (object == nullptr || object == top) {
        return {};
    }
    QString name = object->objectName();
    if (name.isEmpty()) {
        const QObject* parent = object->parent();
        const int index =
            parent != nullptr ? static_cast<int>(parent->children().indexOf(object)) : 0;
        name = QString::fromLatin1(object->metaObject()->className()) + QLatin1Char('#') +
               QString::number(index);
    }
    return Id(object->parent(), top) + QLatin1Char('/') + name;
}

void AddActions(const QList<QAction*>& actions, const QString& where,
                std::map<QString, QString>& texts) {
    for (QAction* action : actions) {
        const QString id = where + QLatin1Char('/') +
                           (action->objectName().isEmpty() ? action->text() : action->objectName());
        if (!action->isSeparator()) {
            texts[id] = action->text();
        }
        if (QMenu* menu = action->menu()) {
            texts[id + QStringLiteral("/title")] = menu->title();
            AddActions(menu->actions(), id, texts);
        }
    }
}

// Every text the window shows or can show: captions, titles, items, column captions, the
// receivers' labels, tooltips and the menus.
std::map<QString, QString> WindowTexts(TMainForm& window) {
    std::map<QString, QString> texts;
    for (QWidget* widget : window.findChildren<QWidget*>()) {
        const QString id = Id(widget, &window);
        // Labels, buttons and edits have a text, group boxes a title; any widget a tip.
        for (const char* property : {"text", "title", "toolTip"}) {
            const QVariant value = widget->property(property);
            if (value.typeId() == QMetaType::QString && !value.toString().isEmpty()) {
                texts[id + QLatin1Char('/') + QLatin1String(property)] = value.toString();
            }
        }
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            for (int i = 0; i < combo->count(); ++i) {
                texts[id + QLatin1Char('/') + QString::number(i)] = combo->itemText(i);
            }
        } else if (auto* tabs = qobject_cast<QTabWidget*>(widget)) {
            for (int i = 0; i < tabs->count(); ++i) {
                texts[id + QStringLiteral("/tab") + QString::number(i)] = tabs->tabText(i);
            }
        } else if (auto* grid = qobject_cast<TVTList*>(widget)) {
            for (int col = 0; col < grid->columnCount(); ++col) {
                texts[id + QStringLiteral("/caption") + QString::number(col)] =
                    grid->model()->headerData(col, Qt::Horizontal).toString();
            }
            for (int row = 0; row < grid->itemCount() && row < 4; ++row) {
                texts[id + QStringLiteral("/row") + QString::number(row)] =
                    QString::fromStdString(Win1252ToUtf8(grid->cellText(row, 0)));
            }
        }
    }
    AddActions(window.menuBar()->actions(), QStringLiteral("menu"), texts);
    return texts;
}

// The words of the texts that are the same in both languages (OK, IMEI, Position), and the
// product's own name: these may stay alike in a Swedish window.
std::set<QString> Words(const QString& text) {
    std::set<QString> words;
    for (const QString& word : WithoutMnemonic(text).split(
             QRegularExpression(QStringLiteral("[^\\p{L}]+")), Qt::SkipEmptyParts)) {
        words.insert(word);
    }
    return words;
}

class WindowFitTest : public UiTest {
protected:
    WindowFitTest() : UiTest(Contents(SENDIBOX_DATA_DIR "/languages.txt")) { ports.clear(); }

    void SetUp() override {
        UiTest::SetUp();
        const CIniFile file(SENDIBOX_DATA_DIR "/languages.txt");
        for (const std::string& key : file.ReadKeys("English")) {
            const QString english =
                QString::fromStdString(Win1252ToUtf8(file.ReadString("English", key, "")));
            const QString swedish =
                QString::fromStdString(Win1252ToUtf8(file.ReadString("Svenska", key, "")));
            if (WithoutMnemonic(english).trimmed() == WithoutMnemonic(swedish).trimmed()) {
                const std::set<QString> words = Words(english);
                neutralWords.insert(words.begin(), words.end());
            } else {
                englishOnly.insert(WithoutMnemonic(english).trimmed());
            }
        }
        for (const char* word :
             {"Sendibox", "Config", "Configuration", "Tool", "English", "Svenska"}) {
            neutralWords.insert(QString::fromLatin1(word));
        }
    }

    // The unit's values with the longest captions, as a connect shows them.
    void ShowUnitValues(TMainForm& window) {
        const char* values[] = {"0", "3", "0", "1", "0", "254", "254", "254", "254", "254", "254"};
        for (int i = 0; i < 11; ++i) {
            window.Presenters()[i]->ShowUnitValue(std::string(values[i]));
        }
    }

    std::set<QString> neutralWords;
    std::set<QString> englishOnly;
};

TEST_F(WindowFitTest, ASwedishWindowShowsNoEnglishAndQtsOwnButtonsFollow) {
    TMainForm& window = Show();
    ShowUnitValues(window);
    window.SwitchLanguage("English");
    const std::map<QString, QString> english = WindowTexts(window);
    window.SwitchLanguage("Svenska");
    const std::map<QString, QString> swedish = WindowTexts(window);
    ASSERT_GT(swedish.size(), 150u);
    for (const auto& [id, text] : swedish) {
        SCOPED_TRACE(id.toStdString() + ": " + text.toStdString());
        const std::set<QString> words = Words(text);
        const bool neutral = std::all_of(words.begin(), words.end(), [this](const QString& word) {
            return neutralWords.count(word) > 0;
        });
        // A text that does not change with the language is not the language's.
        const auto before = english.find(id);
        EXPECT_FALSE(before != english.end() && before->second == text && !neutral);
        // Nor may a Swedish control show an English text of the language file.
        EXPECT_EQ(englishOnly.count(WithoutMnemonic(text).trimmed()), 0u);
    }
    // The current values show in Swedish too, and the lists keep their selection and values.
    EXPECT_EQ(window.SettingsSheet->SmsAckCurrentEdit->text(), QStringLiteral("Vid larm"));
    EXPECT_EQ(window.SettingsSheet->ActiveTimeCurrentEdit->text(), QString::fromUtf8("Växla"));
    EXPECT_EQ(window.SettingsSheet->ActiveRelayNewCombo->currentText(),
              QString::fromUtf8("Båda reläerna"));
    EXPECT_EQ(window.Presenters()[1]->GetValue(ValueKind::New), "3");

    // Qt's own buttons and dialogs come from Qt's Swedish catalogue.
    EXPECT_FALSE(window.QtTranslationFile().isEmpty()) << "qt6-translations-l10n is missing";
    QMessageBox box(QMessageBox::Question, QString(), QString(),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QStringLiteral("&Ja"));
    EXPECT_EQ(box.button(QMessageBox::No)->text(), QStringLiteral("&Nej"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("Avbryt"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Leta i:"));
    window.SwitchLanguage("English");
    EXPECT_TRUE(window.QtTranslationFile().isEmpty());
}

// At the smallest size, in both languages and with a larger font: the window does not insist
// on more room, no text is cut, and every control is on screen or can be scrolled to.
TEST_F(WindowFitTest, FitsTheSmallestSizeWithEveryTextWholeAndEveryControlReachable) {
    const QFont normal = QApplication::font();
    for (const double scale : {1.0, 1.25}) {
        for (const char* language : {"English", "Svenska"}) {
            SCOPED_TRACE(std::string(language) + " font x" + std::to_string(scale));
            QFont font = normal;
            font.setPointSizeF(normal.pointSizeF() * scale);
            QApplication::setFont(font);
            TMainForm& window = Show();
            window.SwitchLanguage(language);
            ShowUnitValues(window);
            window.resize(TMainForm::kSmallestWidth, TMainForm::kSmallestHeight);
            QApplication::processEvents();
            EXPECT_EQ(window.size(), QSize(TMainForm::kSmallestWidth, TMainForm::kSmallestHeight));
            EXPECT_LE(window.minimumSizeHint().width(), TMainForm::kSmallestWidth);
            EXPECT_LE(window.minimumSizeHint().height(), TMainForm::kSmallestHeight);

            for (QWidget* page :
                 std::initializer_list<QWidget*>{window.SettingsSheet, window.InputMessagesSheet}) {
                window.PageControl->setCurrentWidget(page);
                QApplication::processEvents();
                for (QWidget* widget : window.findChildren<QWidget*>()) {
                    if (!widget->isVisible()) {
                        continue;
                    }
                    const std::string name = Id(widget, &window).toStdString();
                    if (auto* label = qobject_cast<QLabel*>(widget);
                        label != nullptr && !label->wordWrap() && label->pixmap().isNull()) {
                        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                                  label->contentsRect().width())
                            << name << " \"" << label->text().toStdString() << "\"";
                    } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
                        EXPECT_GE(button->width(), button->sizeHint().width()) << name;
                    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
                        EXPECT_GE(group->width(), group->minimumSizeHint().width()) << name;
                    } else if (auto* combo = qobject_cast<QComboBox*>(widget);
                               combo != nullptr && combo != window.RightColumn->ComPortBox) {
                        EXPECT_GE(combo->width(), combo->sizeHint().width()) << name;
                    } else if (auto* edit = qobject_cast<QLineEdit*>(widget);
                               edit != nullptr && edit->isReadOnly()) {
                        EXPECT_LE(edit->fontMetrics().horizontalAdvance(edit->text()) + 4,
                                  edit->contentsRect().width())
                            << name << " \"" << edit->text().toStdString() << "\"";
                    } else if (auto* grid = qobject_cast<TVTList*>(widget)) {
                        // The columns fill the grid without running past it, the free width
                        // shared by the text columns, and each caption is whole.
                        int sum = 0;
                        for (int col = 0; col < grid->columnCount(); ++col) {
                            sum += grid->columnWidth(col);
                            EXPECT_LE(
                                grid->horizontalHeader()->fontMetrics().horizontalAdvance(
                                    grid->model()->headerData(col, Qt::Horizontal).toString()),
                                grid->columnWidth(col))
                                << name << " " << col;
                        }
                        EXPECT_EQ(grid->columnWidth(1),
                                  grid->columnWidth(
                                      grid == window.SettingsSheet->AccessNumberList ? 2 : 4));
                        EXPECT_LE(sum, grid->viewport()->width()) << name;
                        EXPECT_GE(sum, grid->viewport()->width() - 6) << name;
                    }
                }
            }
            // Whatever does not fit scrolls into view.
            const std::pair<QScrollArea*, std::vector<QWidget*>> areas[] = {
                {window.RightColumnScroll,
                 {window.RightColumn->WriteButton, window.RightColumn->ResetButton,
                  window.RightColumn->ClearFieldsButton, window.RightColumn->ComPortBox,
                  window.RightColumn->ConnectButton, window.RightColumn->WebLinkLabel}},
                {window.SettingsSheet->SettingsScrollArea,
                 {window.SettingsSheet->SmsAckNewCombo, window.SettingsSheet->InputDelayNewEdits[5],
                  window.SettingsSheet->AccessNumberList,
                  window.SettingsSheet->InputBehaviourNewCombo}},
                {window.InputMessagesSheet->AlarmInputScrollBox,
                 {window.InputMessagesSheet->AlarmInputLists[6]}}};
            for (const auto& [area, controls] : areas) {
                window.PageControl->setCurrentWidget(
                    area == window.InputMessagesSheet->AlarmInputScrollBox
                        ? static_cast<QWidget*>(window.InputMessagesSheet)
                        : window.SettingsSheet);
                for (QWidget* control : controls) {
                    area->ensureWidgetVisible(control);
                    QApplication::processEvents();
                    const QRect shown(control->mapTo(&window, QPoint(0, 0)), control->size());
                    EXPECT_TRUE(area->viewport()->rect().contains(
                                    area->viewport()->mapFrom(&window, shown.center())) &&
                                window.rect().contains(shown.center()))
                        << control->objectName().toStdString();
                }
            }
            form.reset();
        }
    }
    QApplication::setFont(normal);
}

}  // namespace
