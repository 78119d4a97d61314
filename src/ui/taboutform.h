#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class AboutForm;
}

// The About dialog: the program's picture, its version, the support address and the home-page
// link from config.ini. Created for each showing and shown modally over the main window.
class TAboutForm : public QDialog
{
    Q_OBJECT

public:
    explicit TAboutForm(QWidget *parent = nullptr);
    ~TAboutForm() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();
    void lblUrlClick();
    void btnregClick();

    std::unique_ptr<Ui::AboutForm> FUi;
};
