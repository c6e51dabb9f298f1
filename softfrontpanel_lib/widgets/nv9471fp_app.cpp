#include "nv9471fp_app.h"

#include "nv9471fp_led.h"
#include "nv9471fp_messages.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QStyleFactory>
#include <QVBoxLayout>
#include <QWhatsThis>

namespace {
const char *const windowIconPath = ":/fp-window-icon.png";
const char *const singleIconPath = ":/fp-start-single.png";
const char *const contIconPath = ":/fp-start-cont.png";
const char *const stopIconPath = ":/fp-stop.png";
const char *const helpIconPath = ":/fp-help.png";

const char *const singleStartTip = "Starts the Single-Shot Data Acquisition";
const char *const singleBreakTip = "Breaks the Single-Shot Data Acquisition";
const char *const contStartTip = "<html>Starts the repetitive data acquisition (or continuous data "
                                 "acquisition, when file storage option is turned on)</html>";
const char *const contStopTip = "Stops the Data Acquisition process";

void setHelpTexts(QWidget *widget, const QString &text)
{
    widget->setWhatsThis(text);
    widget->setToolTip(text);
}

// The family's look is Plastique (qt5-style-plugins); where that plug-in is
// not installed Fusion is the closest built-in style.
void applyFrameStyle()
{
    const QString current = QApplication::style()->objectName();
    if (current.compare(QLatin1String("plastique"), Qt::CaseInsensitive) == 0)
        return;
    QStyle *style = QStyleFactory::create(QStringLiteral("Plastique"));
    if (!style) {
        if (current.compare(QLatin1String("fusion"), Qt::CaseInsensitive) == 0)
            return;
        style = QStyleFactory::create(QStringLiteral("Fusion"));
    }
    if (style)
        QApplication::setStyle(style);
}

QPushButton *checkableButton(const QString &iconPath, QWidget *parent)
{
    auto *button = new QPushButton(parent);
    const QPixmap pixmap(iconPath);
    button->setIcon(pixmap);
    button->setIconSize(pixmap.size());
    button->setCheckable(true);
    return button;
}
} // namespace

nv9471fp_app::nv9471fp_app(QWidget *parent) : QWidget(parent)
{
    applyFrameStyle();
    setWindowIcon(QIcon(QString::fromLatin1(windowIconPath)));

    const int h = fontMetrics().height();

    // Banner.
    auto *makerLogo = new QLabel(this);
    makerLogo->setPixmap(QPixmap(QStringLiteral(":/norvane-logo.bmp")));
    titleLabel = new QLabel(this);
    titleLabel->setStyleSheet(
        QStringLiteral("QLabel { background-color: #1a2c5e; color: #ffffff; font: bold 20px}"));
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Minimum);
    carrierLogo = new QLabel(this);
    carrierLogo->setPixmap(QPixmap(QStringLiteral(":/vxi-logo.bmp")));
    auto *banner = new QHBoxLayout;
    banner->setSpacing(0);
    banner->addWidget(makerLogo);
    banner->addWidget(titleLabel);
    banner->addWidget(carrierLogo);

    // Control column.
    activeLed = new nv9471fp_led(QStringLiteral("Active"), Qt::green, Qt::magenta, this);
    activeLed->setWhatsThis(QStringLiteral(
        "Green light means that the Soft Front Panel works\nin Real (not Demo) mode."));
    slotLabel = new QLabel(this);
    slotLabel->hide();
    fcLabel = new QLabel(this);
    fcLabel->hide();
    auto *statusBox = new QGroupBox(this);
    auto *statusLayout = new QVBoxLayout(statusBox);
    statusLayout->setSpacing(h);
    statusLayout->addWidget(activeLed);
    statusLayout->addWidget(slotLabel);
    statusLayout->addWidget(fcLabel);

    autoscaleLabel = new QLabel(QStringLiteral("Autoscale"), this);
    autoscaleLabel->setAlignment(Qt::AlignCenter);
    autoscaleButton = new QPushButton(QStringLiteral("ON"), this);
    autoscaleButton->setCheckable(true);
    autoscaleButton->setChecked(true);
    setHelpTexts(autoscaleButton, QStringLiteral("Enables/disables plot autorescale feature"));
    autoscaleLabel->hide();
    autoscaleButton->hide();

    identLabel = new QLabel(QStringLiteral("Identify"), this);
    identLabel->setAlignment(Qt::AlignCenter);
    identButton = new QPushButton(QStringLiteral("OFF"), this);
    identButton->setCheckable(true);
    setHelpTexts(identButton, QStringLiteral("Enables/disables visual identification mechanism"));
    identLabel->hide();
    identButton->hide();

    singleButton = checkableButton(QString::fromLatin1(singleIconPath), this);
    setHelpTexts(singleButton, QStringLiteral("Starts the single-shot data acquisition"));
    singleButton->hide();
    contButton = checkableButton(QString::fromLatin1(contIconPath), this);
    setHelpTexts(contButton, QString::fromLatin1(contStartTip));
    contButton->hide();

    resetButton = new QPushButton(QStringLiteral("Reset Device"), this);
    setHelpTexts(resetButton, QStringLiteral("Reset the device to the default state"));

    helpButton = new QPushButton(this);
    const QPixmap helpPixmap(QString::fromLatin1(helpIconPath));
    helpButton->setIcon(helpPixmap);
    helpButton->setIconSize(helpPixmap.size());
    helpButton->setWhatsThis(
        QStringLiteral("Show on-line help for Instrument Soft Front Panel components"));
    aboutButton = new QPushButton(QStringLiteral("About"), this);
    aboutButton->setWhatsThis(QStringLiteral("Displays \"About\" panel"));
    closeButton = new QPushButton(QStringLiteral("Close"), this);
    closeButton->setWhatsThis(QStringLiteral("Close main panel and terminates program"));

    auto *column = new QVBoxLayout;
    column->setSpacing(h / 2);
    column->setContentsMargins(0, 0, h / 2, h / 2);
    column->addWidget(statusBox);
    column->addStretch();
    column->addWidget(autoscaleLabel);
    column->addWidget(autoscaleButton);
    column->addStretch();
    column->addWidget(identLabel);
    column->addWidget(identButton);
    column->addStretch();
    column->addWidget(singleButton);
    column->addWidget(contButton);
    column->addStretch();
    column->addWidget(resetButton);
    column->addStretch();
    column->addWidget(helpButton);
    column->addWidget(aboutButton);
    column->addWidget(closeButton);

    contentArea = new QWidget(this);
    auto *body = new QHBoxLayout;
    body->setSpacing(h);
    body->setContentsMargins(h / 2, 0, 0, h / 2);
    // The card's panels take the room; the control column keeps its width.
    body->addWidget(contentArea, 1);
    body->addLayout(column);

    auto *top = new QVBoxLayout;
    top->setSpacing(h);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSizeConstraint(QLayout::SetMinimumSize);
    top->addLayout(banner);
    top->addLayout(body);
    // Still under construction, so this lands on the frame itself.
    setContentLayout(top);

    connect(autoscaleButton, &QPushButton::toggled, this, &nv9471fp_app::autoscaleToggledSlot);
    connect(identButton, &QPushButton::toggled, this, &nv9471fp_app::identToggledSlot);
    connect(singleButton, &QPushButton::toggled, this, &nv9471fp_app::startToggledSlot);
    connect(contButton, &QPushButton::toggled, this, &nv9471fp_app::startContToggledSlot);
    connect(resetButton, &QPushButton::clicked, this, &nv9471fp_app::resetPressed);
    connect(helpButton, &QPushButton::clicked, this, &nv9471fp_app::enterWIT);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    adjustSize();
    centreOnScreen(this);
    constructed = true;
}

nv9471fp_app::~nv9471fp_app() = default;

void nv9471fp_app::setContentLayout(QLayout *layout)
{
    if (!constructed)
        setLayout(layout);
    else
        contentArea->setLayout(layout);
}

void nv9471fp_app::setTitleText(const QString &text)
{
    titleLabel->setText(text);
}

void nv9471fp_app::setCarrierLxi(bool lxi)
{
    if (lxi)
        carrierLogo->setPixmap(QPixmap(QStringLiteral(":/lxi-logo.bmp")));
}

namespace {
void setModuleLabel(QLabel *label, const QString &text, const QString &whatsThis)
{
    label->setText(text);
    label->setVisible(!text.isEmpty());
    if (!whatsThis.isEmpty())
        label->setWhatsThis(whatsThis);
}
} // namespace

void nv9471fp_app::setSlotText(const QString &text, const QString &whatsThis)
{
    setModuleLabel(slotLabel, text, whatsThis);
}

void nv9471fp_app::setFcText(const QString &text, const QString &whatsThis)
{
    setModuleLabel(fcLabel, text, whatsThis);
}

void nv9471fp_app::setDemo(bool demo)
{
    activeLed->setValue(demo ? 0 : 1);
}

void nv9471fp_app::showAutoscale(bool show)
{
    autoscaleLabel->setVisible(show);
    autoscaleButton->setVisible(show);
    if (show)
        resize(800, 600);
}

void nv9471fp_app::enterWIT()
{
    QWhatsThis::enterWhatsThisMode();
}

void nv9471fp_app::userBreak()
{
    if (contButton->isChecked())
        contButton->setChecked(false);
    if (singleButton->isChecked())
        singleButton->setChecked(false);
    enableStart();
}

void nv9471fp_app::enableStart()
{
    contButton->setEnabled(true);
    singleButton->setEnabled(true);
}

void nv9471fp_app::autoscaleToggledSlot(bool status)
{
    autoscaleButton->setText(status ? QStringLiteral("ON") : QStringLiteral("OFF"));
    emit autoscaleToggled(status);
}

void nv9471fp_app::identToggledSlot(bool status)
{
    identButton->setText(status ? QStringLiteral("ON") : QStringLiteral("OFF"));
    emit identToggled(status);
}

void nv9471fp_app::startToggledSlot(bool checked)
{
    if (checked) {
        singleButton->setIcon(QIcon(QString::fromLatin1(stopIconPath)));
        setHelpTexts(singleButton, QString::fromLatin1(singleBreakTip));
        contButton->setEnabled(false);
        emit startSingle();
    } else {
        singleButton->setIcon(QIcon(QString::fromLatin1(singleIconPath)));
        setHelpTexts(singleButton, QString::fromLatin1(singleStartTip));
        // Both stay disabled until the acquisition has really ended.
        singleButton->setEnabled(false);
        contButton->setEnabled(false);
        emit breakSingle();
    }
}

void nv9471fp_app::startContToggledSlot(bool checked)
{
    if (checked) {
        contButton->setIcon(QIcon(QString::fromLatin1(stopIconPath)));
        setHelpTexts(contButton, QString::fromLatin1(contStopTip));
        singleButton->setEnabled(false);
        emit startCont();
    } else {
        contButton->setIcon(QIcon(QString::fromLatin1(contIconPath)));
        setHelpTexts(contButton, QString::fromLatin1(contStartTip));
        singleButton->setEnabled(false);
        contButton->setEnabled(false);
        emit stopCont();
    }
}

void nv9471fp_app::closeEvent(QCloseEvent *event)
{
    if (confirmClose())
        event->accept();
    else
        event->ignore();
}

bool nv9471fp_app::confirmClose()
{
    sfp::MessageRequest request;
    request.icon = QMessageBox::Question;
    request.title = QStringLiteral("Trellin ") + sfp::messageModelText() + QStringLiteral(" SFP");
    request.text = QStringLiteral("Do you really want to exit?");
    request.buttons = QMessageBox::Yes | QMessageBox::No;
    return sfp::ask(request).standard == QMessageBox::Yes;
}
