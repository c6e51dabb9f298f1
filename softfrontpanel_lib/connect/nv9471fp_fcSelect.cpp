#include "nv9471fp_fcSelect.h"

#include "nv9471.h"
#include "nv9471fp_descriptor.h"
#include "nv9471fp_fcEnterAddress.h"
#include "nv9471fp_genFC.h"
#include "nv9471fp_messages.h"

#include <QDebug>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const int maxCards = 256;
const char notSelectableText[] =
    "Select one available function card and then click \"OK\" \nor click \"Cancel\" to quit";

QIcon frameworkIcon()
{
    return QIcon(QStringLiteral(":/fp-window-icon.png"));
}

bool isSelectable(const QTreeWidgetItem *item)
{
    return item && (item->flags() & Qt::ItemIsSelectable);
}

} // namespace

nv9471fp_fcSelect::nv9471fp_fcSelect(nv9471fp_genFC *card, bool allowSeveral, QWidget *parent)
    : QDialog(parent), card(card)
{
    setWindowTitle(titleText());
    setWindowIcon(frameworkIcon());

    tree = new QTreeWidget(this);
    tree->setColumnCount(2);
    tree->setHeaderLabels({QStringLiteral("System"), QStringLiteral("FC Model")});
    const int fontHeight = fontMetrics().height();
    tree->setMinimumSize(24 * fontHeight, 24 * fontHeight);
    tree->setSelectionMode(allowSeveral ? QAbstractItemView::ExtendedSelection
                                        : QAbstractItemView::SingleSelection);

    okButton = new QPushButton(QStringLiteral("OK"), this);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okButton);
    buttons->addWidget(cancelButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tree);
    layout->addLayout(buttons);

    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(okButton, &QPushButton::clicked, this, &nv9471fp_fcSelect::okPressed);
    connect(tree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem *item, int) { dblClick(item); });
}

nv9471fp_fcSelect::~nv9471fp_fcSelect() = default;

QString nv9471fp_fcSelect::modelText() const
{
    return card ? nv9471fp_modelText(card->modelCode) : QString();
}

QString nv9471fp_fcSelect::titleText() const
{
    return QStringLiteral("Trellin ") + modelText() + QStringLiteral(" SFP: Select Function Card");
}

bool nv9471fp_fcSelect::chooseConnection()
{
    if (!addressDialog)
        addressDialog = new nv9471fp_fcEnterAddress(card, this);
    for (;;) {
        Step step = askHowToConnect();
        if (step == Step::Open)
            step = openCards();
        switch (step) {
        case Step::Opened:
            return true;
        case Step::Demo:
            demoMode = 1;
            fcNumbers[0] = 1;
            descriptorList = QStringLiteral("VXI0::1::INSTR");
            cardCount = 1;
            return true;
        case Step::GiveUp:
            return false;
        default:
            break; // back to the first question
        }
    }
}

nv9471fp_fcSelect::Step nv9471fp_fcSelect::askHowToConnect()
{
    sfp::MessageRequest request;
    request.icon = QMessageBox::Question;
    request.title = titleText();
    request.text = QStringLiteral("How to connect to %1 Function Card?").arg(modelText());
    request.customButtons =
        QStringList{QStringLiteral("Auto Find"), QStringLiteral("Run In Demo Mode"),
                    QStringLiteral("Enter Address")};
    request.customRoles = {QMessageBox::ActionRole, QMessageBox::ActionRole,
                           QMessageBox::ActionRole};
    request.buttons = QMessageBox::Cancel;
    request.defaultCustom = 0;
    request.windowIcon = frameworkIcon();
    switch (sfp::ask(request).custom) {
    case 0:
        return autoFind();
    case 1:
        return Step::Demo;
    case 2:
        return enterAddress();
    default:
        return Step::GiveUp;
    }
}

nv9471fp_fcSelect::Step nv9471fp_fcSelect::autoFind()
{
    const int found = searchCards();
    if (found == 0) {
        sfp::MessageRequest request;
        request.icon = QMessageBox::Question;
        request.title = titleText();
        request.text = QStringLiteral("No %1 Function Card found on your system.").arg(modelText());
        request.customButtons =
            QStringList{QStringLiteral("Try Again"), QStringLiteral("Run In Demo Mode")};
        request.customRoles = {QMessageBox::AcceptRole, QMessageBox::ActionRole};
        request.buttons = QMessageBox::Cancel;
        request.defaultCustom = 0;
        request.windowIcon = frameworkIcon();
        switch (sfp::ask(request).custom) {
        case 0:
            return Step::Ask;
        case 1:
            return Step::Demo;
        default:
            return Step::GiveUp;
        }
    }
    if (found == 1) {
        cardCount = 1;
        return Step::Open;
    }
    return exec() == QDialog::Accepted ? Step::Open : Step::GiveUp;
}

nv9471fp_fcSelect::Step nv9471fp_fcSelect::enterAddress()
{
    addressDialog->loadRemembered();
    while (addressDialog->exec() == QDialog::Accepted) {
        QStringList descriptors;
        QList<int> numbers;
        addressDialog->takeAddresses(descriptors, numbers);
        const QString warning = addressWarning(descriptors, numbers);
        if (!warning.isEmpty()) {
            showWarning(warning);
        } else {
            const int count = std::min(descriptors.size(), maxCards);
            descriptorList = QStringList(descriptors.mid(0, count)).join(QLatin1Char(','));
            for (int i = 0; i < count; ++i)
                fcNumbers[i] = ViInt16(numbers.at(i));
            cardCount = count;
            return Step::Open;
        }
        addressDialog->loadRemembered();
    }
    return Step::Ask;
}

QString nv9471fp_fcSelect::addressWarning(const QStringList &descriptors,
                                          const QList<int> &fcNumbers)
{
    if (descriptors.isEmpty() || fcNumbers.isEmpty() || descriptors.size() != fcNumbers.size())
        return QStringLiteral(
            "Please enter at least one resource descriptor and select the Function Card number.");
    const bool incomplete = std::any_of(descriptors.cbegin(), descriptors.cend(),
                                        [](const QString &d) { return d.isEmpty(); }) ||
                            fcNumbers.contains(0);
    if (!incomplete)
        return QString();
    return descriptors.size() == 1
               ? QStringLiteral(
                     "Please enter the resource descriptor and select the Function Card number.")
               : QStringLiteral(
                     "Please enter the resource descriptors and select the Function Card numbers.");
}

nv9471fp_fcSelect::Step nv9471fp_fcSelect::openCards()
{
    QByteArray descriptors = descriptorList.toLatin1();
    session = 0;
    const ViStatus status =
        card->multInit(descriptors.data(), fcNumbers, VI_TRUE, VI_TRUE, &session);
    if (status == VI_SUCCESS)
        return Step::Opened;
    // A warning may still have opened the cards; close them so that a retry
    // does not find them busy.
    if (status > VI_SUCCESS && session != 0)
        card->multClose(session);
    session = 0;

    QString errorText = card->errorMessage(status);
    if (errorText.isEmpty()) {
        ViChar text[1024] = {};
        nv9471_errorText(status, text);
        text[sizeof text - 1] = '\0';
        errorText = QString::fromLatin1(text);
    }
    sfp::MessageRequest request;
    request.icon = QMessageBox::Question;
    request.title = titleText();
    request.text =
        (cardCount > 1 ? QStringLiteral("At least one selected %1 Function Card is unavailable.\n"
                                        "Error: %2")
                       : QStringLiteral("Selected %1 Function Card is unavailable.\nError: %2"))
            .arg(modelText(), errorText);
    request.customButtons = QStringList{QStringLiteral("Try Again")};
    request.customRoles = {QMessageBox::AcceptRole};
    request.buttons = QMessageBox::Cancel;
    request.defaultCustom = 0;
    request.windowIcon = frameworkIcon();
    return sfp::ask(request).custom == 0 ? Step::Ask : Step::GiveUp;
}

int nv9471fp_fcSelect::searchCards()
{
    tree->clear();
    resources.clear();
    nv9471fp_resourceSearch search(card);
    if (!search.findResources())
        return 0;
    search.probeLocalResources();
    runProbesWithProgress(search);
    resources = search.results();
    const int selectable = fillTree();
    search.close();
    return selectable;
}

void nv9471fp_fcSelect::runProbesWithProgress(nv9471fp_resourceSearch &search)
{
    QProgressDialog progress(this);
    progress.setWindowTitle(QStringLiteral("Trellin ") + modelText());
    progress.setLabelText(QStringLiteral("Searching..."));
    progress.setCancelButton(nullptr);
    progress.setModal(true);
    QFutureWatcher<void> watcher;
    connect(&watcher, &QFutureWatcherBase::finished, &progress, &QProgressDialog::reset);
    connect(&watcher, &QFutureWatcherBase::progressRangeChanged, &progress,
            &QProgressDialog::setRange);
    connect(&watcher, &QFutureWatcherBase::progressValueChanged, &progress,
            &QProgressDialog::setValue);
    QFuture<void> future = search.probeNetworkResources();
    watcher.setFuture(future);
    // Closes itself through reset() when the run finishes.
    progress.exec();
    future.waitForFinished();
}

int nv9471fp_fcSelect::fillTree()
{
    int selectable = 0;
    QTreeWidgetItem *group = nullptr;
    QString groupKey;
    QList<QTreeWidgetItem *> expanded;
    bool limitReached = false;
    for (const resourceInfo &resource : qAsConst(resources)) {
        const QString key = descriptorGroupKey(resource.descriptor);
        if (!group || key != groupKey) {
            group = new QTreeWidgetItem(tree, QStringList{key});
            group->setFlags(Qt::ItemIsEnabled);
            expanded.append(group);
            groupKey = key;
        }
        if (resource.fcRows.isEmpty())
            continue;
        auto *system = new QTreeWidgetItem(group, QStringList{resource.systemTexts.value(0)});
        system->setFlags(Qt::ItemIsEnabled);
        bool anySelectable = false;
        for (int i = 0; i < resource.fcRows.size() && !limitReached; ++i) {
            const int fcNumber = resource.fcNumbers.value(i);
            auto *row = new QTreeWidgetItem(system, resource.fcRows.at(i));
            row->setData(0, Qt::StatusTipRole, fcNumber);
            row->setData(1, Qt::StatusTipRole, resource.descriptor);
            if (fcNumber == 0) {
                row->setFlags(Qt::NoItemFlags);
                continue;
            }
            row->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            anySelectable = true;
            descriptorList = resource.descriptor;
            fcNumbers[0] = ViInt16(fcNumber);
            if (++selectable == maxCards)
                limitReached = true;
        }
        if (anySelectable)
            expanded.append(system);
        if (limitReached) {
            sfp::MessageRequest request;
            request.icon = QMessageBox::Question;
            request.title = titleText();
            request.text =
                QStringLiteral("Found more Function Cards than supported by this SoftFrontPanel. "
                               "Only first %1 are available.\nPlease contact Norvane's support if "
                               "you need support for more cards.")
                    .arg(maxCards);
            request.buttons = QMessageBox::NoButton;
            request.customButtons = QStringList{QStringLiteral("Continue")};
            request.customRoles = {QMessageBox::AcceptRole};
            request.useActiveWindowAsParent = true;
            sfp::ask(request);
            break;
        }
    }
    for (QTreeWidgetItem *item : qAsConst(expanded))
        item->setExpanded(true);
    tree->resizeColumnToContents(0);
    tree->resizeColumnToContents(1);
    return selectable;
}

void nv9471fp_fcSelect::okPressed()
{
    const QList<QTreeWidgetItem *> items = tree->selectedItems();
    if (items.isEmpty())
        return;
    selectedItems = items;
    if (takeItems(items))
        accept();
}

bool nv9471fp_fcSelect::takeItems(const QList<QTreeWidgetItem *> &items)
{
    const int count = std::min(items.size(), maxCards);
    cardCount = count;
    descriptorList.clear();
    for (int i = 0; i < count; ++i) {
        const QTreeWidgetItem *item = items.at(i);
        if (!isSelectable(item)) {
            qDebug().noquote() << notSelectableText;
            return false;
        }
        fcNumbers[i] = ViInt16(item->data(0, Qt::StatusTipRole).toInt());
        descriptorList += item->data(1, Qt::StatusTipRole).toString();
        if (i + 1 < count)
            descriptorList += QLatin1Char(',');
    }
    return count > 0;
}

void nv9471fp_fcSelect::dblClick(QTreeWidgetItem *item)
{
    if (!isSelectable(item))
        return;
    const QTreeWidgetItem *current = tree->currentItem();
    if (!isSelectable(current)) {
        qDebug().noquote() << notSelectableText;
        return;
    }
    fcNumbers[0] = ViInt16(current->data(0, Qt::StatusTipRole).toInt());
    descriptorList = current->data(1, Qt::StatusTipRole).toString();
    cardCount = 1;
    accept();
}
