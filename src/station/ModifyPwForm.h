#pragma once
#include <QDialog>
#include <QString>
#include <memory>

namespace Ui { class Tfm_ModifyPwForm; }

// Takes a new configuration password, typed twice; stays open until both
// entries agree or the operator cancels.
class Tfm_ModifyPwForm : public QDialog {
    Q_OBJECT
public:
    explicit Tfm_ModifyPwForm(QWidget* owner = nullptr);
    ~Tfm_ModifyPwForm() override;

    QString newPassword() const;

public slots:
    void btn_OkClick();

private:
    std::unique_ptr<Ui::Tfm_ModifyPwForm> ui;
};
