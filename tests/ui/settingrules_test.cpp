#include <QComboBox>
#include <QLineEdit>
#include <QStringList>

#include "model/settingrulecases.h"
#include "presenterfixture.h"
#include "ui/accesscontrolgui.h"
#include "ui/activerelaygui.h"
#include "ui/activetimegui.h"
#include "ui/delayblocktimegui.h"
#include "ui/inputbehaviourgui.h"
#include "ui/smsackgui.h"

namespace {

class WindowSettingRulesTest : public PresenterTest {
protected:
    // A presenter of the kind with controls made as the window makes them.
    IGuiHelper* Make(ESettingKind kind) {
        auto* current = new QLineEdit(&window);
        if (kind == ESettingKind::delayBlockTime) {
            auto* edit = new QLineEdit(&window);
            edit->setMaxLength(20);
            return Attach<CDelayBlockTimeGui>(current, edit);
        }
        auto* combo = new QComboBox(&window);
        switch (kind) {
            case ESettingKind::activeTime:
                combo->setEditable(true);
                combo->addItems(CActiveTimeGui::FormItems());
                return Attach<CActiveTimeGui>(current, combo);
            case ESettingKind::activeRelay:
                combo->addItems(CActiveRelayGui::FormItems());
                return Attach<CActiveRelayGui>(current, combo);
            case ESettingKind::smsAck:
                combo->addItems(CSmsAckGui::FormItems());
                return Attach<CSmsAckGui>(current, combo);
            case ESettingKind::accessControl:
                combo->addItems(CAccessControlGui::FormItems());
                return Attach<CAccessControlGui>(current, combo);
            default:
                combo->addItems(CInputBehaviourGui::FormItems());
                return Attach<CInputBehaviourGui>(current, combo);
        }
    }
};

TEST_F(WindowSettingRulesTest, KeepWhatThePresentersWithoutControlsKeep) {
    for (const SettingRuleCase& c : rulecases::kCases) {
        rulecases::ExpectKeptValues(*Make(c.kind), c);
    }
}

}  // namespace
