#include "messagerecorder.h"

#include "unansweredguard.h"

MessageRecorder::MessageRecorder()
{
    defaultAnswer.standard = QMessageBox::Ok;
    sfp::setMessageResponder([this](const sfp::MessageRequest &r) { return respond(r); });
    sfp::setExitHook([this](int code) { exitCodes.append(code); });
}

MessageRecorder::~MessageRecorder()
{
    sfptest::guardUnanswered();
}

void MessageRecorder::answerStandard(QMessageBox::StandardButton button)
{
    Pending p;
    p.answer.standard = button;
    pending.append(p);
}

void MessageRecorder::answerCustom(int index)
{
    Pending p;
    p.answer.custom = index;
    pending.append(p);
}

void MessageRecorder::answerCustomText(const QString &text)
{
    Pending p;
    p.customText = text;
    pending.append(p);
}

QStringList MessageRecorder::texts() const
{
    QStringList result;
    for (const sfp::MessageRequest &r : boxes)
        result.append(r.text);
    return result;
}

void MessageRecorder::clear()
{
    boxes.clear();
    exitCodes.clear();
    pending.clear();
}

sfp::MessageAnswer MessageRecorder::respond(const sfp::MessageRequest &request)
{
    boxes.append(request);
    if (onBox)
        onBox(request);
    if (pending.isEmpty())
        return defaultAnswer;
    const Pending next = pending.takeFirst();
    if (next.customText.isEmpty())
        return next.answer;
    sfp::MessageAnswer answer;
    answer.custom = request.customButtons.indexOf(next.customText);
    return answer;
}
