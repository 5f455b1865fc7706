#pragma once
// The program's own collaborators of the link: the serial port, the clock and the event pump.

#include "Platform.h"

#include <QElapsedTimer>
#include <QList>
#include <QSerialPort>
#include <cstdio>

namespace talvern::link {

class SteadyClock final : public Clock {
public:
    SteadyClock() { timer_.start(); }
    double now() const override { return static_cast<double>(timer_.nsecsElapsed()) / 1e9; }
    void sleepUntil(double t) override;

private:
    QElapsedTimer timer_;
};

// The device a port number names: COMn on Windows, /dev/ttyS(n-1) elsewhere; an explicit device
// path wins.
QString SerialDeviceName(const PortSettings& settings);

// A serial device the system knows of: where it is ("/dev/ttyUSB0") and how the comm-port
// dialog lists it ("ttyUSB0 — FT232R USB UART (FTDI)").
struct SerialDevice {
    QString location;
    QString caption;
};
QList<SerialDevice> AvailableSerialDevices();
// The name, then the description and the maker where the system gives them (the maker only
// when the description does not already say it).
QString SerialDeviceCaption(const QString& name, const QString& description, const QString& maker);

// What the system allows us to do with a device file, as far as can be told without opening it.
enum class DeviceAccess { Missing, Denied, Allowed };
DeviceAccess ProbeDeviceAccess(const QString& device);
// Why a device would not open, in words an engineer can act on, from QSerialPort's error and
// what the device file allows; empty when there is nothing to add to the system's own text.
// QSerialPort reports a device held by another program and one we may not use alike
// (PermissionError): the device file's permissions tell them apart.
QString OpenFailureReason(QSerialPort::SerialPortError error, DeviceAccess access,
                          const QString& device);

// A thin adapter over QSerialPort. Waiting for a reply sleeps in the kernel until a byte
// arrives or the deadline passes. A device that goes away while open (a USB adapter pulled
// out) is closed at once: it answers nothing more, and is released to be opened again when it
// is back.
class QtSerialLine final : public SerialLine {
public:
    explicit QtSerialLine(Clock& clock) : clock_(clock) {}
    bool open(const PortSettings& settings, int* errorNumber, QString* errorText) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    void sendByte(std::uint8_t byte) override;
    int bytesWaiting() override {
        return port_.isOpen() ? static_cast<int>(port_.bytesAvailable()) : 0;
    }
    int takeByte() override;
    void discardInput() override;
    bool waitForInput(double deadline) override;
    QString deviceName() const override { return device_; }
    // Whether the driver holds received bytes back no longer than it must (USB adapters); asked
    // for at each open, where the device knows of it.
    bool lowLatency() const { return lowLatency_; }

private:
    void closeIfGone();

    Clock& clock_;
    QSerialPort port_;
    QString device_;
    bool lowLatency_ = false;
};

class QtEventPump final : public EventPump {
public:
    void processPendingEvents() override;
};

class NoEventPump final : public EventPump {
public:
    void processPendingEvents() override {}
};

// Logs every byte on a line of its own: "+S.mmm > HH" sent, "+S.mmm < HH" received.
class TracingSerialLine final : public SerialLine {
public:
    TracingSerialLine(SerialLine& inner, Clock& clock, std::FILE* out);
    bool open(const PortSettings& settings, int* errorNumber, QString* errorText) override {
        return inner_.open(settings, errorNumber, errorText);
    }
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    void sendByte(std::uint8_t byte) override;
    int bytesWaiting() override { return inner_.bytesWaiting(); }
    int takeByte() override;
    void discardInput() override { inner_.discardInput(); }
    bool waitForInput(double deadline) override { return inner_.waitForInput(deadline); }
    QString deviceName() const override { return inner_.deviceName(); }

private:
    void log(char direction, int byte);
    SerialLine& inner_;
    Clock& clock_;
    std::FILE* out_;
    double start_;
};

} // namespace talvern::link
