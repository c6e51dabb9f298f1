// sfpplot --trend: one figure of a measurement trend log over time, drawn by
// trendPlot with the picture renderer's legend and caption.
#ifndef SFPPLOT_TREND_H
#define SFPPLOT_TREND_H

#include <QString>

#include <cstdint>
#include <string>

struct trendPictureRequest
{
    std::string log;        // NAME.trend.csv
    int figure = 0;         // index of trendFigureNames
    int card = 0;           // from 1; 0: every card
    uint16_t channels = 0xFFFF;
    std::string output;     // .png, .svg or .pdf
    int width = 0;          // PNG pixels
    QString title;
};

// Reads the log, draws the figure and saves the picture; says what went
// wrong on stderr. Returns the tool's exit status. Needs a QApplication.
int saveTrendPicture(const trendPictureRequest &request);

#endif
