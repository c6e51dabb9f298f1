#include "fpOutputTrigger.h"

#include "nv6842fp_panelHelpers.h"
#include "nv6842fp_daqRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

fpOutputTrigger::fpOutputTrigger(QWidget *parent) : QGroupBox(parent)
{
    auto *grid = new QGridLayout(this);
    grid->setSpacing(20);

    outputTrigger1 = codeCombo(nv6842fp_outputTrigger1Items(), this);
    outputTrigger2 = codeCombo(nv6842fp_outputTrigger2Items(), this);
    outputTrigger1negate = new QCheckBox(QStringLiteral("Negate"), this);
    outputTrigger2negate = new QCheckBox(QStringLiteral("Negate"), this);

    grid->addWidget(new QLabel(QStringLiteral("Front Panel Output Trigger 1"), this), 0, 0);
    grid->addWidget(outputTrigger1, 0, 1);
    grid->addWidget(outputTrigger1negate, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Front Panel Output Trigger 2"), this), 1, 0);
    grid->addWidget(outputTrigger2, 1, 1);
    grid->addWidget(outputTrigger2negate, 1, 2);

    connect(outputTrigger1, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &fpOutputTrigger::outputTriggerChange);
    connect(outputTrigger2, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &fpOutputTrigger::outputTriggerChange);
    outputTriggerChange();
}

void fpOutputTrigger::outputTriggerChange()
{
    outputTrigger1negate->setEnabled(outputTrigger1->currentIndex() > 0);
    outputTrigger2negate->setEnabled(outputTrigger2->currentIndex() > 0);
}
