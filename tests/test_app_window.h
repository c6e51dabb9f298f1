// Opening the 6842 card window in tests: without hardware, or on simulated
// cards typed into the address dialog; and the simulator's journal of calls.
#ifndef TEST_APP_WINDOW_H
#define TEST_APP_WINDOW_H

#include "messagerecorder.h"
#include "nv6842_fc.h"
#include "nv6842fp_App.h"
#include "nv9471fp_fcEnterAddress.h"
#include "nv9471fp_fcEnterAddressFc.h"
#include "test_connect_modal.h"
#include "trellin_sim.h"

#include <QComboBox>
#include <QList>
#include <QPair>
#include <QPushButton>
#include <QStringList>

#include <memory>

using Window = std::unique_ptr<nv6842fp_App>;

// Without hardware, as offline file mode starts it.
inline Window demoWindow(int cards)
{
    return std::make_unique<nv6842fp_App>(&gl_fc, cards, true);
}

// Real cards typed into the address dialog: (descriptor, FC number) rows.
inline Window realWindow(MessageRecorder &recorder, const QList<QPair<QString, int>> &cards)
{
    recorder.answerCustomText("Enter Address");
    auto watch = whenModal<nv9471fp_fcEnterAddress>([cards](nv9471fp_fcEnterAddress *d) {
        d->countBox->setCurrentIndex(cards.size() - 1);
        for (int i = 0; i < cards.size(); ++i) {
            d->rows[i]->descriptorBox->setEditText(cards[i].first);
            d->rows[i]->fcNumberBox->setCurrentIndex(cards[i].second);
        }
        d->okButton->click();
    });
    return std::make_unique<nv6842fp_App>(&gl_fc, 2, false);
}

// Demo mode chosen in the connection dialog, with the given card count.
inline Window demoModeWindow(MessageRecorder &recorder, int cards)
{
    recorder.answerCustomText("Run In Demo Mode");
    return std::make_unique<nv6842fp_App>(&gl_fc, cards, false);
}

// The default system's VXI carrier: FC 1 and FC 2.
inline Window twoCards(MessageRecorder &recorder)
{
    return realWindow(recorder, {{"VXI0::2::INSTR", 1}, {"VXI0::2::INSTR", 2}});
}

inline QStringList journal()
{
    static char text[1 << 18];
    trellinSimJournal(text, sizeof text);
    trellinSimJournalClear();
    return QString::fromLatin1(text).split('\n', Qt::SkipEmptyParts);
}

#endif
