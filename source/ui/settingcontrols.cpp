#include "ui/settingcontrols.h"

#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringList>

#include "core/win1252.h"
#include "model/guihelper.h"
#include "persistence/applanguage.h"
#include "ui/langcontroller.h"

namespace {

QString WidgetText(const std::string& text) {
    return QString::fromStdString(Win1252ToUtf8(text));
}

// The language that Update is told about: the event's language object when it is a
// language-loaded event that carries one, else null (the event is then ignored).
const CAppLanguage* LoadedLanguage(IObsEvent* event) {
    const auto* loaded = dynamic_cast<CLangLoadedEvent*>(event);
    return loaded != nullptr ? loaded->GetAppLanguage() : nullptr;
}

// Replaces the items and selects the item that was selected before. An editable list keeps a
// typed text that is not its selected item, since that text, not the selection, is the value.
// Change signals are held back meanwhile: the choice itself does not change.
void RefillItems(QComboBox& list, const QStringList& items) {
    const QSignalBlocker quiet(&list);
    const int index = list.currentIndex();
    const QString shown = list.currentText();
    const bool showsItem = index >= 0 && list.itemText(index) == shown;
    list.clear();
    list.addItems(items);
    list.setCurrentIndex(index);
    if (list.isEditable() && !(showsItem && index < list.count())) {
        list.setEditText(shown);
    }
}

// Calls `left` when a watched control loses the focus, except to its own drop-down list.
class TFocusOutFilter : public QObject {
public:
    explicit TFocusOutFilter(std::function<void()> left) : left(std::move(left)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            left();
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> left;
};

}  // namespace

CSettingControls::CSettingControls(ESettingKind kind, QLineEdit* currentControl,
                                   QComboBox* newControl)
    : kind(kind), currentControl(currentControl), newList(newControl) {}

CSettingControls::CSettingControls(ESettingKind kind, QLineEdit* currentControl,
                                   QLineEdit* newControl)
    : kind(kind), currentControl(currentControl), newEdit(newControl) {}

void CSettingControls::Wire(IGuiHelper& presenter, std::function<bool(const QLineEdit*)> refusedBy,
                            std::function<void()> handedOnTo) {
    refused = std::move(refusedBy);
    handedOn = std::move(handedOnTo);
    wiring = std::make_unique<TFocusOutFilter>([this, &presenter] { Commit(presenter); });
    QObject* context = wiring.get();
    const auto pending = [this] { choicePending = true; };
    if (newEdit) {
        newEdit->installEventFilter(context);
        QObject::connect(newEdit, &QLineEdit::textEdited, context, pending);
    } else if (newList) {
        newList->installEventFilter(context);
        if (QLineEdit* typed = newList->lineEdit()) {
            typed->installEventFilter(context);
            // A typed time is a value, not a new item of the list.
            newList->setInsertPolicy(QComboBox::NoInsert);
            QObject::connect(typed, &QLineEdit::textEdited, context, pending);
            QObject::connect(newList, &QComboBox::activated, context, pending);
        } else {
            QObject::connect(newList, &QComboBox::activated, context, [this, &presenter] {
                choicePending = true;
                Commit(presenter);
            });
        }
    }
}

void CSettingControls::Commit(IGuiHelper& presenter) {
    QString text;
    if (newList) {
        if (newList->lineEdit() != nullptr && refused && refused(newList->lineEdit())) {
            return;
        }
        text = newList->currentText();
    } else if (newEdit) {
        if (refused && refused(newEdit)) {
            return;
        }
        text = newEdit->text();
    } else {
        return;
    }
    const std::string value = Utf8ToWin1252(text.toStdString());
    if (choicePending) {
        choicePending = false;
        presenter.ChooseNewValue(value);
    } else {
        presenter.SetNewValue(value);
    }
    if (handedOn) {
        handedOn();
    }
}

bool CSettingControls::IsNewControl(const QWidget* widget) const {
    if (widget == nullptr) {
        return false;
    }
    if (newList) {
        return widget == newList || widget == newList->lineEdit();
    }
    return newEdit && widget == newEdit;
}

void CSettingControls::ShowUnitValue(IGuiHelper& presenter, std::string& text) {
    const CUnitValueTaken taken = TakeUnitValue(kind, text);
    text = taken.kept;
    if (presenter.StoreUnitValue(text)) {
        ShowInNewControl(taken.newControl);
    }
    ShowInCurrentControl(taken.currentControl);
}

void CSettingControls::SetNewValue(IGuiHelper& presenter, std::string& text) {
    const CNewValueTaken taken = TakeNewValue(kind, text, presenter.GetValue(ValueKind::Current),
                                              newList ? newList->currentIndex() : -1);
    ShowInNewControl(taken.newControl);
    text = taken.kept;
    presenter.StoreValue(ValueKind::New, text);
}

void CSettingControls::Update(const IGuiHelper& presenter, IObsEvent* event) {
    const std::vector<CSettingItem>& items = SettingItems(kind);
    const CAppLanguage* language = LoadedLanguage(event);
    if (items.empty() || language == nullptr || !newList) {
        return;
    }
    QStringList texts;
    for (const CSettingItem& item : items) {
        texts << (item.isLanguageKey ? LanguageText(*language, item.text) : WidgetText(item.text));
    }
    RefillItems(*newList, texts);
    // A value read from the unit shows as an item's caption, which has just changed; a
    // control emptied at a disconnect stays empty.
    const std::string current = presenter.GetValue(ValueKind::Current);
    if (!current.empty() && currentControl && !currentControl->text().isEmpty()) {
        ShowInCurrentControl(TakeUnitValue(kind, current).currentControl);
    }
}

void CSettingControls::ShowInCurrentControl(const CControlView& view) {
    if (!currentControl) {
        return;
    }
    if (view.show == CControlView::EShow::text) {
        currentControl->setText(WidgetText(view.text));
    } else if (view.show == CControlView::EShow::item) {
        // The caption the new list gives the item; nothing when the list has gone.
        currentControl->setText(newList ? newList->itemText(view.item) : QString());
    }
}

void CSettingControls::ShowInNewControl(const CControlView& view) {
    if (view.show == CControlView::EShow::item) {
        if (newList) {
            newList->setCurrentIndex(view.item);
        }
    } else if (view.show == CControlView::EShow::text) {
        if (newList) {
            newList->setCurrentText(WidgetText(view.text));
        }
        if (newEdit) {
            newEdit->setText(WidgetText(view.text));
        }
    }
}

QStringList CControlledSettingGui::FormItems(ESettingKind kind) {
    switch (kind) {
        case ESettingKind::activeTime:
            return {"Toggle", "1", "2", "5", "10", "30", "60", "120", "240"};
        case ESettingKind::activeRelay:
            return {"Not In Use", "Relay 1", "Relay 2", "Both Relays"};
        case ESettingKind::smsAck:
            return {"OFF", "Always"};
        case ESettingKind::accessControl:
            return {"OFF", "ON"};
        case ESettingKind::inputBehaviour:
            return {"Delay", "Block"};
        case ESettingKind::delayBlockTime:
            break;
    }
    return {};
}
