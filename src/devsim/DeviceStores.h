#pragma once
// The device's memories: three configuration stores (images of 448 records) and the firmware.
#include <QByteArray>

struct DeviceStores {
    enum Store { ROM = 0, RAM = 1, RUNNING = 2 };
    static constexpr int ImageSize = 28672;

    DeviceStores() { rom = ram = running = QByteArray(ImageSize, char(0xFF)); }

    QByteArray* store(int code)
    {
        switch (code) {
        case ROM: return &rom;
        case RAM: return &ram;
        case RUNNING: return &running;
        default: return nullptr;
        }
    }

    QByteArray rom, ram, running;
    QByteArray firmware;
};
