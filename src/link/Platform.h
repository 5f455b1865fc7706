#pragma once
// The four collaborators through which the link reaches the platform. RSComm never touches a
// port, a clock, a window or the event loop directly, so every line of it runs in a test.

#include <QString>
#include <cstdint>

namespace talvern::link {

// Port number and speed from the settings file; a device path given explicitly (a USB adapter,
// a pseudo-terminal) overrides the number.
struct PortSettings {
    int port = 1;
    int baud = 9600;
    QString devicePath;
};

class SerialLine {
public:
    virtual ~SerialLine() = default;
    // Opens the line; on failure returns false and fills the error number and text.
    virtual bool open(const PortSettings& settings, int* errorNumber, QString* errorText) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void sendByte(std::uint8_t byte) = 0;
    virtual int bytesWaiting() = 0;
    // One waiting byte, or -1 when none waits.
    virtual int takeByte() = 0;
    virtual void discardInput() = 0;
    // Blocks until a byte waits or the clock reaches the deadline (seconds on the link's clock);
    // true when a byte waits. Must not spin: the real port sleeps in the kernel.
    virtual bool waitForInput(double deadline) = 0;
    // The device the line is open on, as the user would name it ("/dev/ttyUSB0"); empty for a
    // line that has none.
    virtual QString deviceName() const { return {}; }
};

class Clock {
public:
    virtual ~Clock() = default;
    // Elapsed seconds with sub-second resolution.
    virtual double now() const = 0;
    // Returns once now() has reached t (a fake clock simply jumps there).
    virtual void sleepUntil(double t) = 0;
};

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
enum class Icon { None, Critical, Question, Exclamation, Information };
// Numbered as the message box of the original platform numbers its answers (6 Yes, 7 No, 2 Cancel).
enum class Answer { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

class UserAnswers {
public:
    virtual ~UserAnswers() = default;
    virtual Answer ask(const QString& text, const QString& title, Buttons buttons, Icon icon) = 0;
};

class EventPump {
public:
    virtual ~EventPump() = default;
    // Lets pending window events run (the program); nothing or a hook in tests.
    virtual void processPendingEvents() = 0;
};

} // namespace talvern::link
