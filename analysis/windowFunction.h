// Window functions of the spectra. The denominator is the block length N
// (not N - 1): the windows are periodic, so a tone on a bin stays on it.
#ifndef WINDOWFUNCTION_H
#define WINDOWFUNCTION_H

// Window types, as the "FFT Window: " combo's user data.
enum windowType {
    windowRectangular = 0,
    windowHann = 1,
    windowHamming = 2,
    windowBlackman = 3,
    windowBlackmanHarris4 = 4,
    windowBlackmanHarris7 = 5
};

// Fills values[0 ... count-1] with the window of the given type; any other
// type gives the rectangular window. count < 1 writes nothing.
void windowFunction(int type, int count, double *values);

#endif
