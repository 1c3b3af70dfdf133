#pragma once
#include <QDialog>
#include <QString>
#include <memory>

namespace Ui { class Tfm_LoginForm; }

// Asks for the configuration password; stays open until it is right or the
// operator cancels.
class Tfm_LoginForm : public QDialog {
    Q_OBJECT
public:
    explicit Tfm_LoginForm(QWidget* owner = nullptr);
    ~Tfm_LoginForm() override;

    QString ExpectedPassword;

public slots:
    void bt_OkClick();

private:
    std::unique_ptr<Ui::Tfm_LoginForm> ui;
};
