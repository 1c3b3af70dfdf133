#pragma once
#include <QValidator>

// Keeps an edit's text within a fixed GBK byte field: no more than maxBytes
// bytes of GBK, and no character GBK cannot hold, so that what the operator
// sees is what the field stores.
class GbkLengthValidator : public QValidator {
public:
    GbkLengthValidator(int maxBytes, QObject* parent);
    State validate(QString& input, int& pos) const override;

private:
    int maxBytes_;
};
