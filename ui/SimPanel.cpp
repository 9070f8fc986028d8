#include "SimPanel.h"

#include "Skin.h"
#include "sim/SimHid.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadialGradient>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

// The indicator's LEDs, each lit in its colour at its brightness.
class TSimLeds : public QWidget {
public:
    explicit TSimLeds(QWidget* parent) : QWidget(parent) { setFixedSize(228, 84); }

    void SetState(const sim::IndicatorModel& m) {
        state_ = {{{m.blueOn, m.blueLevel}, {m.redOn, m.redLevel}, {m.irOn, m.irLevel}}};
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(QColor(0x24, 0x2A, 0x10));
        p.drawRoundedRect(rect().adjusted(0, 0, -1, -1), 14, 14);
        const QColor colours[] = {QColor(0x2A, 0x7B, 0xFF), QColor(0xF0, 0x33, 0x2A),
                                  QColor(0xB0, 0x30, 0x8A)};
        const char* names[] = {"синий", "красный", "ИК"};
        for (int i = 0; i < 3; ++i) {
            const QPointF c(40 + i * 74, 34);
            const auto [on, level] = state_[i];
            const double k = on ? 0.25 + 0.75 * level / 255.0 : 0.0;
            QColor body = on ? colours[i] : QColor(0x50, 0x55, 0x40);
            if (on) {
                QRadialGradient halo(c, 30);
                QColor inner = colours[i];
                inner.setAlphaF(0.8 * k);
                QColor outer = colours[i];
                outer.setAlpha(0);
                halo.setColorAt(0.3, inner);
                halo.setColorAt(1.0, outer);
                p.setPen(Qt::NoPen);
                p.setBrush(halo);
                p.drawEllipse(c, 30, 30);
                body = colours[i].lighter(100 + int(60 * k));
            }
            p.setPen(QPen(body.darker(200), 1));
            p.setBrush(body);
            p.drawEllipse(c, 13, 13);
            p.setPen(QColor(0xE8, 0xF0, 0xC8));
            p.setFont(Skin::FormFont(10));
            p.drawText(QRectF(c.x() - 36, 58, 72, 22), Qt::AlignCenter,
                       QStringLiteral("%1 %2").arg(QString::fromUtf8(names[i])).arg(level));
        }
    }

private:
    std::array<std::pair<bool, int>, 3> state_{};
};

// A square pad: the dot is the simulated head, yaw left-right (-180 .. 180), pitch up-down
// (-90 .. 90). Dragging moves it.
class TSimHeadPad : public QWidget {
public:
    TSimHeadPad(sim::TrackerModel& tracker, QWidget* parent) : QWidget(parent), tracker_(tracker) {
        setFixedSize(150, 150);
        setCursor(Qt::CrossCursor);
        setToolTip(QStringLiteral("Перетащите точку: поворот головы (влево-вправо, вверх-вниз)"));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x7E, 0x97, 0x20), 1));
        p.setBrush(QColor(0xF4, 0xF9, 0xDC));
        p.drawRoundedRect(rect().adjusted(0, 0, -1, -1), 8, 8);
        p.drawLine(width() / 2, 6, width() / 2, height() - 6);
        p.drawLine(6, height() / 2, width() - 6, height() / 2);
        const QPointF dot((tracker_.headYaw / 180.0 + 1.0) * (width() - 1) / 2.0,
                          (1.0 - tracker_.headPitch / 90.0) * (height() - 1) / 2.0);
        p.setPen(QPen(Qt::white, 2));
        p.setBrush(QColor(0xF0, 0x33, 0x2A));
        p.drawEllipse(dot, 7, 7);
    }
    void mousePressEvent(QMouseEvent* e) override { MoveTo(e->position()); }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (e->buttons() & Qt::LeftButton) {
            MoveTo(e->position());
        }
    }
    void mouseDoubleClickEvent(QMouseEvent*) override {
        tracker_.setHead(0.0, 0.0);
        update();
    }

private:
    void MoveTo(QPointF at) {
        const double x = std::clamp(at.x() / (width() - 1), 0.0, 1.0);
        const double y = std::clamp(at.y() / (height() - 1), 0.0, 1.0);
        tracker_.setHead(x * 360.0 - 180.0, 90.0 - y * 180.0);
        update();
    }
    sim::TrackerModel& tracker_;
};

TSimPanel::TSimPanel(sim::SimHidController& controller, QWidget* parent)
    : QWidget(parent, Qt::Window), sim_(controller) {
    setObjectName(QStringLiteral("SimPanel"));
    setWindowTitle(QStringLiteral("Симулятор устройств — Quivra Control Center"));
    setWindowIcon(QIcon(Skin::Picture(QStringLiteral("icon"))));
    Skin::ApplyFormLook(*this, 12);
    setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid #7E9720; border-radius: 6px; margin-top: 10px;"
        " background: #E6F1A8; font-weight: bold; }"
        "QGroupBox::title { subcontrol-origin: margin; left: 10px; padding: 0 4px; }"
        "QPushButton { background: #3A93B8; color: white; border: 1px solid #143F55;"
        " border-radius: 5px; padding: 4px 10px; font-weight: bold; }"
        "QPushButton:hover { background: #4AA3C8; }"));

    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    left->addWidget(BuildDevices());
    left->addWidget(BuildHead());
    left->addStretch();
    layout->addLayout(left);
    layout->addWidget(BuildFaults());

    refresh_.setInterval(100);
    connect(&refresh_, &QTimer::timeout, this, [this] { Refresh(); });
    refresh_.start();
    Refresh();
}

QWidget* TSimPanel::BuildDevices() {
    auto* box = new QGroupBox(QStringLiteral("Устройства"), this);
    auto* v = new QVBoxLayout(box);
    leds_ = new TSimLeds(box);
    leds_->setObjectName(QStringLiteral("SimLeds"));
    v->addWidget(leds_, 0, Qt::AlignHCenter);
    trackerState_ = new QLabel(box);
    trackerState_->setObjectName(QStringLiteral("SimTrackerState"));
    axes_ = new QLabel(box);
    axes_->setObjectName(QStringLiteral("SimAxes"));
    v->addWidget(trackerState_);
    v->addWidget(axes_);

    auto plug = [this, box, v](const char* name, const QString& text, auto plugFn) {
        auto* check = new QCheckBox(text, box);
        check->setObjectName(QString::fromLatin1(name));
        connect(check, &QCheckBox::clicked, this, [this, plugFn](bool on) { (sim_.*plugFn)(on); });
        v->addWidget(check);
        return check;
    };
    trackerPlug_ = plug("SimPlugTracker", QStringLiteral("Трекер подключён"),
                        &sim::SimHidController::plugTracker);
    indicatorPlug_ = plug("SimPlugIndicator", QStringLiteral("Индикатор подключён"),
                          &sim::SimHidController::plugIndicator);
    unrelatedPlug_ = plug("SimPlugUnrelated", QStringLiteral("Постороннее HID-устройство"),
                          &sim::SimHidController::plugUnrelated);
    bootPlug_ = plug("SimPlugBoot", QStringLiteral("Устройство в режиме загрузчика"),
                     &sim::SimHidController::plugBootDevice);
    return box;
}

QWidget* TSimPanel::BuildHead() {
    auto* box = new QGroupBox(QStringLiteral("Голова"), this);
    box->setToolTip(QStringLiteral("Двойной щелчок возвращает голову в центр"));
    auto* v = new QVBoxLayout(box);
    head_ = new TSimHeadPad(sim_.tracker(), box);
    head_->setObjectName(QStringLiteral("SimHeadPad"));
    v->addWidget(head_, 0, Qt::AlignHCenter);
    return box;
}

QWidget* TSimPanel::BuildFaults() {
    auto* box = new QGroupBox(QStringLiteral("Сбои"), this);
    box->setToolTip(QStringLiteral("Сколько ответов испортить; «всегда» — каждый ответ"));
    auto* form = new QFormLayout(box);
    sim::Faults& f = sim_.faults();
    struct Counter {
        const char* name;
        const char* text;
        int sim::Faults::*field;
    };
    const Counter counters[] = {
        {"SimGetFails", "Нет ответа (чтение)", &sim::Faults::getFails},
        {"SimSetFails", "Нет ответа (запись)", &sim::Faults::setFails},
        {"SimWrongHeader", "Неверный заголовок", &sim::Faults::wrongHeader},
        {"SimWrongCrc", "Неверная CRC", &sim::Faults::wrongCrc},
        {"SimZeroChunk", "Блок длиной 0", &sim::Faults::zeroChunk},
        {"SimFollowUpFails", "Сбой продолжения", &sim::Faults::followUpFails},
        {"SimCenterBadStatus", "Центровка: плохой статус", &sim::Faults::centerBadStatus},
        {"SimCenterBadEcho", "Центровка: плохое эхо", &sim::Faults::centerBadEcho},
    };
    for (const Counter& c : counters) {
        auto* spin = new QSpinBox(box);
        spin->setObjectName(QString::fromLatin1(c.name));
        spin->setRange(-1, 99);
        spin->setSpecialValueText(QStringLiteral("всегда"));
        spin->setValue(f.*c.field);
        const auto field = c.field;
        connect(spin, &QSpinBox::valueChanged, this,
                [this, field](int v) { sim_.faults().*field = v; });
        form->addRow(QString::fromUtf8(c.text), spin);
    }
    auto* chunk = new QSpinBox(box);
    chunk->setObjectName(QStringLiteral("SimChunkLimit"));
    chunk->setRange(0, 124);
    chunk->setSpecialValueText(QStringLiteral("нет"));
    chunk->setValue(f.chunkLimit);
    connect(chunk, &QSpinBox::valueChanged, this, [this](int v) { sim_.faults().chunkLimit = v; });
    form->addRow(QStringLiteral("Ответ частями по (байт)"), chunk);
    auto* zero = new QCheckBox(QStringLiteral("Длина отчёта 0"), box);
    zero->setObjectName(QStringLiteral("SimZeroReportLength"));
    zero->setChecked(f.zeroReportLength);
    connect(zero, &QCheckBox::clicked, this,
            [this](bool on) { sim_.faults().zeroReportLength = on; });
    form->addRow(zero);
    auto* clear = new QPushButton(QStringLiteral("Сбросить сбои"), box);
    clear->setObjectName(QStringLiteral("SimClearFaults"));
    connect(clear, &QPushButton::clicked, this, [this, box] {
        sim_.faults() = sim::Faults{};
        for (QSpinBox* spin : box->findChildren<QSpinBox*>()) {
            spin->setValue(0);
        }
        for (QCheckBox* check : box->findChildren<QCheckBox*>()) {
            check->setChecked(false);
        }
    });
    form->addRow(clear);
    return box;
}

void TSimPanel::Refresh() {
    leds_->SetState(sim_.indicator());
    const sim::TrackerModel& t = sim_.tracker();
    trackerState_->setText(sim_.trackerPlugged() ? (t.on ? QStringLiteral("Трекер: включён")
                                                         : QStringLiteral("Трекер: выключен"))
                                                 : QStringLiteral("Трекер: отключён"));
    axes_->setText(QStringLiteral("Джойстик: X = %1, Y = %2").arg(t.axisX).arg(t.axisY));
    trackerPlug_->setChecked(sim_.trackerPlugged());
    indicatorPlug_->setChecked(sim_.indicatorPlugged());
    unrelatedPlug_->setChecked(sim_.unrelatedPlugged());
    bootPlug_->setChecked(sim_.bootDevicePlugged());
    head_->update();
}
