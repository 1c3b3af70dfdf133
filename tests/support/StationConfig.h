#pragma once
// The station's configuration as a test writes it into the base directory
// before the station starts, through the core's own file type.
#include <QString>

#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <stdexcept>
#include <string>

#include "shared/DeviceTable.h"
#include "station/core/ConfigFile.h"

class StationConfig {
public:
    // A device for the next slot of Config.dat, handed out for the fields a
    // test sets on top.
    MeterConfig& addDevice(const MeterConfig& device)
    {
        devices_.push_back(device);
        given_ = true;
        return devices_.back();
    }

    void setPassword(const QString& password)
    {
        password_ = password;
        given_ = true;
    }

    // Config.dat in baseDir with what was given, the rest at its defaults,
    // and each serial port its devices use a missing line unless the test
    // has linked one of its own, so that no real line is ever polled. Without
    // anything given it writes nothing. What was given is then used up.
    void write(const std::string& baseDir)
    {
        if (!given_)
            return;
        const QString path = ConfigFile::pathIn(QString::fromStdString(baseDir));
        auto table = std::make_unique<DeviceTable>();
        std::set<int> ports;
        for (const MeterConfig& device : devices_) {
            table->MeterRecords[table->MeterCount++].config() = device;
            if (device.CommMod == 0)
                ports.insert(device.CommSerial + 1);
        }
        std::int32_t count = 0;
        QString password;
        ConfigFile::createWithDefaults(path, count, password);
        if (!ConfigFile::saveMeterConfig(path, *table) || (password_ && !ConfigFile::savePassword(path, *password_)))
            throw std::runtime_error("cannot write Config.dat");
        for (int port : ports)
            linkMissingLine(baseDir + "/Res/COM" + std::to_string(port));
        *this = StationConfig();
    }

private:
    static void linkMissingLine(const std::filesystem::path& link)
    {
        std::filesystem::create_directories(link.parent_path());
        if (!std::filesystem::exists(std::filesystem::symlink_status(link)))
            std::filesystem::create_symlink("/nonexistent/tty", link);
    }

    std::deque<MeterConfig> devices_;
    std::optional<QString> password_;
    bool given_ = false;
};
