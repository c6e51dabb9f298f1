// Exit codes shared by every command-line tool (sfpfile, sfpmeasure,
// sfprecord), so that scripts can tell what went wrong without reading the
// message.
#ifndef TOOLEXIT_H
#define TOOLEXIT_H

enum ToolExit {
    toolExitOk = 0,
    toolExitUsage = 1,      // bad options, or something the input does not have (a block, a card)
    toolExitInput = 2,      // input missing, unreadable or damaged (a file, the cards)
    toolExitOutput = 3,     // output not written (unwritable path, full disk), or the run failed
    toolExitIncomplete = 4, // a recording found incomplete or out of order
};

#endif
