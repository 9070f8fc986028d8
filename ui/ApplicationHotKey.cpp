#include "ApplicationHotKey.h"

#include "platform/desktop/GlobalHotkeys.h"

#include <QDebug>

TJvApplicationHotKey::TJvApplicationHotKey(const QString& objectName,
                                           platform::GlobalHotkeys& service, int id,
                                           QObject* parent)
    : QObject(parent), service_(service), id_(id) {
    setObjectName(objectName);
    connect(&service_, &platform::GlobalHotkeys::activated, this, [this](int firedId) {
        if (firedId == id_) {
            emit HotKey();
        }
    });
}

TJvApplicationHotKey::~TJvApplicationHotKey() {
    service_.Unregister(id_);
}

void TJvApplicationHotKey::SetHotKey(uint16_t key) {
    if (key == key_) {
        return;
    }
    key_ = key;
    Apply();
}

void TJvApplicationHotKey::SetActive(bool active) {
    if (active == active_) {
        return;
    }
    active_ = active;
    Apply();
}

bool TJvApplicationHotKey::Registered() const {
    return service_.IsRegistered(id_);
}

bool TJvApplicationHotKey::PassKeyOn() {
    return service_.PassOn(id_);
}

void TJvApplicationHotKey::Apply() {
    service_.Unregister(id_);
    if (!active_ || key_ == 0) {
        return;
    }
    if (!service_.Register(id_, key_)) {
        const QString line = QStringLiteral("%1: hotkey %2 not registered (%3): %4")
                                 .arg(objectName())
                                 .arg(key_)
                                 .arg(service_.backendName(), service_.lastError());
        qInfo().noquote() << line;
        if (Log) {
            Log(line);
        }
    }
}
