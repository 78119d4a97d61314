#include "taboutform.h"
#include "ui_about.h"

#include "processvariables.h"

#include <QDesktopServices>
#include <QUrl>

TAboutForm::TAboutForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
    , FUi(std::make_unique<Ui::AboutForm>())
{
    FUi->setupUi(this);
    connect(FUi->lblUrl, &TLabel::Clicked, this, &TAboutForm::lblUrlClick);
    connect(FUi->btnreg, &QToolButton::clicked, this, &TAboutForm::btnregClick);
}

TAboutForm::~TAboutForm() = default;

void TAboutForm::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TAboutForm::FormShow()
{
    // An empty address keeps the caption the form was designed with.
    if (!AppInfo.Homepage.isEmpty())
        FUi->lblUrl->setCaption(AppInfo.Homepage);
}

void TAboutForm::lblUrlClick()
{
    // The address itself, not the caption, goes to the desktop; a failure shows nothing.
    if (!AppInfo.Homepage.isEmpty())
        QDesktopServices::openUrl(QUrl::fromUserInput(AppInfo.Homepage));
}

void TAboutForm::btnregClick()
{
    accept();
}
