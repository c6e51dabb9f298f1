#include "sfpplot_trend.h"

#include "toolexit.h"
#include "trendlog.h"
#include "trendFigure.h"
#include "trendPlot.h"

#include <QFileInfo>

#include <cstdio>

int saveTrendPicture(const trendPictureRequest &request)
{
    trendFigureSeries series;
    std::string why;
    if (!readTrendFigure(request.log, request.figure, request.card, request.channels, &series, &why)) {
        std::fprintf(stderr, "sfpplot: cannot read the trend log %s\n", why.c_str());
        return toolExitInput;
    }
    if (series.rows == 0) {
        std::fprintf(stderr, "sfpplot: none of the channels asked for is in '%s'\nTry 'sfpplot --help'.\n",
                     request.log.c_str());
        return toolExitUsage;
    }
    trendPlot plot(trendFigureAxisTitle(request.figure));
    plot.resize(pictureLogicalWidth, pictureLogicalPlotHeight);
    for (const trendChannelSeries &c : series.channels)
        plot.showChannel(c.card, c.channel, c.times, c.values, c.stretchStarts);
    plot.setTimeSpan(series.firstTime, series.lastTime);
    plot.replot();

    pictureContent content;
    content.plot = &plot;
    content.legend = plot.legend();
    content.title = request.title;
    content.caption = trendPictureCaption(series, request.figure,
                                          QFileInfo(QString::fromLocal8Bit(request.log.c_str())).fileName());
    if (content.isEmpty()) {
        std::fprintf(stderr, "sfpplot: nothing to draw: '%s' holds no %s value of the channels asked for\n",
                     request.log.c_str(), trendFigureNames[request.figure]);
        return toolExitInput;
    }
    QString error;
    if (!savePicture(content, QString::fromLocal8Bit(request.output.c_str()), request.width, &error)) {
        std::fprintf(stderr, "sfpplot: cannot write '%s': %s\n", request.output.c_str(), qPrintable(error));
        return toolExitOutput;
    }
    return toolExitOk;
}
