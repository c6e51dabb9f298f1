// The health of a running recording, as people read it: the data rate, the
// blocks waiting in the ring, the free space of the file's disk and how long
// that lasts at the current rate. Texts use the program's size text.
//
// Use (the panel's refresh, the recorder's loop; call as often as you like,
// a sample is taken once a second):
//   recordingHealth health;                                     // at the start
//   if (health.sample(elapsedMs, bytesWritten, contRingBacklog(p), p.writer.freeBytes))
//       show(health.text());
// "1.2 MB/s, ring backlog 0/16 blocks, 45.60 GB free, 10 h 12 min left"; the
// free space and the time left are left out while the free space is unknown,
// the time left while nothing is written.
#ifndef RECORDINGHEALTH_H
#define RECORDINGHEALTH_H

#include <QString>

#include <cstdint>
#include <deque>

class recordingHealth
{
public:
    // ringSlots: the ring's length, as the text names it.
    explicit recordingHealth(int ringSlots = 16) : ringLength(ringSlots) {}

    // Takes a sample when at least a second has passed since the last one
    // (ms from any fixed start); true when there is a text to show, which
    // takes two samples.
    bool sample(int64_t ms, uint64_t bytes, int ringBacklog, int64_t freeBytes);

    // Bytes per second over the last five seconds of samples (0 before two).
    double bytesPerSecond() const;
    // The free space over the rate: infinite while nothing is written,
    // negative while the free space is unknown.
    double secondsLeft() const;
    QString text() const;

private:
    struct Point {
        int64_t ms;
        uint64_t bytes;
    };
    std::deque<Point> points;
    int ringLength;
    int backlog = 0;
    int64_t free = -1;
};

// A duration for people, two units at most: "45 s", "12 min 05 s",
// "3 h 12 min", "2 d 03 h".
QString acqDurationText(double seconds);

#endif
