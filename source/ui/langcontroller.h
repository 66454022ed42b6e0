#pragma once

#include <QPointer>
#include <QString>
#include <string>
#include <vector>

#include "core/observer.h"

class CAppLanguage;
class QAbstractButton;
class QAction;
class QGroupBox;
class QLabel;
class QWidget;
class TVTList;

// Language controllers: one per control, attached to the CAppLanguage, each puts the text of
// its key into its control whenever a language has been loaded. A control is only lent; a
// controller whose control has been destroyed does nothing. Other events are ignored.

// The part shared by the controllers of controls with one caption.
class CCaptionLangController : public IObserver {
public:
    void Update(IObsEvent* event) final;
    const std::string& GetKey() const { return key; }

protected:
    explicit CCaptionLangController(std::string key);
    virtual void SetCaption(const QString& caption) = 0;

private:
    std::string key;
};

// Push buttons, and the check boxes and radio buttons of the dialogs.
class CButtonLangController : public CCaptionLangController {
public:
    CButtonLangController(std::string key, QAbstractButton* control);

protected:
    void SetCaption(const QString& caption) override;

private:
    QPointer<QAbstractButton> control;
};

// A menu entry, or a menu's title through QMenu::menuAction().
class CMenuItemLangController : public CCaptionLangController {
public:
    CMenuItemLangController(std::string key, QAction* control);

protected:
    void SetCaption(const QString& caption) override;

private:
    QPointer<QAction> control;
};

// A page of a QTabWidget: sets the tab's text. The tab widget is looked up when the text
// arrives, so the page may be added to it after the controller was made.
class CTabSheetLangController : public CCaptionLangController {
public:
    CTabSheetLangController(std::string key, QWidget* control);

protected:
    void SetCaption(const QString& caption) override;

private:
    QPointer<QWidget> control;
};

class CLabelLangController : public CCaptionLangController {
public:
    CLabelLangController(std::string key, QLabel* control);

protected:
    void SetCaption(const QString& caption) override;

private:
    QPointer<QLabel> control;
};

class CGroupBoxLangController : public CCaptionLangController {
public:
    CGroupBoxLangController(std::string key, QGroupBox* control);

protected:
    void SetCaption(const QString& caption) override;

private:
    QPointer<QGroupBox> control;
};

// The column captions of a grid: column i takes the text of key i. Columns beyond the list of
// keys keep their caption, so a grid given more columns later cannot make the lookup run off
// the list.
class CListViewLangController : public IObserver {
public:
    CListViewLangController(TVTList* control, std::vector<std::string> keys);
    void Update(IObsEvent* event) override;
    const std::vector<std::string>& GetKeys() const { return keys; }

private:
    QPointer<TVTList> control;
    std::vector<std::string> keys;
};

// The language's text of `key` for a widget: the core's Windows-1252 text as a QString.
QString LanguageText(const CAppLanguage& language, const std::string& key);
