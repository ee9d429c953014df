#include "comm/wiretime.h"

#include <algorithm>

namespace wiretime {

namespace {
constexpr double kFixedGapMs = 1.75;
constexpr double kGapCharacters = 3.5;
}  // namespace

double characterMs(int speed) {
    return speed > 0 ? kBitsPerCharacter * 1000.0 / speed : 0.0;
}

double frameGapMs(int speed) {
    return std::max(kGapCharacters * characterMs(speed), kFixedGapMs);
}

double frameMs(int bytes, int speed) {
    return bytes * characterMs(speed) + frameGapMs(speed);
}

double exchangeMs(int requestBytes, int answerBytes, int speed, double processingMs) {
    return frameMs(requestBytes, speed) + processingMs + frameMs(answerBytes, speed);
}

double answerArrivesMs(int requestBytes, int answerBytes, int speed, double processingMs) {
    return frameMs(requestBytes, speed) + processingMs + answerBytes * characterMs(speed);
}

}  // namespace wiretime
