// Numbers as text, the same in every locale (std::to_chars never reads the
// process locale, unlike printf and streams): a decimal point, no grouping.
#ifndef PLAINNUMBER_H
#define PLAINNUMBER_H

#include <string>

// value with the given decimals (0 ... 17), as "%.*f" in the C locale;
// "-" for a value that is not finite, which is what a cell shows for a
// figure that could not be measured.
std::string plainFixed(double value, int decimals);

// The shortest text that reads back as value ("20000", "20.5", "1e-07");
// "-" when it is not finite.
std::string plainShortest(double value);

// Reads a whole decimal number ("20", "-1.5", "2e4"); false on anything
// else, including "nan", "inf" and surrounding blanks.
bool parsePlainNumber(const std::string &text, double &value);

#endif
