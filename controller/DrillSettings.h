// What the hands-free sentence drill does: each sentence N rounds, then a
// pause of k times the sentence's length as heard for the learner to speak.
#pragma once

namespace drill {

constexpr int kMinRounds = 1;
constexpr int kMaxRounds = 10;
constexpr double kMinPauseFactor = 0.5;
constexpr double kMaxPauseFactor = 3.0;
constexpr double kPauseFactorStep = 0.1;
// The first round's speed when the learner asks for a slow first round.
constexpr double kSlowFirstSpeed = 0.75;

struct Settings {
    int rounds = 3;
    double pauseFactor = 1.5;
    bool record = false; // record the learner during each pause
    bool playBack = false; // play that take before moving on
    bool slowFirst = false; // the first round at kSlowFirstSpeed, the others at the chosen speed

    bool operator==(const Settings& other) const
    {
        return rounds == other.rounds && pauseFactor == other.pauseFactor && record == other.record &&
               playBack == other.playBack && slowFirst == other.slowFirst;
    }
};

} // namespace drill
