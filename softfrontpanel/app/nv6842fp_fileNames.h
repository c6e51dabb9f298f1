// Asking the operator for the name of a file to save or to open, through one
// function that tests replace so that no modal file dialog ever runs. The
// folder of the last choice of each kind is remembered in the program's
// settings (group "FileFolders"), so the next question starts there.
#ifndef NV6842FP_FILENAMES_H
#define NV6842FP_FILENAMES_H

#include <QString>

#include <functional>

class QWidget;

struct nv6842fp_fileQuestion {
    QWidget *parent = nullptr;
    QString caption;
    QString filters;       // "CSV (*.csv);;JSON (*.json)"
    QString kind;          // the remembered folder's key: "Table", "Settings"
    QString suggestedName; // a file name in that folder
    bool save = true;      // false: a file to open
    QString startPath;     // filled by nv6842fp_askFileName: folder and suggested name
};

// Returns the chosen path, empty when the operator cancelled.
using nv6842fp_fileAsker = std::function<QString(const nv6842fp_fileQuestion &question)>;
// An empty function restores the file dialogs.
void nv6842fp_setFileAsker(nv6842fp_fileAsker asker);

QString nv6842fp_askFileName(nv6842fp_fileQuestion question);

#endif
