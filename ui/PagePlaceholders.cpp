#include "PagePlaceholders.h"

#include "ApplicationHotKey.h"
#include "Skin.h"
#include "core/CplData.h"

#include <QLabel>

TPlaceholderPage::TPlaceholderPage(const QString& objectName, QWidget* parent) : QWidget(parent) {
    setObjectName(objectName);
    resize(763, 317);
    Skin::ApplyFormLook(*this);
    auto* frame = new QLabel(this);
    frame->setObjectName(QStringLiteral("JvImageFrame"));
    frame->setPixmap(Skin::Picture(QStringLiteral("frame_placeholder")));
    frame->setGeometry(36, 21, 691, 275);
}

TfmnoxQuivraCplButtons::TfmnoxQuivraCplButtons(TDmTrackCpl& core,
                                               std::array<TJvApplicationHotKey*, 3> hotKeys,
                                               QWidget* parent)
    : TPlaceholderPage(QStringLiteral("fmnoxQuivraCplButtons"), parent), core_(core),
      hotKeys_(hotKeys) {
    acSetCenterType = AddAction("acSetCenterType", QStringLiteral("Центровка"),
                                [](TDmTrackCpl& c) { c.TrackerSetCenter(); });
    acResetCenterType = AddAction("acResetCenterType", QStringLiteral("Сброс центра"),
                                  [](TDmTrackCpl& c) { c.TrackerResetCenter(); });
    acTrackerOn =
        AddAction("acTrackerOn", QStringLiteral("Вкл."), [](TDmTrackCpl& c) { c.TrackerOn(); });
    acOffReturnCenter = AddAction("acOffReturnCenter", QStringLiteral("Выкл. с возвратом в центр"),
                                  [](TDmTrackCpl& c) { c.TrackerOffReturnCenter(); });
    acOffCurrentValue = AddAction("acOffCurrentValue", QStringLiteral("Выкл. с текущим значением"),
                                  [](TDmTrackCpl& c) { c.TrackerOffCurrentValue(); });
    acOnOff = new QAction(QStringLiteral("Вкл. / Выкл."), this);
    acOnOff->setObjectName(QStringLiteral("acOnOff"));
    connect(acOnOff, &QAction::triggered, this, [this] {
        if (core_.TrackerOnState()) {
            (core_.FlgOffCenter() ? acOffReturnCenter : acOffCurrentValue)->trigger();
        } else {
            acTrackerOn->trigger();
            core_.RavadOroraTest.BeforeShowingState = true;
        }
    });
}

QAction* TfmnoxQuivraCplButtons::AddAction(const char* name, const QString& caption,
                                           void (*command)(TDmTrackCpl&)) {
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    action->setProperty("category", QStringLiteral("Tracker"));
    connect(action, &QAction::triggered, this, [this, command] {
        if (core_.ActiveButtons()) {
            command(core_);
        }
    });
    return action;
}

void TfmnoxQuivraCplButtons::AssignActions() {
    core_.HotKeys[0].Action = [this] { acSetCenterType->trigger(); };
    core_.HotKeys[1].Action = [this] { acResetCenterType->trigger(); };
    core_.HotKeys[2].Action = [this] { acOnOff->trigger(); };
}

void TfmnoxQuivraCplButtons::UpdateSettings(bool Save) {
    if (Save) {
        core_.SaveProfile(false, QStringLiteral("TfmnoxQuivraCplButtons.UpdateSettings"));
    }
    for (int i = 0; i < 3; ++i) {
        if (hotKeys_[i]) {
            ShowBinding(core_.HotKeys[i], *hotKeys_[i]);
        }
    }
}

void TfmnoxQuivraCplButtons::ShowBinding(const HotKeyRec& Binding, TJvApplicationHotKey& HotKey) {
    HotKey.SetActive(false);
    HotKey.SetHotKey(0);
    if (Binding.InputType != QStringLiteral("Keyboard") || !Binding.Active) {
        return; // a controller binding or nothing: no hotkey
    }
    HotKey.SetHotKey(static_cast<uint16_t>(Binding.Key & 0xFFFF));
    if (Binding.Key != core_.HotKeySystemDebug) {
        HotKey.SetActive(true);
    }
}

TfmnoxQuivraCplProfiles::TfmnoxQuivraCplProfiles(QWidget* parent)
    : TPlaceholderPage(QStringLiteral("fmnoxQuivraCplProfiles"), parent) {}

TfmnoxAbout::TfmnoxAbout(QWidget* parent)
    : TPlaceholderPage(QStringLiteral("fmnoxAbout"), parent) {}
