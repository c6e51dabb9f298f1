// The coherent frequency nearest to a wanted input frequency: J whole
// cycles in a block of N scans at fs, so the tone lies exactly on bin J and
// leaks into no other bin. J is odd and shares no factor with N (every
// sample then sees a different phase of the tone), and J >= 9 so that the
// tone clears the DC region; J < N / 2 keeps it below the Nyquist frequency.
//
// Use: CoherentFrequency c = coherentFrequency(wantedHz, rateHz, scans);
//      if (c.cycles) show c.frequencyHz and c.cycles; else none exists.
#ifndef COHERENTFREQUENCY_H
#define COHERENTFREQUENCY_H

struct CoherentFrequency
{
    double frequencyHz = 0.0; // cycles * fs / N
    int cycles = 0;           // J; 0: the block is too short for any
};

// Of two equally near, the lower. A wanted frequency outside the band
// gives the nearest coherent one inside it.
CoherentFrequency coherentFrequency(double wantedHz, double rateHz, int scans);

#endif
