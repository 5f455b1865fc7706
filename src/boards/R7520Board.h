#pragma once
// The motion board of the servo cupfeed: an indexing cam that follows the bodymaker's main crank
// through a profile, a PID loop whose following error depends on its gains, the amplifier test
// mode, and the signature recorder.

#include "Board.h"

#include <cstdint>

namespace talvern::boards {

class K2510Board;

namespace r7520 {
inline constexpr std::uint16_t kCamPosition = 80;   // W80
inline constexpr std::uint16_t kCrankPosition = 82; // W82
inline constexpr std::uint16_t kTestMode = 153;     // bit 7
inline constexpr std::uint16_t kPositivePeak = 610;
inline constexpr std::uint16_t kNegativePeak = 612;
inline constexpr std::uint16_t kAbsoluteError = 614;
inline constexpr std::uint16_t kCamOffset = 1102;
inline constexpr std::uint16_t kCrankOffset = 1104;
inline constexpr std::uint16_t kHomePosition = 1108;
inline constexpr std::uint16_t kShortCanStop = 1110;
inline constexpr std::uint16_t kIntegralGain = 1120;
inline constexpr std::uint16_t kDerivativeGain = 1122;
inline constexpr std::uint16_t kProportionalGain = 1126;
inline constexpr std::uint16_t kProportionalFine = 1128; // hundredths
inline constexpr std::uint16_t kOutOfSyncError = 1130;
inline constexpr std::uint16_t kSyncEnableError = 1132;
inline constexpr std::uint16_t kFollowingErrorAlarm = 1134;
inline constexpr std::uint16_t kTestOutput = 1140; // 2048 = 0 %
inline constexpr std::uint16_t kCapture = 2999;
inline constexpr std::uint16_t kCurrentSamples = 3000;
inline constexpr std::uint16_t kErrorSamples = 3500;
inline constexpr std::uint16_t kProfileSamples = 4000;
inline constexpr std::uint16_t kReferenceSamples = 4500;
inline constexpr int kDefaultSamples = 180;
} // namespace r7520

class R7520Board : public Board {
public:
    R7520Board(const Clock& clock, K2510Board& bodymaker);

    // A recording started on B2999 never completes while this is set.
    void setCaptureStuck(bool stuck) { captureStuck_ = stuck; }
    bool captureStuck() const { return captureStuck_; }
    bool recording() const { return recording_; }

    // Peak following error (counts) the present gains give at the given speed.
    double peakError(double speedSpm) const;

protected:
    void advance(double from, double to) override;
    void afterWrite(std::uint16_t address) override;

private:
    void publish(double now);
    void record();

    K2510Board& bodymaker_;
    bool recording_ = false;
    bool captureStuck_ = false;
    double captureEnd_ = 0;
    int samplesPerStroke_ = r7520::kDefaultSamples;
    double testCam_ = 0; // counts, while the amplifier is driven by hand
    bool wasTesting_ = false;
};

} // namespace talvern::boards
