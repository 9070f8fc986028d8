#include "PageSets.h"

#include "DigitControl.h"
#include "Skin.h"
#include "SkinWidgets.h"
#include "core/CplData.h"
#include "devicelink/ParamBlock.h"
#include "devicelink/Utils.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <array>

namespace {

constexpr int kEditHeight = 21;
constexpr int kComboHeight = 23;
constexpr int kRowX = 148; // the row labelled "Ось Х:"
constexpr int kRowY = 173; // the row labelled "Ось Y:"
// The grid's labels: the row labels sit 3 pixels below their row's top, the column titles above
// the X row; each is one line of the 11-pixel font high.
constexpr int kLabelHeight = 16;
constexpr int kColumnTitleY = 129;

// One numeric field of the page: where it sits and what its tooltip says.
struct EditDef {
    const char* name;
    QLineEdit* TfmnoxQuivraCplSets::*member;
    QPoint at;
    int width;
    const char* tooltip;
};

using Page = TfmnoxQuivraCplSets;
const char* const kSensitivity = "коэффициент чувствительности";
const char* const kDeadCentre = "МЗ в центре (для оси с центром)";
const char* const kDeadEdge = "МЗ на краях ( или сверху, если ось без центра)";

// In tab order (the selectors come first and last).
const std::array<EditDef, 16> kEdits{{
    {"YNQ_CMN_rotate", &Page::YNQ_CMN_rotate, {670, 36}, 41, "поворот системы координат"},
    {"YNQ_CMN_dbx", &Page::YNQ_CMN_dbx, {503, 63}, 41, "динамическая МЗ по X"},
    {"YNQ_CMN_dby", &Page::YNQ_CMN_dby, {583, 63}, 41, "динамическая МЗ по Y"},
    {"YNQ_CMN_ratio",
     &Page::YNQ_CMN_ratio,
     {671, 63},
     41,
     "коэффициент сжатия DBX/DBY к краю (100 - не уменьшается, 50 - пополам)"},
    {"YNQ_PA1_flt", &Page::YNQ_PA1_flt, {360, kRowX}, 51, "уровень фильтра"},
    {"YNQ_PA2_flt", &Page::YNQ_PA2_flt, {360, kRowY}, 51, "уровень фильтра"},
    {"YNQ_PA1_kdh", &Page::YNQ_PA1_kdh, {474, kRowX}, 51, kSensitivity},
    {"YNQ_PA2_kdh", &Page::YNQ_PA2_kdh, {474, kRowY}, 51, kSensitivity},
    {"YNQ_PA1_kdl", &Page::YNQ_PA1_kdl, {417, kRowX}, 51, kSensitivity},
    {"YNQ_PA2_kdl", &Page::YNQ_PA2_kdl, {417, kRowY}, 51, kSensitivity},
    {"YNQ_LA1_dzl", &Page::YNQ_LA1_dzl, {531, kRowX}, 51, kDeadCentre},
    {"YNQ_LA2_dzl", &Page::YNQ_LA2_dzl, {531, kRowY}, 51, kDeadCentre},
    {"YNQ_LA1_dzh", &Page::YNQ_LA1_dzh, {588, kRowX}, 51, kDeadEdge},
    {"YNQ_LA2_dzh", &Page::YNQ_LA2_dzh, {588, kRowY}, 51, kDeadEdge},
    {"YNQ_LA1_prcs", &Page::YNQ_LA1_prcs, {645, kRowX}, 51, "Разрядность оси"},
    {"YNQ_LA2_prcs", &Page::YNQ_LA2_prcs, {645, kRowY}, 51, "Разрядность оси"},
}};

// Longest text a field needs ("-360"); keeps every entry inside the integer range.
constexpr int kMaxDigits = 4;

QLabel* AddLabel(QWidget* parent, const QString& name, const QString& text, QRect box,
                 Qt::Alignment align, int px = 11, bool bold = false) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(Skin::FormFont(px, bold));
    label->setGeometry(box);
    label->setAlignment(align);
    return label;
}

int IntegerOf(const QString& text) {
    bool ok = false;
    const int v = text.toInt(&ok);
    return ok ? v : 0;
}

} // namespace

TfmnoxQuivraCplSets::TfmnoxQuivraCplSets(TDmTrackCpl& core, QWidget* parent)
    : QWidget(parent), core_(core) {
    setObjectName(QStringLiteral("fmnoxQuivraCplSets"));
    resize(750, 317);
    Skin::ApplyFormLook(*this, 11);

    auto* background = new QLabel(this);
    background->setObjectName(QStringLiteral("JvImageBackground"));
    background->setPixmap(Skin::Picture(QStringLiteral("sets_background")));
    background->setGeometry(0, 0, 750, 317);
    auto* common = new QLabel(this);
    common->setObjectName(QStringLiteral("JvImageCommon"));
    common->setPixmap(Skin::Picture(QStringLiteral("frame_common")));
    common->setGeometry(298, 6, 436, 90);
    auto* axes = new QLabel(this);
    axes->setObjectName(QStringLiteral("JvImageAxes"));
    axes->setPixmap(Skin::Picture(QStringLiteral("frame_axes")));
    axes->setGeometry(298, 100, 436, 106);
    BuildLabels();

    auto* digits = new TDigitControl(this);
    YNQ_CMN_mode = new QComboBox(this);
    YNQ_CMN_mode->setObjectName(QStringLiteral("YNQ_CMN_mode"));
    YNQ_CMN_mode->addItems({QStringLiteral("Джойстик"), QStringLiteral("Хатка")});
    YNQ_CMN_mode->setCurrentIndex(-1);
    YNQ_CMN_mode->setGeometry(366, 36, 88, kComboHeight);
    QWidget* previous = YNQ_CMN_mode;
    for (const EditDef& def : kEdits) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(def.name));
        edit->setGeometry(QRect(def.at, QSize(def.width, kEditHeight)));
        edit->setToolTip(QString::fromUtf8(def.tooltip));
        edit->setValidator(digits);
        edit->setMaxLength(kMaxDigits);
        edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        this->*def.member = edit;
        setTabOrder(previous, edit);
        previous = edit;
    }
    YNQ_CMN_ddz = new QComboBox(this);
    YNQ_CMN_ddz->setObjectName(QStringLiteral("YNQ_CMN_ddz"));
    YNQ_CMN_ddz->addItems(
        {QStringLiteral("Динамическая МЗ выключена"), QStringLiteral("Динамическая МЗ включена.")});
    YNQ_CMN_ddz->setCurrentIndex(-1);
    YNQ_CMN_ddz->setGeometry(310, 61, 153, kComboHeight);
    YNQ_CMN_ddz->setToolTip(QStringLiteral("Мертвая зона"));
    // Its longer items fit its 153 pixels a point smaller.
    YNQ_CMN_ddz->setFont(Skin::FormFont(10));
    setTabOrder(previous, YNQ_CMN_ddz);

    const QString face = QStringLiteral("button_177x30");
    JvBtn_YNQ_Get_EEPROM = new TJvImgBtn(QStringLiteral("JvBtn_YNQ_Get_EEPROM"),
                                         QStringLiteral("Считать параметры"), face, this);
    JvBtn_YNQ_Get_EEPROM->move(361, 215);
    JvBtn_YNQ_Set_EEPROM = new TJvImgBtn(QStringLiteral("JvBtn_YNQ_Set_EEPROM"),
                                         QStringLiteral("Записать параметры"), face, this);
    JvBtn_YNQ_Set_EEPROM->move(544, 215);
    setTabOrder(YNQ_CMN_ddz, JvBtn_YNQ_Get_EEPROM);
    setTabOrder(JvBtn_YNQ_Get_EEPROM, JvBtn_YNQ_Set_EEPROM);
    connect(JvBtn_YNQ_Get_EEPROM, &TJvImgBtn::clicked, this,
            [this] { JvBtn_YNQ_Get_EEPROMClick(); });
    connect(JvBtn_YNQ_Set_EEPROM, &TJvImgBtn::clicked, this,
            [this] { JvBtn_YNQ_Set_EEPROMClick(); });

    JvTimer1.setObjectName(QStringLiteral("JvTimer1"));
    JvTimer1.setInterval(2500);
    connect(&JvTimer1, &QTimer::timeout, this, [this] { JvTimer1Timer(); });
    FormCreate();
    JvTimer1.start();
}

void TfmnoxQuivraCplSets::BuildLabels() {
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter;
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    AddLabel(this, QStringLiteral("lbCommonTitle"), QStringLiteral("Общие параметры"),
             {312, 10, 300, 20}, left, 15, true);
    AddLabel(this, QStringLiteral("lbAxesTitle"), QStringLiteral("Настройки осей"),
             {312, 104, 300, 20}, left, 15, true);
    AddLabel(this, QStringLiteral("lbMode"), QStringLiteral("Режим"), {312, 36, 50, kEditHeight},
             left);
    AddLabel(this, QStringLiteral("lbRotate"), QStringLiteral("Поворот системы координат"),
             {458, 36, 207, kEditHeight}, right);
    AddLabel(this, QStringLiteral("lbDBX"), QStringLiteral("DBX"), {466, 63, 34, kEditHeight},
             right);
    AddLabel(this, QStringLiteral("lbDBY"), QStringLiteral("DBY"), {546, 63, 34, kEditHeight},
             right);
    AddLabel(this, QStringLiteral("lbRatio"), QStringLiteral("Ratio"), {627, 63, 41, kEditHeight},
             right);
    struct Column {
        const char* name;
        const char* text;
        int x;
    };
    const Column columns[] = {{"lbFlt", "Фильтр", 360}, {"lbKdl", "KD L", 417},
                              {"lbKdh", "Kd H", 474},   {"lbDzl", "DZ L", 531},
                              {"lbDzh", "DZ H", 588},   {"lbPrcs", "Prcs", 645}};
    for (const Column& c : columns) {
        AddLabel(this, QString::fromLatin1(c.name), QString::fromUtf8(c.text),
                 {c.x, kColumnTitleY, 51, kLabelHeight}, Qt::AlignHCenter | Qt::AlignVCenter, 11,
                 true);
    }
    AddLabel(this, QStringLiteral("lbAxisX"), QStringLiteral("Ось Х:"),
             {311, kRowX + 3, 48, kLabelHeight}, left);
    AddLabel(this, QStringLiteral("lbAxisY"), QStringLiteral("Ось Y:"),
             {311, kRowY + 3, 48, kLabelHeight}, left);
}

std::vector<QWidget*> TfmnoxQuivraCplSets::Inputs() const {
    std::vector<QWidget*> inputs{YNQ_CMN_mode};
    for (const EditDef& def : kEdits) {
        inputs.push_back(this->*def.member);
    }
    inputs.push_back(YNQ_CMN_ddz);
    return inputs;
}

void TfmnoxQuivraCplSets::FormCreate() {
    SetControlsEnabled(false);
}

void TfmnoxQuivraCplSets::SetControlsEnabled(bool enabled) {
    for (QWidget* input : Inputs()) {
        input->setEnabled(enabled);
    }
    JvBtn_YNQ_Get_EEPROM->setEnabled(enabled);
    JvBtn_YNQ_Set_EEPROM->setEnabled(enabled);
}

void TfmnoxQuivraCplSets::JvTimer1Timer() {
    JvTimer1.stop();
    if (!core_.TrackYnqHid || !core_.SrcHid) {
        SetControlsEnabled(false);
    } else if (core_.Track_Need_Read) {
        JvBtn_YNQ_Get_EEPROMClick();
    }
    JvTimer1.start();
}

void TfmnoxQuivraCplSets::JvBtn_YNQ_Get_EEPROMClick() {
    // The whole sequence waits for the tracker's channel, so that the block shown is the one
    // this read brought in.
    core_.WhenChannelFree(core::Channel::Tracker, [this] { ReadAndShow(); });
}

void TfmnoxQuivraCplSets::ReadAndShow() {
    core_.TrackerGetEEPROM();
    ShowBlock();
    SetControlsEnabled(true);
}

void TfmnoxQuivraCplSets::ShowBlock() {
    const int modeIndex = YNQ_CMN_mode->currentIndex();
    const std::optional<int> previousMode =
        modeIndex >= 0 ? std::optional<int>(modeIndex) : std::nullopt;
    const ynq::TrackerParams params = ynq::DecodeParams(core_.Raw, previousMode);
    YNQ_CMN_mode->setCurrentIndex(params.mode.value_or(modeIndex));
    if (params.ddz) {
        YNQ_CMN_ddz->setCurrentIndex(*params.ddz);
    }
    for (const ynq::FieldInfo& field : ynq::EditableFields()) {
        if (!field.value) {
            continue;
        }
        const QString name = QString::fromLatin1(field.name.data(), qsizetype(field.name.size()));
        if (auto* edit = findChild<QLineEdit*>(name)) {
            edit->setText(QString::number(params.*field.value));
        }
    }
}

void TfmnoxQuivraCplSets::InputControl() {
    for (const ynq::FieldInfo& field : ynq::EditableFields()) {
        if (!field.value) {
            continue;
        }
        const QString name = QString::fromLatin1(field.name.data(), qsizetype(field.name.size()));
        auto* edit = findChild<QLineEdit*>(name);
        if (!edit) {
            continue;
        }
        const int value = IntegerOf(edit->text());
        const int clamped = ynq::ClampField(field, value);
        if (clamped != value) {
            edit->setText(QString::number(clamped));
        }
    }
}

void TfmnoxQuivraCplSets::JvBtn_YNQ_Set_EEPROMClick() {
    InputControl();
    core_.WhenChannelFree(core::Channel::Tracker, [this] { WriteSequence(); });
}

void TfmnoxQuivraCplSets::WriteSequence() {
    if (!core_.TrackYnqHid || !core_.SrcHid) {
        // Nothing can go to the device; the page waits for the next device scan and read.
        SetControlsEnabled(false);
        return;
    }
    // Read afresh so that every byte the page does not own goes back as the device holds it.
    core_.TrackerGetEEPROM();
    if (!core_.LastEEPROMReadOk() || !core_.TrackYnqHid || !core_.SrcHid) {
        // The read's error has been shown. The block now holds zeros or a partial read, which
        // must never be written over the device's parameters: stop here and keep the entries.
        core_.LogMessage(QStringLiteral("TfmnoxQuivraCplSets: parameters not written, the "
                                        "fresh read before the write failed"));
        return;
    }
    YnqUtils::Delay(100);
    ynq::TrackerParams params;
    const int mode = YNQ_CMN_mode->currentIndex();
    params.mode = mode >= 0 ? std::optional<int>(mode) : std::nullopt;
    const int ddz = YNQ_CMN_ddz->currentIndex();
    params.ddz = ddz >= 0 ? std::optional<int>(ddz) : std::nullopt;
    for (const EditDef& def : kEdits) {
        const ynq::FieldInfo* field = ynq::FindField(def.name);
        if (field && field->value) {
            params.*(field->value) = IntegerOf((this->*def.member)->text());
        }
    }
    ynq::EncodeParams(params, core_.Raw);
    SetControlsEnabled(false);
    core_.TrackerSetEEPROM();
}
