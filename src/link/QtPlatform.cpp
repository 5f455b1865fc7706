#include "QtPlatform.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace talvern::link {

void SteadyClock::sleepUntil(double t) {
    const double wait = t - now();
    if (wait > 0) std::this_thread::sleep_for(std::chrono::duration<double>(wait));
}

QString SerialDeviceName(const PortSettings& settings) {
    if (!settings.devicePath.isEmpty()) return settings.devicePath;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(settings.port);
#else
    return QStringLiteral("/dev/ttyS%1").arg(settings.port - 1);
#endif
}

bool QtSerialLine::open(const PortSettings& settings, int* errorNumber, QString* errorText) {
    if (port_.isOpen()) port_.close();
    port_.setPortName(SerialDeviceName(settings));
    port_.setBaudRate(settings.baud);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (port_.open(QIODevice::ReadWrite)) return true;
    if (errorNumber) *errorNumber = static_cast<int>(port_.error());
    // The device as the user named it: portName() drops the folder ("pts/1" for /dev/pts/1).
    if (errorText)
        *errorText = SerialDeviceName(settings) + QStringLiteral(": ") + port_.errorString();
    return false;
}

void QtSerialLine::close() {
    if (port_.isOpen()) port_.close();
}

void QtSerialLine::sendByte(std::uint8_t byte) {
    const char c = static_cast<char>(byte);
    port_.write(&c, 1);
    port_.flush();
}

int QtSerialLine::takeByte() {
    char c = 0;
    if (!port_.getChar(&c)) return -1;
    return static_cast<std::uint8_t>(c);
}

void QtSerialLine::discardInput() {
    // Both what the driver holds and what QSerialPort has already buffered.
    port_.clear(QSerialPort::Input);
    port_.readAll();
}

bool QtSerialLine::waitForInput(double deadline) {
    if (port_.bytesAvailable() > 0) return true;
    const int ms = static_cast<int>((deadline - clock_.now()) * 1000.0 + 0.999);
    if (ms <= 0) return false;
    if (port_.waitForReadyRead(ms)) return true;
    // A port that failed (unplugged adapter) returns at once; sleep out the deadline instead of
    // letting the caller spin.
    if (port_.error() != QSerialPort::NoError && port_.error() != QSerialPort::TimeoutError)
        clock_.sleepUntil(deadline);
    return port_.bytesAvailable() > 0;
}

void QtEventPump::processPendingEvents() {
    QCoreApplication::processEvents();
}

TracingSerialLine::TracingSerialLine(SerialLine& inner, Clock& clock, std::FILE* out)
    : inner_(inner), clock_(clock), out_(out), start_(clock.now()) {}

void TracingSerialLine::sendByte(std::uint8_t byte) {
    log('>', byte);
    inner_.sendByte(byte);
}

int TracingSerialLine::takeByte() {
    const int byte = inner_.takeByte();
    if (byte >= 0) log('<', byte);
    return byte;
}

void TracingSerialLine::log(char direction, int byte) {
    std::fprintf(out_, "+%.3f %c %02X\n", clock_.now() - start_, direction, byte);
    std::fflush(out_);
}

} // namespace talvern::link
