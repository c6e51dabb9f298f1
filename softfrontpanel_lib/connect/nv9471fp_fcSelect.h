// The connection conversation: asks how to connect, searches for carriers
// with supported function cards and lets the operator pick them in a tree,
// takes typed addresses, and opens the chosen cards as one multi-card session
// through the card description. The main panel creates it, runs
// chooseConnection() once and copies the results.
#ifndef NV9471FP_FCSELECT_H
#define NV9471FP_FCSELECT_H

#include "nv9471fp_resourceSearch.h"
#include "visa.h"

#include <QDialog>
#include <QList>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class nv9471fp_fcEnterAddress;
class nv9471fp_genFC;

class nv9471fp_fcSelect : public QDialog
{
    Q_OBJECT
public:
    // allowSeveral: extended (Ctrl/Shift) selection in the tree, else single.
    nv9471fp_fcSelect(nv9471fp_genFC *card, bool allowSeveral, QWidget *parent = nullptr);
    ~nv9471fp_fcSelect() override;

    // True when the panel may go on (cards opened, or demo mode); false when
    // the operator gave up.
    bool chooseConnection();
    // Searches all VISA resources and fills the tree; returns the number of
    // selectable cards (at most 256). With exactly one, that card is already
    // the current choice.
    virtual int searchCards();
    // The warning for typed addresses that cannot be opened, or an empty text
    // when every row has a descriptor and an FC number.
    static QString addressWarning(const QStringList &descriptors, const QList<int> &fcNumbers);

    // Results, read by the main panel after chooseConnection().
    QString descriptorList;      // chosen descriptors joined with ","
    ViInt16 fcNumbers[256] = {}; // FC number behind each descriptor
    int cardCount = 0;
    int demoMode = 0;
    ViSession session = 0;

    QTreeWidget *tree = nullptr;
    QPushButton *okButton = nullptr;
    QPushButton *cancelButton = nullptr;
    // Resources of the last search, sorted as shown.
    QList<resourceInfo> resources;

    // Takes the rows as the chosen cards, in order (as OK does with the
    // selection). False, with the operator's hint on the debug output, when a
    // row is not a selectable card; the choice is then not complete.
    bool takeItems(const QList<QTreeWidgetItem *> &items);

public slots:
    void okPressed();
    void dblClick(QTreeWidgetItem *item);

private:
    enum class Step { Ask, Open, Opened, Demo, GiveUp };
    Step askHowToConnect();
    Step autoFind();
    Step enterAddress();
    Step openCards();
    void runProbesWithProgress(nv9471fp_resourceSearch &search);
    int fillTree();
    QString titleText() const;
    QString modelText() const;

    nv9471fp_genFC *card; // non-owning
    QList<QTreeWidgetItem *> selectedItems;
    nv9471fp_fcEnterAddress *addressDialog = nullptr;
};

#endif
