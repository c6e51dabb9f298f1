// Test side of the message seam: answers every box from a queue of answers
// (or a default), records what was asked, and records requests to end the
// process instead of ending it.
#ifndef MESSAGERECORDER_H
#define MESSAGERECORDER_H

#include "nv9471fp_messages.h"

#include <QList>
#include <QString>
#include <functional>

class MessageRecorder
{
public:
    MessageRecorder();  // installs itself as responder and exit hook
    ~MessageRecorder(); // puts back the guard against unanswered boxes and exits

    // Next answers, used in order; when empty, defaultAnswer is used.
    void answerStandard(QMessageBox::StandardButton button);
    void answerCustom(int index);
    // Answers the next box with the custom button of that text (or fails the box).
    void answerCustomText(const QString &text);
    // Called for every box before it is answered, e.g. to change state like an operator would.
    std::function<void(const sfp::MessageRequest &)> onBox;

    sfp::MessageAnswer defaultAnswer; // Ok/NoButton by default

    QList<sfp::MessageRequest> boxes;
    QList<int> exitCodes;

    int count() const { return boxes.size(); }
    const sfp::MessageRequest &last() const { return boxes.last(); }
    QStringList texts() const;
    void clear();

private:
    struct Pending {
        sfp::MessageAnswer answer;
        QString customText;
    };
    QList<Pending> pending;
    sfp::MessageAnswer respond(const sfp::MessageRequest &request);
};

#endif
