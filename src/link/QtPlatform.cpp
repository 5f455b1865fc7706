#include "QtPlatform.h"

#include "WireTrace.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>
#include <chrono>
#include <thread>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace talvern::link {

void SteadyClock::sleepUntil(double t) {
    const double wait = t - now();
    if (wait > 0) std::this_thread::sleep_for(std::chrono::duration<double>(wait));
}

QString SerialDeviceName(const PortSettings& settings) {
#ifdef Q_OS_WIN
    if (!settings.devicePath.isEmpty()) return settings.devicePath;
    return QStringLiteral("COM%1").arg(settings.port);
#else
    // A bare name ("ttyUSB0") is a device in /dev, as QSerialPort takes it too.
    if (!settings.devicePath.isEmpty())
        return settings.devicePath.contains(QLatin1Char('/'))
                   ? settings.devicePath
                   : QStringLiteral("/dev/") + settings.devicePath;
    return QStringLiteral("/dev/ttyS%1").arg(settings.port - 1);
#endif
}

QString SerialDeviceCaption(const QString& name, const QString& description, const QString& maker) {
    QString caption = name;
    if (!description.isEmpty()) caption += QStringLiteral(" — ") + description;
    if (!maker.isEmpty() && !description.contains(maker, Qt::CaseInsensitive))
        caption += description.isEmpty() ? QStringLiteral(" — ") + maker
                                         : QStringLiteral(" (") + maker + QLatin1Char(')');
    return caption;
}

QList<SerialDevice> AvailableSerialDevices() {
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    // Adapters, which describe themselves, before the computer's own ports.
    std::stable_sort(ports.begin(), ports.end(),
                     [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
                         if (a.description().isEmpty() != b.description().isEmpty())
                             return b.description().isEmpty();
                         return a.portName() < b.portName();
                     });
    QList<SerialDevice> devices;
    for (const QSerialPortInfo& info : ports)
        devices.push_back(
            {info.systemLocation(),
             SerialDeviceCaption(info.portName(), info.description(), info.manufacturer())});
    return devices;
}

DeviceAccess ProbeDeviceAccess(const QString& device) {
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(device);
    if (::access(path.constData(), F_OK) != 0) return DeviceAccess::Missing;
    return ::access(path.constData(), R_OK | W_OK) == 0 ? DeviceAccess::Allowed
                                                        : DeviceAccess::Denied;
#else
    Q_UNUSED(device);
    return DeviceAccess::Allowed;
#endif
}

QString OpenFailureReason(QSerialPort::SerialPortError error, DeviceAccess access,
                          const QString& device) {
    if (error == QSerialPort::DeviceNotFoundError || access == DeviceAccess::Missing)
        return device + QStringLiteral(" is not connected: there is no such device on this "
                                       "computer. Plug the adapter in; in another socket it "
                                       "may have another name (Edit, Comm Port lists them).");
    switch (error) {
        case QSerialPort::PermissionError:
        case QSerialPort::OpenError:
            if (access == DeviceAccess::Denied)
#ifdef Q_OS_LINUX
                return QStringLiteral("Permission to use %1 is denied. The user must be in the "
                                      "dialout group: run  sudo adduser $USER dialout  and then "
                                      "log out and log in again.")
                    .arg(device);
#else
                return QStringLiteral("Permission to use %1 is denied.").arg(device);
#endif
            return device + QStringLiteral(" is busy: another program holds it (a terminal "
                                           "program, a modem manager, another TALVERN). Close "
                                           "that program and try again.");
        case QSerialPort::ResourceError:
            return device + QStringLiteral(" does not answer the system: unplug the adapter "
                                           "and plug it in again.");
        case QSerialPort::UnsupportedOperationError:
            return device + QStringLiteral(" is not a serial port: its line settings cannot be "
                                           "set.");
        default:
            return {};
    }
}

namespace {
// USB adapters hold received bytes back for up to their latency timer (16 ms on FTDI chips),
// which every exchange would wait out; low latency has the driver pass each byte on at once. A
// device that does not know of it (a pseudo-terminal) refuses, and the line works as it is.
bool RequestLowLatency(QSerialPort& port) {
#ifdef Q_OS_LINUX
    const int fd = static_cast<int>(port.handle());
    serial_struct serial{};
    if (fd < 0 || ::ioctl(fd, TIOCGSERIAL, &serial) != 0) return false;
    if ((serial.flags & ASYNC_LOW_LATENCY) != 0) return true;
    serial.flags |= ASYNC_LOW_LATENCY;
    return ::ioctl(fd, TIOCSSERIAL, &serial) == 0;
#else
    Q_UNUSED(port);
    return false;
#endif
}
} // namespace

bool QtSerialLine::open(const PortSettings& settings, int* errorNumber, QString* errorText) {
    if (port_.isOpen()) port_.close();
    // The device as the user named it: portName() drops the folder ("pts/1" for /dev/pts/1).
    device_ = SerialDeviceName(settings);
    port_.setPortName(device_);
    port_.setBaudRate(settings.baud);
    port_.setDataBits(QSerialPort::Data8);
    port_.setParity(QSerialPort::NoParity);
    port_.setStopBits(QSerialPort::OneStop);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    lowLatency_ = false;
    if (port_.open(QIODevice::ReadWrite)) {
        lowLatency_ = RequestLowLatency(port_);
        return true;
    }
    if (errorNumber) *errorNumber = static_cast<int>(port_.error());
    if (errorText) {
        *errorText = device_ + QStringLiteral(": ") + port_.errorString();
        const QString reason =
            OpenFailureReason(port_.error(), ProbeDeviceAccess(device_), device_);
        if (!reason.isEmpty()) *errorText += QStringLiteral("\r\n\r\n") + reason;
    }
    return false;
}

void QtSerialLine::close() {
    if (port_.isOpen()) port_.close();
}

void QtSerialLine::closeIfGone() {
    const QSerialPort::SerialPortError error = port_.error();
    bool gone = error == QSerialPort::ResourceError || error == QSerialPort::DeviceNotFoundError;
#ifdef Q_OS_UNIX
    gone = gone || ((error == QSerialPort::ReadError || error == QSerialPort::WriteError) &&
                    !QFileInfo::exists(device_));
#endif
    if (gone) port_.close();
}

void QtSerialLine::sendByte(std::uint8_t byte) {
    if (!port_.isOpen()) return;
    const char c = static_cast<char>(byte);
    port_.clearError();
    if (port_.write(&c, 1) != 1 || !port_.flush()) closeIfGone();
}

int QtSerialLine::takeByte() {
    char c = 0;
    if (!port_.isOpen() || !port_.getChar(&c)) return -1;
    return static_cast<std::uint8_t>(c);
}

void QtSerialLine::discardInput() {
    if (!port_.isOpen()) return;
    // Both what the driver holds and what QSerialPort has already buffered.
    port_.clear(QSerialPort::Input);
    port_.readAll();
}

bool QtSerialLine::waitForInput(double deadline) {
    if (!port_.isOpen()) {
        clock_.sleepUntil(deadline);
        return false;
    }
    if (port_.bytesAvailable() > 0) return true;
    const int ms = static_cast<int>((deadline - clock_.now()) * 1000.0 + 0.999);
    if (ms <= 0) return false;
    port_.clearError();
    if (port_.waitForReadyRead(ms)) return true;
    // A port that failed (unplugged adapter) returns at once; sleep out the deadline instead of
    // letting the caller spin.
    if (port_.error() != QSerialPort::NoError && port_.error() != QSerialPort::TimeoutError) {
        closeIfGone();
        clock_.sleepUntil(deadline);
    }
    return port_.isOpen() && port_.bytesAvailable() > 0;
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
    const QByteArray line =
        TraceLine(clock_.now() - start_, direction == '>', static_cast<std::uint8_t>(byte));
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), out_);
    std::fflush(out_);
}

} // namespace talvern::link
