// Lets every partly typed number stand: anything that could still become a
// number is acceptable; the digit control checks the value when it commits.
#ifndef NV9471FP_NEWDOUBLEVALIDATOR_H
#define NV9471FP_NEWDOUBLEVALIDATOR_H

#include <QDoubleValidator>

class nv9471fp_newDoubleValidator : public QDoubleValidator
{
    Q_OBJECT
public:
    explicit nv9471fp_newDoubleValidator(QObject *parent = nullptr);
    State validate(QString &input, int &pos) const override;
};

#endif
