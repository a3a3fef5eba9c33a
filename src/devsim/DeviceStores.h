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

    // A firmware image of a plausible size: a head naming the version, then a fixed pattern.
    static QByteArray DefaultFirmware(const QByteArray& version)
    {
        QByteArray image = "QUILLON FIRMWARE " + version + '\0';
        image.reserve(DefaultFirmwareSize);
        for (int i = image.size(); i < DefaultFirmwareSize; ++i) image.append(char((i * 7 + 3) & 0xFF));
        return image;
    }
    static constexpr int DefaultFirmwareSize = 196608;

    QByteArray rom, ram, running;
    QByteArray firmware;
    // RAM holds a firmware image received by transfer type 2: a copy of it to ROM writes the
    // firmware to flash, not the configuration.
    bool ramHoldsFirmware = false;
};
