#pragma once
#include <QDialog>
#include <cstdint>
#include <memory>

#include "station/core/MeterBatch.h"

namespace Ui { class Tfm_MeterBatchAddForm; }

// Asks for a batch of devices to add; stays open until its entries are
// acceptable or the operator cancels. A new dialog for every use, so its
// entries always start from their initial texts.
class Tfm_MeterBatchAddForm : public QDialog {
    Q_OBJECT
public:
    explicit Tfm_MeterBatchAddForm(QWidget* owner = nullptr);
    ~Tfm_MeterBatchAddForm() override;

    // The devices already in the table; the caller sets it before showing.
    std::int32_t ExistingMeterCount = 0;

    // The batch the entries describe. Throws EConvertError for a number
    // entry that is not one; after the dialog closed with OK it does not.
    MeterBatch batch() const;

public slots:
    void bt_OkClick();

private:
    std::unique_ptr<Ui::Tfm_MeterBatchAddForm> ui;
};
