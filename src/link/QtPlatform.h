#pragma once
// The program's own collaborators of the link: the serial port, the clock and the event pump.

#include "Platform.h"

#include <QElapsedTimer>
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

// A thin adapter over QSerialPort. Waiting for a reply sleeps in the kernel until a byte
// arrives or the deadline passes.
class QtSerialLine final : public SerialLine {
public:
    explicit QtSerialLine(Clock& clock) : clock_(clock) {}
    bool open(const PortSettings& settings, int* errorNumber, QString* errorText) override;
    void close() override;
    bool isOpen() const override { return port_.isOpen(); }
    void sendByte(std::uint8_t byte) override;
    int bytesWaiting() override { return static_cast<int>(port_.bytesAvailable()); }
    int takeByte() override;
    void discardInput() override;
    bool waitForInput(double deadline) override;

private:
    Clock& clock_;
    QSerialPort port_;
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

private:
    void log(char direction, int byte);
    SerialLine& inner_;
    Clock& clock_;
    std::FILE* out_;
    double start_;
};

} // namespace talvern::link
