#include "CliCommands.h"

#include "CliView.h"

#include "core/CplData.h"
#include "core/HidBackends.h"
#include "devicelink/ParamBlock.h"
#include "devicelink/Utils.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <optional>

namespace cli {

namespace {

void Out(const QString& text) {
    std::fputs(text.toUtf8().constData(), stdout);
}
void OutLine(const QString& text) {
    Out(text + QLatin1Char('\n'));
}
void OutJson(const QJsonValue& value) {
    const QJsonDocument doc =
        value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    Out(QString::fromUtf8(doc.toJson(QJsonDocument::Indented)));
}
int Fail(const QString& message) {
    std::fprintf(stderr, "quivractl: %s\n", OneLine(message).toUtf8().constData());
    return kExitFailed;
}

QString Hex4(uint16_t v) {
    return QStringLiteral("%1").arg(v, 4, 16, QLatin1Char('0')).toUpper();
}

// NAME=VALUE of `set`, checked against the page's fields.
struct Assignment {
    const ynq::FieldInfo* field;
    int value;
};

bool ParseAssignments(const QStringList& args, std::vector<Assignment>& out, QString& error) {
    if (args.isEmpty()) {
        error = QStringLiteral("set needs NAME=VALUE (e.g. YNQ_CMN_rotate=50)");
        return false;
    }
    for (const QString& a : args) {
        const qsizetype eq = a.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            error = QStringLiteral("set: %1 is not NAME=VALUE").arg(a);
            return false;
        }
        const QByteArray name = a.left(eq).toLatin1();
        const ynq::FieldInfo* field = ynq::FindField(
            std::string_view(name.constData(), static_cast<std::size_t>(name.size())));
        if (!field) {
            error = QStringLiteral("set: no parameter named %1").arg(a.left(eq));
            return false;
        }
        bool ok = false;
        const int value = a.mid(eq + 1).trimmed().toInt(&ok);
        if (!ok) {
            error = QStringLiteral("set: %1 wants an integer, not \"%2\"")
                        .arg(a.left(eq), a.mid(eq + 1));
            return false;
        }
        out.push_back({field, value});
    }
    return true;
}

bool ArgIs(const QStringList& args, qsizetype i, const char* text) {
    return args.size() > i && args[i] == QLatin1String(text);
}

// The running program: core, view and (with --simulate) the simulated devices.
class Session {
public:
    explicit Session(const Options& o) : o_(o) {}

    int Start() {
        std::unique_ptr<platform::HidController> controller;
        if (o_.simulate) {
            sim::SimConfig config;
            if (o_.simReportLength > 0)
                config.reportLength = o_.simReportLength;
            auto simController = core::CreateSimHidController(config);
            if (!o_.simState.isEmpty() && QFileInfo::exists(o_.simState)) {
                QString error;
                if (!simController->loadState(o_.simState, &error))
                    return Fail(QStringLiteral("simulated state not loaded: %1").arg(error));
            }
            sim_ = simController.get();
            controller = std::move(simController);
        } else {
            controller = core::CreateSystemHidController();
            if (!controller)
                return Fail(QStringLiteral("this build has no HID backend (try --simulate)"));
        }

        TCoreOptions options = TCoreOptions::FromProcess();
        options.Arguments = o_.config.isEmpty() ? QStringList() : QStringList{o_.config};
        options.View = &view_;
        options.SwitchOffOnExit = false; // "on" stays on when the tool ends
        auto shared =
            std::make_shared<std::unique_ptr<platform::HidController>>(std::move(controller));
        options.HidFactory = [shared] { return std::move(*shared); };

        core_ = std::make_unique<TDmTrackCpl>(std::move(options));
        QObject::connect(core_.get(), &TDmTrackCpl::messageLogged, [this](const QString& line) {
            lastLog_ = line;
            if (o_.verbose)
                std::fprintf(stderr, "log: %s\n", OneLine(line).toUtf8().constData());
        });
        core_->DataModuleCreate();
        return kExitOk;
    }

    // Keeps the simulated memory, then ends the core while the simulator still exists.
    int Finish(int status) {
        if (sim_ && !o_.simState.isEmpty()) {
            QString error;
            if (!sim_->saveState(o_.simState, &error))
                status = Fail(QStringLiteral("simulated state not saved: %1").arg(error));
        }
        core_.reset();
        return status;
    }

    TDmTrackCpl& core() { return *core_; }
    const Options& options() const { return o_; }
    const QString& lastLog() const { return lastLog_; }

private:
    const Options& o_;
    CliView view_;
    sim::SimHidController* sim_ = nullptr;
    std::unique_ptr<TDmTrackCpl> core_;
    QString lastLog_;
};

std::optional<int> NeedTracker(TDmTrackCpl& core) {
    if (!core.TrackYnqHid)
        return Fail(QStringLiteral("tracker not found"));
    return std::nullopt;
}

std::optional<int> NeedIndicator(TDmTrackCpl& core) {
    if (!core.RavadOroraYnqHid)
        return Fail(QStringLiteral("indicator not found"));
    return std::nullopt;
}

// Indicator commands that the device set sends only while the tracker is attached too.
std::optional<int> NeedIndicatorAndTracker(TDmTrackCpl& core, const char* what) {
    if (auto r = NeedIndicator(core))
        return r;
    if (!core.DestHid)
        return Fail(QStringLiteral("tracker not found: %1 needs both devices attached")
                        .arg(QLatin1String(what)));
    return std::nullopt;
}

// Tracker commands that the device set sends only while the indicator is attached too.
std::optional<int> NeedBoth(TDmTrackCpl& core, const char* what) {
    if (auto r = NeedTracker(core))
        return r;
    if (!core.SrcHid)
        return Fail(QStringLiteral("indicator not found: %1 needs both devices attached")
                        .arg(QLatin1String(what)));
    return std::nullopt;
}

int Done(TDmTrackCpl& core, const QString& failure) {
    return core.LastCommandOk() ? kExitOk : Fail(failure);
}

int List(Session& s) {
    TDmTrackCpl& core = s.core();
    QJsonArray array;
    int count = 0;
    if (core.Hidctl) {
        core.Hidctl->enumerate([&](platform::HidDevice& d, int) {
            ++count;
            const platform::HidAttributes a = d.attributes();
            QString role;
            if (&d == core.DestHid)
                role = QStringLiteral("tracker");
            else if (&d == core.SrcHid)
                role = QStringLiteral("indicator");
            if (s.options().json) {
                QJsonObject o;
                o[QStringLiteral("path")] = d.path();
                o[QStringLiteral("vendorId")] = QStringLiteral("0x") + Hex4(a.vendorId);
                o[QStringLiteral("productId")] = QStringLiteral("0x") + Hex4(a.productId);
                o[QStringLiteral("release")] = QStringLiteral("0x") + Hex4(a.release);
                o[QStringLiteral("product")] = d.productName();
                o[QStringLiteral("featureReportLength")] = d.featureReportLength();
                o[QStringLiteral("role")] = role.isEmpty() ? QJsonValue() : QJsonValue(role);
                array.append(o);
            } else {
                OutLine(QStringLiteral("%1  %2:%3  Ver:%4  feature %5  \"%6\"%7")
                            .arg(d.path(), Hex4(a.vendorId), Hex4(a.productId),
                                 TDmTrackCpl::VersionText(a.release))
                            .arg(d.featureReportLength())
                            .arg(d.productName(),
                                 role.isEmpty() ? QString()
                                                : QStringLiteral("  [") + role + QLatin1Char(']')));
            }
            return true;
        });
    }
    if (s.options().json)
        OutJson(array);
    if (count == 0 && !s.options().simulate)
        return Fail(QStringLiteral("no HID device found"));
    return kExitOk;
}

int Status(Session& s) {
    TDmTrackCpl& core = s.core();
    if (s.options().json) {
        QJsonObject o;
        o[QStringLiteral("tracker")] = core.TrackerStatusLine();
        o[QStringLiteral("indicator")] = core.IndicatorStatusLine();
        o[QStringLiteral("trackerOn")] = core.TrackerOnState();
        OutJson(o);
    } else {
        OutLine(QStringLiteral("Трекер: ") + core.TrackerStatusLine());
        OutLine(QStringLiteral("Индикатор: ") + core.IndicatorStatusLine());
        OutLine(QStringLiteral("tracker on: ") +
                (core.TrackerOnState() ? QStringLiteral("yes") : QStringLiteral("no")));
    }
    return kExitOk;
}

void PrintParams(Session& s, bool raw) {
    const TDmTrackCpl& core = s.core();
    if (raw) {
        if (s.options().json) {
            QJsonArray bytes;
            for (std::size_t i = 0; i < ynq::kParamBlockSize; ++i)
                bytes.append(core.Raw[i]);
            OutJson(QJsonObject{{QStringLiteral("raw"), bytes}});
            return;
        }
        for (std::size_t row = 0; row < ynq::kParamBlockSize; row += 16) {
            const std::size_t n = std::min<std::size_t>(16, ynq::kParamBlockSize - row);
            OutLine(QStringLiteral("%1  ").arg(row, 4, 16, QLatin1Char('0')).toUpper() +
                    YnqUtils::HexBytes(std::span<const uint8_t>(core.Raw.data() + row, n)));
        }
        return;
    }
    const ynq::TrackerParams params = ynq::DecodeParams(core.Raw, std::nullopt);
    QJsonObject object;
    for (const ynq::FieldInfo& f : ynq::EditableFields()) {
        const QString name =
            QString::fromLatin1(f.name.data(), static_cast<qsizetype>(f.name.size()));
        const std::optional<int> v = ynq::FieldValue(f, params);
        if (s.options().json)
            object[name] = v ? QJsonValue(*v) : QJsonValue();
        else
            OutLine(name + QLatin1Char('=') + (v ? QString::number(*v) : QString()));
    }
    if (s.options().json)
        OutJson(object);
}

int Params(Session& s) {
    TDmTrackCpl& core = s.core();
    if (auto r = NeedBoth(core, "reading the parameters"))
        return *r;
    core.TrackerGetEEPROM();
    if (!core.LastEEPROMReadOk())
        return kExitFailed; // the message went to stderr
    PrintParams(s, s.options().args.contains(QLatin1String("--raw")));
    return kExitOk;
}

// The parameters page's write: clamp every field, read the block afresh so that every byte the
// page does not own goes back as the device holds it, encode, write; then read back.
int Set(Session& s) {
    TDmTrackCpl& core = s.core();
    std::vector<Assignment> assignments;
    QString error;
    ParseAssignments(s.options().args, assignments, error); // checked before the start
    if (auto r = NeedBoth(core, "writing the parameters"))
        return *r;

    core.TrackerGetEEPROM(); // what the page shows before the user edits it
    if (!core.LastEEPROMReadOk())
        return kExitFailed;
    ynq::TrackerParams params = ynq::DecodeParams(core.Raw, std::nullopt);
    for (const Assignment& a : assignments)
        ynq::SetFieldValue(*a.field, params, a.value);
    for (const ynq::FieldInfo& f : ynq::EditableFields())
        if (const std::optional<int> v = ynq::FieldValue(f, params))
            ynq::SetFieldValue(f, params, ynq::ClampField(f, *v));

    core.TrackerGetEEPROM();
    if (!core.LastEEPROMReadOk())
        return Fail(
            QStringLiteral("the parameter block could not be read afresh; nothing written"));
    YnqUtils::Delay(100);
    ynq::EncodeParams(params, core.Raw);
    core.TrackerSetEEPROM();
    if (!core.LastEEPROMWriteOk())
        return Fail(QStringLiteral("the parameter write failed"));

    core.TrackerGetEEPROM();
    if (!core.LastEEPROMReadOk())
        return kExitFailed;
    PrintParams(s, false);
    return kExitOk;
}

int Led(Session& s) {
    TDmTrackCpl& core = s.core();
    if (auto r = NeedIndicator(core))
        return *r;
    const QStringList& a = s.options().args;
    if (a[0] == QLatin1String("off")) {
        core.SetLedOff();
    } else {
        const bool on = a[1] == QLatin1String("on");
        if (a[0] == QLatin1String("blue"))
            core.SetLedBlue(on);
        else if (a[0] == QLatin1String("red"))
            core.SetLedRed(on);
        else
            core.SetLedIr(on);
    }
    return Done(core, QStringLiteral("the LED command could not be sent"));
}

int Histogram(Session& s) {
    TDmTrackCpl& core = s.core();
    if (auto r = NeedTracker(core))
        return *r;
    const QStringList& a = s.options().args;
    const int count = a.size() >= 2 ? a[1].toInt() : 1;
    QJsonArray values;
    for (int i = 0; i < count; ++i) {
        if (i > 0)
            YnqUtils::Delay(50);
        int value = 0;
        if (!core.TrackerReadHistogram(value)) {
            if (s.options().json)
                OutJson(values);
            return Fail(QStringLiteral("the tracker did not answer the histogram request"));
        }
        if (s.options().json)
            values.append(value);
        else
            OutLine(QString::number(value));
    }
    if (s.options().json)
        OutJson(values);
    return kExitOk;
}

int Dispatch(Session& s) {
    TDmTrackCpl& core = s.core();
    const QString& c = s.options().command;
    const QStringList& a = s.options().args;
    if (c == QLatin1String("list"))
        return List(s);
    if (!core.ErrMsg.isEmpty()) {
        // The exit timer shows the error unless the start-up was quicker than its 500 ms.
        if (!core.tmExit.isActive())
            return kExitFailed;
        core.tmExit.stop();
        return Fail(core.ErrMsg);
    }
    if (core.YNQ_BOOT)
        return Fail(core::kBootModeMessage);
    if (c == QLatin1String("status"))
        return Status(s);
    if (c == QLatin1String("params"))
        return Params(s);
    if (c == QLatin1String("set"))
        return Set(s);
    if (c == QLatin1String("led"))
        return Led(s);
    if (c == QLatin1String("histogram"))
        return Histogram(s);
    if (c == QLatin1String("on")) {
        if (auto r = NeedTracker(core))
            return *r;
        core.TrackerOn();
        return Done(core, QStringLiteral("the tracker did not answer"));
    }
    if (c == QLatin1String("off")) {
        if (auto r = NeedTracker(core))
            return *r;
        if (a.contains(QLatin1String("--keep")))
            core.TrackerOffCurrentValue();
        else
            core.TrackerOffReturnCenter();
        return Done(core, QStringLiteral("the tracker did not answer"));
    }
    if (c == QLatin1String("center")) {
        if (auto r = NeedTracker(core))
            return *r;
        core.TrackerSetCenter();
        return Done(core, QStringLiteral("set centre failed: ") + s.lastLog());
    }
    if (c == QLatin1String("reset-center")) {
        if (auto r = NeedTracker(core))
            return *r;
        core.TrackerResetCenter();
        return Done(core, QStringLiteral("the tracker did not answer"));
    }
    if (c == QLatin1String("clear-params")) {
        if (auto r = NeedBoth(core, "clearing the parameters"))
            return *r;
        core.TrackerClearParams();
        return Done(core, QStringLiteral("the command could not be sent"));
    }
    const bool tracker = ArgIs(a, 0, "tracker");
    if (c == QLatin1String("restart")) {
        if (tracker) {
            if (auto r = NeedBoth(core, "restarting the tracker"))
                return *r;
            core.TrackRestart();
        } else {
            if (auto r = NeedIndicatorAndTracker(core, "restarting the indicator"))
                return *r;
            core.RavadOroraRestart();
        }
        return Done(core, QStringLiteral("the command could not be sent"));
    }
    // boot
    if (tracker) {
        if (auto r = NeedBoth(core, "the tracker's bootloader command"))
            return *r;
        core.TrackerGotoBoot();
    } else {
        if (auto r = NeedIndicatorAndTracker(core, "the indicator's bootloader command"))
            return *r;
        core.RavadOroraGotoBoot();
    }
    return Done(core, QStringLiteral("the command could not be sent"));
}

} // namespace

bool CheckCommand(const Options& o, QString& error) {
    const QString& c = o.command;
    const QStringList& a = o.args;
    const auto noArgs = [&] {
        if (a.isEmpty())
            return true;
        error = QStringLiteral("%1 takes no argument %2").arg(c, a.front());
        return false;
    };
    if (c == QLatin1String("list") || c == QLatin1String("status") || c == QLatin1String("on") ||
        c == QLatin1String("center") || c == QLatin1String("reset-center") ||
        c == QLatin1String("clear-params"))
        return noArgs();
    if (c == QLatin1String("params")) {
        if (a.isEmpty() || (a.size() == 1 && a[0] == QLatin1String("--raw")))
            return true;
        error = QStringLiteral("params takes only --raw");
        return false;
    }
    if (c == QLatin1String("off")) {
        if (a.isEmpty() || (a.size() == 1 && a[0] == QLatin1String("--keep")))
            return true;
        error = QStringLiteral("off takes only --keep");
        return false;
    }
    if (c == QLatin1String("set")) {
        std::vector<Assignment> assignments;
        return ParseAssignments(a, assignments, error);
    }
    if (c == QLatin1String("led")) {
        if (a.size() == 1 && a[0] == QLatin1String("off"))
            return true;
        const QStringList leds{QStringLiteral("blue"), QStringLiteral("red"), QStringLiteral("ir")};
        if (a.size() == 2 && leds.contains(a[0]) &&
            (a[1] == QLatin1String("on") || a[1] == QLatin1String("off")))
            return true;
        error = QStringLiteral("led wants blue|red|ir on|off, or off");
        return false;
    }
    if (c == QLatin1String("histogram")) {
        if (a.isEmpty())
            return true;
        bool ok = false;
        const int n = a.size() == 2 && a[0] == QLatin1String("--count") ? a[1].toInt(&ok) : 0;
        if (ok && n >= 1 && n <= 100000)
            return true;
        error = QStringLiteral("histogram takes --count N (1..100000)");
        return false;
    }
    if (c == QLatin1String("restart")) {
        if (a.size() == 1 &&
            (a[0] == QLatin1String("tracker") || a[0] == QLatin1String("indicator")))
            return true;
        error = QStringLiteral("restart wants tracker or indicator");
        return false;
    }
    if (c == QLatin1String("boot")) {
        const bool device = !a.isEmpty() && (a[0] == QLatin1String("tracker") ||
                                             a[0] == QLatin1String("indicator"));
        if (device && a.size() == 2 && a[1] == QLatin1String("--yes"))
            return true;
        error = device
                    ? QStringLiteral("boot sends the device to its bootloader; confirm with --yes")
                    : QStringLiteral("boot wants tracker or indicator, and --yes");
        return false;
    }
    error = QStringLiteral("unknown command %1 (try: quivractl help)").arg(c);
    return false;
}

int Run(const Options& o) {
    Session session(o);
    if (const int status = session.Start(); status != kExitOk)
        return status;
    return session.Finish(Dispatch(session));
}

} // namespace cli
